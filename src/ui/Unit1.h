#pragma once
// The bar: a borderless, always-on-top, see-through window with a title strip and a button per
// binding, typing each button's shortcut into the target window.

#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bindings/key_list.h"
#include "bindings/program_sets.h"
#include "platform/input.h"
#include "settings/ini_store.h"
#include "ui/file_dialog.h"
#include "ui/key_hold.h"
#include "ui/pointer_tracking.h"
#include "ui/target_tracker.h"
#include "widgets/corner_button.h"
#include "widgets/flow_layout.h"
#include "widgets/press_area.h"
#include "widgets/rectangle.h"

class QSocketNotifier;

namespace kavo {

class TForm2;

class TForm1 : public QWidget, private platform::InputBackend::Listener {
  Q_OBJECT
 public:
  // Runs the start-up sequence; an error there escapes the constructor. homePath overrides the
  // executable's folder (tests).
  explicit TForm1(platform::InputBackend& input, std::u16string homePath = {});
  ~TForm1() override;

  void RefreshBtn();

  // Sizes a button may take: larger values are capped so the shadow's image stays small.
  static constexpr int kMaxButtonSide = 4096;
  // The smallest bar: both squares of the title strip and, below the strip, a button area as
  // high as a square, where resize mode can still be started.
  static constexpr int kMinWidth = 40;
  static constexpr int kMinHeight = 44;
  // The largest bar side kept from the settings file where the desktop is smaller: a bar never
  // shrinks because a monitor was missing at start, yet a wild value cannot claim gigabytes.
  static constexpr int kMaxSide = 4096;

  // Child components.
  QWidget* Layout1 = nullptr;        // the title strip
  TRectangle* Rectangle2 = nullptr;  // blue square at the strip's left end: opens the menu
  QLabel* Label1 = nullptr;          // the target's title
  TRectangle* Rectangle1 = nullptr;  // green square at the strip's right end: drags the bar
  QGraphicsDropShadowEffect* ShadowEffect1 = nullptr;  // the strip's shadow
  QWidget* Layout2 = nullptr;                          // spacer below the strip
  TPressArea* ButtonArea = nullptr;    // the button area; its empty parts take presses
  TFlowLayout* FlowLayout1 = nullptr;  // arranges the buttons in ButtonArea
  QTimer* Timer1 = nullptr;            // looks for the target once a second
  QMenu* PopupMenu1 = nullptr;         // made when first opened
  TFileDialog OpenDialog1{TFileDialog::Kind::Open};
  TFileDialog SaveDialog1{TFileDialog::Kind::Save};
  QAction* SettingMenu = nullptr;
  QAction* ResizeMenu = nullptr;
  QAction* ReAcquire = nullptr;
  QAction* KeyBindMenu = nullptr;
  QAction* SaveAsKeyMenu = nullptr;
  QAction* SaveForAppMenu = nullptr;  // saves the list as the target program's own set
  QAction* MenuItem1 = nullptr;       // the separator before Minimized
  QAction* MinimizedMenu = nullptr;
  QAction* CloseMenu = nullptr;
  TIniStore Ini;  // Kavo.ini

  // Fields.
  platform::WindowHandle LhWindow = 0;  // the target window, 0 while there is none
  std::int32_t Bno = 0;                 // buttons built since the last clear: the next index
  std::unique_ptr<KeyList> KeyMenu;     // the bindings, one line each
  std::int32_t Bth = 0;                 // button height
  std::int32_t Btw = 0;                 // button width
  std::int32_t Btc = 0;                 // button corner radius
  std::int32_t Bgh = 0;                 // horizontal gap between buttons
  std::int32_t Bgv = 0;                 // vertical gap between buttons
  std::u16string HomePath;              // the folder of the two files, ending in a separator
  QGraphicsDropShadowEffect* Shadow = nullptr;  // the button area's shadow, if any
  bool isShadow = false;                        // whether the button area has a shadow
  std::u16string KeyFile;                       // the key file in use

  // The window's place in screen pixels, its size in device-independent pixels.
  int Left() const;
  int Top() const;
  void SetBounds(int left, int top, int width, int height);

  // The bar buttons in order.
  std::vector<TCornerButton*> Buttons() const;

  // The desktop the bar types into.
  platform::InputBackend& Input() { return input_; }

  // Handlers.
  void FormCreate();
  void FormClose();
  void ButtonClick(TCornerButton* sender);
  void Timer1Timer();
  void ReAcquireClick();
  void Rectangle2Click();
  void Rectangle1MouseDown();
  void FlowLayout1MouseDown();
  void ResizeMenuClick();
  void KeyBindMenuClick();
  void SaveAsKeyMenuClick();
  void SaveForAppMenuClick();
  void CloseMenuClick();
  void MinimizedMenuClick();
  void SettingMenuClick();

  bool InResizeMode() const { return ResizeMenu->isChecked(); }
  // The full title of the target; the label shows it shortened to the strip.
  const QString& TargetTitle() const { return title_; }

  // Brings the target back to the front after another window of the bar had the focus.
  void ReturnToTarget();

  // Saves the key list to KeyFile, creating the settings folder first where it is missing.
  void SaveKeyMenu();

  // Another start for the same settings folder asked for this bar: shown, restored, raised.
  void ComeForward();

  // The session asks the program to end: the settings are written and the program ends within a
  // second, a failure reported on standard error instead of a box. The exit code says whether
  // the settings were written.
  void EndSession();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // News from the desktop.
  void ActiveWindowChanged() override;
  void PointerPressed(platform::WindowHandle under) override;
  void PointerReleased() override;
  void WindowDestroyed(platform::WindowHandle window) override;
  void CompositorChanged(bool running) override;

  void BuildComponents();
  void WatchDesktop();
  void LoadSettings();
  void SaveSettings();
  QWidget* NewButtonHolder();
  void AddButton();
  // Builds buttons for the lines not built yet whose places can be seen.
  void AddButtons();
  void ClearButtons();
  void KeepReachable(bool wholeStrip = false);
  void SetGeometry(const QRect& rect);
  // Starts looking for the target; afterClose when the target has just closed.
  void StartPolling(bool afterClose = false);
  void StartWindowDrag();
  void StartWindowResize();
  void EndDragOrResize();
  void Acquire(const std::optional<TargetTracker::Target>& target);
  void ShowTitle();
  // The key file for the target's program: its own set where it has one, else the base file.
  void FollowTargetProgram();
  // Lets go of keys a button holds, and shows that no button holds any.
  void ReleaseHeldKeys();
  // Buttons look pressed while they hold their keys.
  void ShowHeldKeys();
  bool IsOwnWindow(platform::WindowHandle window) const;
  // Input and visible shapes follow the content; updated once per turn of the event loop.
  void ScheduleShapes();
  void UpdateShapes();
  std::vector<QRect> DrawnShape();
  // The folder of the key file in use, where the file dialogs open.
  QString KeyFileFolder() const;
  QList<QRect> WorkAreas() const;

  platform::InputBackend& input_;
  // The settings window, once the menu has asked for it.
  std::unique_ptr<TForm2> settings_;
  TargetTracker tracker_;
  KeyHold hold_{input_};
  QString title_;
  QSocketNotifier* closeRequests_ = nullptr;
  QTimer* shapeTimer_ = nullptr;
  QTimer* screensTimer_ = nullptr;
  QTimer* programTimer_ = nullptr;
  // The key file in use before any program's set (KavoKey.txt, or the one OpenKeyBind loaded),
  // and the program of the target acquired last.
  KeySetChoice keySets_{{}, {}};
  // Whether a compositor blends the see-through parts; without one they are cut away.
  bool composited_ = true;
  // A drag or a resize under way.
  PointerTracking tracking_;
  // The last press on the strip's square or the button area, on the screen.
  QPointF pressGlobal_;
  // Left and Top as the settings file had them.
  QPoint storedPlace_;
  // Buttons built before the first re-flow shows how many fit; any key file this short is built
  // whole.
  static constexpr int kFirstButtons = 16;
  bool addingButtons_ = false;
  // The bar buttons' parent inside the button area.
  QWidget* buttonHolder_ = nullptr;
  // The key list's generation the buttons were built from.
  std::uint64_t builtFrom_ = 0;
  bool closed_ = false;
  bool sessionEnding_ = false;
};

extern TForm1* Form1;

}  // namespace kavo
