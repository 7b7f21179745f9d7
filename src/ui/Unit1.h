#pragma once
// The bar: a borderless, always-on-top, see-through window with a title strip and a button per
// binding, typing each button's shortcut into the target window.

#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bindings/key_list.h"
#include "platform/input.h"
#include "settings/ini_store.h"
#include "widgets/corner_button.h"
#include "widgets/flow_layout.h"

class QSocketNotifier;

namespace kavo {

// A filled square of the title strip; reports presses and clicks.
class TRectangle : public QWidget {
  Q_OBJECT
 public:
  TRectangle(QColor fill, QWidget* parent);

 signals:
  void Pressed();
  void Clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QColor fill_;
  bool leftDown_ = false;
};

// A container whose empty parts report presses.
class TPressArea : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;

 signals:
  void Pressed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

// A file dialog of the system that remembers the path chosen last and opens with it.
class TFileDialog {
 public:
  enum class Kind { Open, Save };
  explicit TFileDialog(Kind kind) : kind_(kind) {}

  // Shows the dialog; true when the user chose a path, which FileName then holds. The open
  // dialog accepts a name of a file that does not exist; the save dialog replaces without asking
  // and adds no extension.
  bool Execute(QWidget* owner);
  QString FileName;

  // Answers the dialogs instead of a person (tests): given the kind and the initial path, the
  // chosen path or nothing for cancel. Null restores the real dialogs.
  using Answer = std::function<std::optional<QString>(Kind, const QString& initial)>;
  static void SetAnswer(Answer answer);

 private:
  Kind kind_;
};

class TForm1 : public QWidget {
  Q_OBJECT
 public:
  // Runs the start-up sequence; an error there escapes the constructor. homePath overrides the
  // executable's folder (tests).
  explicit TForm1(platform::InputBackend& input, std::u16string homePath = {});
  ~TForm1() override;

  void RefreshBtn();

  // Sizes a button may take: larger values are capped so the shadow's image stays small.
  static constexpr int kMaxButtonSide = 4096;
  // The smallest bar in which both squares of the title strip can still be grabbed.
  static constexpr int kMinWidth = 40;
  static constexpr int kMinHeight = 20;

  // Child components.
  QWidget* Layout1 = nullptr;
  TRectangle* Rectangle2 = nullptr;
  QLabel* Label1 = nullptr;
  TRectangle* Rectangle1 = nullptr;
  QGraphicsDropShadowEffect* ShadowEffect1 = nullptr;
  QWidget* Layout2 = nullptr;
  TPressArea* ButtonArea = nullptr;
  TFlowLayout* FlowLayout1 = nullptr;
  QTimer* Timer1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  TFileDialog OpenDialog1{TFileDialog::Kind::Open};
  TFileDialog SaveDialog1{TFileDialog::Kind::Save};
  QAction* SettingMenu = nullptr;
  QAction* ResizeMenu = nullptr;
  QAction* ReAcquire = nullptr;
  QAction* KeyBindMenu = nullptr;
  QAction* SaveAsKeyMenu = nullptr;
  QAction* MenuItem1 = nullptr;
  QAction* MinimizedMenu = nullptr;
  QAction* CloseMenu = nullptr;
  TIniStore Ini;

  // Fields.
  platform::WindowHandle LhWindow = 0;
  std::int32_t Bno = 0;
  std::unique_ptr<KeyList> KeyMenu;
  std::int32_t Bth = 0;
  std::int32_t Btw = 0;
  std::int32_t Btc = 0;
  std::int32_t Bgh = 0;
  std::int32_t Bgv = 0;
  std::u16string HomePath;
  QGraphicsDropShadowEffect* Shadow = nullptr;
  bool isShadow = false;
  std::u16string KeyFile;

  // The window's place in screen pixels, its size in device-independent pixels.
  int Left() const;
  int Top() const;
  void SetBounds(int left, int top, int width, int height);

  // The bar buttons in order.
  std::vector<TCornerButton*> Buttons() const;

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
  void CloseMenuClick();
  void MinimizedMenuClick();
  void SettingMenuClick();

  // Where the menu opens for the bar's corner at (x, y) in screen pixels, given its size: kept
  // inside the work area of the screen that holds the corner, if one does.
  static QPoint MenuPosition(QPoint corner, QSize menu, const QList<QRect>& workAreas);

  bool InResizeMode() const { return ResizeMenu->isChecked(); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildComponents();
  void LoadSettings();
  void SaveSettings();
  void AddButton();
  void AddButtons();
  void ClearButtons();
  void KeepReachable();
  void StartPolling();
  void StartWindowDrag();
  void StartWindowResize();
  void EndDragOrResize();
  void Acquire(platform::WindowHandle window, const std::u16string& title);
  bool IsOwnWindow(platform::WindowHandle window) const;
  void UpdateInputShape();
  QGraphicsDropShadowEffect* NewShadow();

  platform::InputBackend& input_;
  // The window that was in front when polling began: not taken while it stays in front.
  platform::WindowHandle passedOver_ = 0;
  QSocketNotifier* closeRequests_ = nullptr;
  // A drag or a resize under way: the press point in client coordinates, the size reached.
  enum class Tracking { None, Drag, Resize } tracking_ = Tracking::None;
  QPointF pressPoint_;
  QSizeF resizeSize_;
  bool closed_ = false;
};

extern TForm1* Form1;

}  // namespace kavo
