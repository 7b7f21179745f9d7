#pragma once
// The bar: a borderless, always-on-top, see-through window with a title strip and a button per
// binding, typing each button's shortcut into the target window. The window builds its parts
// and keeps the handlers; the work is done by the pieces beside it: the button bar, the shaper,
// the key files, the window drag, the target tracker and the held keys.

#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bindings/key_list.h"
#include "platform/desktop.h"
#include "settings/bar_settings.h"
#include "settings/ini_store.h"
#include "ui/bar_layout.h"
#include "ui/bar_placement.h"
#include "ui/button_bar.h"
#include "ui/file_dialog.h"
#include "ui/key_files.h"
#include "ui/key_hold.h"
#include "ui/strip_text.h"
#include "ui/target_tracker.h"
#include "ui/target_watch.h"
#include "ui/window_drag.h"
#include "ui/window_shaper.h"
#include "widgets/corner_button.h"
#include "widgets/flow_layout.h"
#include "widgets/press_area.h"
#include "widgets/rectangle.h"

namespace kavo {

class TForm2;
class TTitleTip;

class TForm1 : public QWidget,
               private platform::WindowTracking::Listener,
               private platform::WindowShell::Listener {
  Q_OBJECT
 public:
  // Runs the start-up sequence on the desktop; an error there escapes the constructor.
  // homePath is the folder of Kavo.ini and KavoKey.txt, ending in its separator; empty, the
  // executable's folder.
  explicit TForm1(platform::Desktop& desktop, std::u16string homePath = {});
  ~TForm1() override;

  // Rebuilds the buttons from the key list, letting go of held keys first.
  void RefreshBtn();

  // The smallest and the largest bar.
  static constexpr int kMinWidth = TBarPlacement::kMinWidth;
  static constexpr int kMinHeight = TBarPlacement::kMinHeight;
  static constexpr int kMaxSide = TBarPlacement::kMaxSide;
  // The largest side of a button.
  static constexpr int kMaxButtonSide = TButtonBar::kMaxButtonSide;

  // Child components.
  QWidget* Layout1 = nullptr;        // the title strip
  TRectangle* Rectangle2 = nullptr;  // blue square at the strip's left end: opens the menu
  // The target's title, over the strip rather than in it: the strip's shadow would smear its
  // thin letters over a light window below.
  QLabel* Label1 = nullptr;
  TRectangle* Rectangle1 = nullptr;  // green square at the strip's right end: drags the bar
  QGraphicsDropShadowEffect* ShadowEffect1 = nullptr;  // the strip's shadow, under its squares
  QWidget* Layout2 = nullptr;                          // spacer below the strip
  TPressArea* ButtonArea = nullptr;    // the button area; its empty parts take presses
  TFlowLayout* FlowLayout1 = nullptr;  // arranges the buttons in ButtonArea
  // In resize mode, the bar's bottom-right corner: a drag there resizes, whatever lies below.
  TPressArea* ResizeGrip = nullptr;
  QTimer* Timer1 = nullptr;     // looks for the target once a second, until it is found
  QMenu* PopupMenu1 = nullptr;  // the strip's menu, made when first opened
  TFileDialog OpenDialog1{TFileDialog::Kind::Open};  // OpenKeyBind's file dialog
  TFileDialog SaveDialog1{TFileDialog::Kind::Save};  // SaveAsKeyBind's file dialog
  // The menu's items, in its order.
  QAction* SettingMenu = nullptr;     // opens the settings window
  QAction* ResizeMenu = nullptr;      // checked: a drag on the button area resizes the bar
  QAction* ReAcquire = nullptr;       // looks for the target again
  QAction* FollowMenu = nullptr;      // checked: the target follows the window in front
  QAction* KeyBindMenu = nullptr;     // OpenKeyBind: loads another key file
  QAction* SaveAsKeyMenu = nullptr;   // SaveAsKeyBind: saves the list under another name
  QAction* SaveForAppMenu = nullptr;  // saves the list as the target program's own set
  QAction* MenuItem1 = nullptr;       // the separator before Minimized
  QAction* MinimizedMenu = nullptr;   // minimises the bar
  QAction* CloseMenu = nullptr;       // closes the bar, which ends the program
  TIniStore Ini;                      // Kavo.ini

  // Fields.
  platform::WindowHandle LhWindow = 0;  // the target window, 0 while there is none
  std::unique_ptr<KeyList> KeyMenu;     // the bindings, one line each
  std::u16string HomePath;              // the folder of the two files, ending in a separator
  std::u16string KeyFile;               // the key file in use

  // The buttons' look, as the settings file and the settings window have it. Setting it changes
  // the gaps and the shadow at once, sizes and corners at the next RefreshBtn.
  const ButtonLook& Look() const { return buttonBar_->Look(); }
  void SetLook(const ButtonLook& look) { buttonBar_->SetLook(look); }

  // The window's place in screen pixels, its size in device-independent pixels.
  int Left() const;
  int Top() const;
  void SetBounds(int left, int top, int width, int height);

  // The bar buttons in order; Bno of them are built.
  std::vector<TCornerButton*> Buttons() const { return buttonBar_->Buttons(); }
  std::int32_t Bno() const { return buttonBar_->Built(); }

  // The desktop's part in the bar's own window (its frame, its shapes).
  platform::WindowShell& Shell() { return desktop_.Shell(); }

  // Handlers.
  void FormCreate();
  void FormClose();
  void ButtonClick(TCornerButton* sender);
  void Timer1Timer();
  void ReAcquireClick();
  void FollowMenuClick();
  void Rectangle2Click();       // the blue square: opens the menu below the bar
  void Rectangle1MouseDown();   // the green square: starts dragging the bar
  void FlowLayout1MouseDown();  // the button area between buttons: drags, or resizes
  void ResizeMenuClick();
  void KeyBindMenuClick();
  void SaveAsKeyMenuClick();
  void SaveForAppMenuClick();
  void CloseMenuClick();
  void MinimizedMenuClick();
  void SettingMenuClick();

  bool InResizeMode() const { return ResizeMenu->isChecked(); }

  // Brings the target back to the front after another window of the bar had the focus.
  void ReturnToTarget();

  // Saves the key list to KeyFile, creating the settings folder first where it is missing.
  void SaveKeyMenu();

  // Another start for the same settings folder asked for this bar: shown, restored, raised.
  void ComeForward();

  // Says what the desktop withholds from the bar where the target's title will stand, until a
  // target is taken.
  void ShowNotice(const QString& text);

  // The session asks the program to end: the settings are written and the program ends within a
  // second, a failure reported on standard error instead of a box. The exit code says whether
  // the settings were written.
  void EndSession();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  // The desktop takes the window as the program's own before it is first shown.
  void setVisible(bool visible) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // News from the desktop.
  void ActiveWindowChanged() override;
  void PointerPressed(platform::WindowHandle under) override;
  void PointerReleased() override;
  void WindowDestroyed(platform::WindowHandle window) override;
  void WindowTitleChanged(platform::WindowHandle window) override;
  void PointerMoved() override;
  void CompositorChanged(bool running) override;
  // The title's font and tooltip follow the compositor, resize mode and the bar being shown.
  void UpdateTitleLook();
  bool composited_ = false;

  void BuildComponents();
  void BuildMenuItems();
  void WatchDesktop();
  void LoadSettings();
  void SaveSettings();
  // Starts looking for the target.
  void StartPolling();
  void Acquire(const std::optional<TargetTracker::Target>& target);
  void ShowTitle();
  // Says in the strip why keys did not go; nothing when they did.
  void Report(const platform::Injection& injection);
  // The key file for the target's program: its own set where it has one, else the base file.
  void FollowTargetProgram();
  // An open settings window lists the bindings anew, so its buttons act on the lines shown.
  void RefillSettings();
  // Lets go of keys a button holds, and shows that no button holds any.
  void ReleaseHeldKeys();
  bool IsOwnWindow(platform::WindowHandle window) const;
  // The folder of the key file in use, where the file dialogs open.
  QString KeyFileFolder() const;

  platform::Desktop& desktop_;
  // The settings window, once the menu has asked for it.
  std::unique_ptr<TForm2> settings_;
  TBarPlacement placement_{*this, BarLayout::kStripHeight, desktop_.Shell().PlacesWindows()};
  TButtonBar* buttonBar_ = nullptr;
  TWindowShaper* shaper_ = nullptr;
  TTitleTip* titleTip_ = nullptr;
  TWindowDrag* drag_ = nullptr;
  TKeyFiles keyFiles_{KeyMenu, KeyFile};
  TargetTracker tracker_;
  std::unique_ptr<TargetWatch> watch_;  // made with Timer1
  KeyHold hold_;
  // The target's title (or why the bar cannot reach it), and why the last keys did not go.
  StripText strip_;
  QTimer* programTimer_ = nullptr;
  // The last press on the strip's square or the button area, on the screen.
  QPointF pressGlobal_;
  bool shownOnce_ = false;
  bool askedAgain_ = false;
  bool closed_ = false;
  bool sessionEnding_ = false;
};

// The bar, once created.
extern TForm1* Form1;

}  // namespace kavo
