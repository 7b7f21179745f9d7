#include "ui/Unit1.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSocketNotifier>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <functional>

#include "bindings/comma_rule.h"
#include "bindings/key_strokes.h"
#include "bindings/program_sets.h"
#include "platform/files.h"
#include "platform/system.h"
#include "settings/bar_settings.h"
#include "settings/home_folder.h"
#include "ui/Unit2.h"
#include "ui/alpha_shape.h"
#include "ui/bar_geometry.h"
#include "ui/error_guard.h"
#include "ui/menu_captions.h"
#include "ui/question_box.h"
#include "ui/screen_geometry.h"
#include "widgets/bar_icon.h"
#include "widgets/drop_shadow.h"

namespace kavo {

TForm1* Form1 = nullptr;

namespace {

constexpr int kStripHeight = 20;
constexpr int kSpacerHeight = 4;
constexpr int kSquare = 20;
constexpr int kLabelMargin = 6;

QString Q(const std::u16string& text) {
  return QString::fromStdU16String(text);
}

// On Wayland a window cannot place itself: the compositor does, and moves it when asked to.
bool CompositorPlacesWindows() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// A timer that runs the call once, on the event loop's next turn after its last start: many
// requests in one turn make one call.
QTimer* Deferred(QObject* parent, std::function<void()> call) {
  auto* timer = new QTimer(parent);
  timer->setSingleShot(true);
  timer->setInterval(0);
  QObject::connect(timer, &QTimer::timeout, parent, std::move(call));
  return timer;
}

std::vector<platform::InputBackend::Rect> ToBackend(const std::vector<QRect>& rects) {
  std::vector<platform::InputBackend::Rect> out;
  out.reserve(rects.size());
  for (const QRect& r : rects) out.push_back({r.x(), r.y(), r.width(), r.height()});
  return out;
}

}  // namespace

TForm1::TForm1(platform::InputBackend& input, std::u16string homePath)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      HomePath(std::move(homePath)),
      input_(input),
      tracker_(input, [this](platform::WindowHandle w) { return IsOwnWindow(w); }) {
  setWindowTitle(QStringLiteral("Form1"));
  // Drawn in seven sizes for the task switcher: after the first frame, which does not need it.
  QTimer::singleShot(0, this, [this] { setWindowIcon(BarIcon()); });
  // Nothing is painted where no control draws: those pixels are see-through.
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_ShowWithoutActivating);
  // The bar is never the active window, yet its cut titles and captions need their tooltips.
  setAttribute(Qt::WA_AlwaysShowToolTips);
  SetGeometry(QRect(0, 0, 257, 130));
  BuildComponents();
  FormCreate();
  // A desktop the bar cannot type into says why where the target's title would stand.
  if (!input_.CanType()) {
    title_ = QString::fromStdString(input_.Problem());
    ShowTitle();
  }
  WatchDesktop();
  StartPolling();
  // Published once created: a start-up that fails leaves no dangling window behind the name.
  Form1 = this;
}

TForm1::~TForm1() {
  settings_.reset();
  input_.SetListener(nullptr);
  input_.WatchActivity(false);
  input_.WatchWindow(0);
  if (Form1 == this) Form1 = nullptr;
}

void TForm1::BuildComponents() {
  Layout1 = new QWidget(this);
  Rectangle2 = new TRectangle(QColor(0x41, 0x69, 0xE1), Layout1);  // royal blue
  Label1 = new QLabel(Layout1);
  QPalette labelPalette = Label1->palette();
  labelPalette.setColor(QPalette::WindowText, QColor(0xFF, 0x7F, 0x50));  // coral
  Label1->setPalette(labelPalette);
  Rectangle1 = new TRectangle(QColor(0x00, 0x80, 0x00), Layout1);  // green
  ShadowEffect1 = NewDropShadow(this);
  Layout1->setGraphicsEffect(ShadowEffect1);
  Layout2 = new QWidget(this);
  ButtonArea = new TPressArea(this);
  FlowLayout1 = new TFlowLayout(ButtonArea);
  shapeTimer_ = Deferred(this, [this] { UpdateShapes(); });
  connect(FlowLayout1, &TFlowLayout::Flowed, this, [this] {
    AddButtons();
    ScheduleShapes();
  });

  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, Guarded([this] { Timer1Timer(); }));
  connect(Rectangle2, &TRectangle::Clicked, this, Guarded([this] { Rectangle2Click(); }));
  // A drag counts from where the press was, not from where the pointer is once it is handled.
  connect(Rectangle1, &TRectangle::Pressed, this, [this](QPointF at) {
    pressGlobal_ = at;
    RunGuarded([this] { Rectangle1MouseDown(); });
  });
  connect(ButtonArea, &TPressArea::Pressed, this, [this](QPointF at) {
    pressGlobal_ = at;
    RunGuarded([this] { FlowLayout1MouseDown(); });
  });

  // The menu's items; the menu itself is made when first opened (see Rectangle2Click).
  // The menu speaks Japanese on a Japanese system.
  const MenuCaptions captions = MenuCaptionsFor(platform::SystemDefaultLocaleName());
  SettingMenu = new QAction(captions.setting, this);
  ResizeMenu = new QAction(captions.resize, this);
  ResizeMenu->setCheckable(true);
  ReAcquire = new QAction(captions.reAcquire, this);
  KeyBindMenu = new QAction(captions.openKeyBind, this);
  SaveAsKeyMenu = new QAction(captions.saveAsKeyBind, this);
  SaveForAppMenu = new QAction(captions.saveForApp, this);
  SaveForAppMenu->setEnabled(false);  // until a target with a program name is acquired
  MenuItem1 = new QAction(this);
  MenuItem1->setSeparator(true);
  MinimizedMenu = new QAction(captions.minimized, this);
  CloseMenu = new QAction(captions.close, this);
  connect(SettingMenu, &QAction::triggered, this, Guarded([this] { SettingMenuClick(); }));
  // The menu has already moved the check mark when it reports the choice.
  connect(ResizeMenu, &QAction::triggered, this, Guarded([this] {
            ResizeMenu->toggle();
            ResizeMenuClick();
          }));
  connect(KeyBindMenu, &QAction::triggered, this, Guarded([this] { KeyBindMenuClick(); }));
  connect(SaveAsKeyMenu, &QAction::triggered, this, Guarded([this] { SaveAsKeyMenuClick(); }));
  connect(SaveForAppMenu, &QAction::triggered, this, Guarded([this] { SaveForAppMenuClick(); }));
  // The set follows the target once the handler that acquired it is done: a set that cannot be
  // read is reported on its own, and the click that acquired the target still sends its keys.
  programTimer_ = Deferred(this, Guarded([this] { FollowTargetProgram(); }));
  connect(ReAcquire, &QAction::triggered, this, Guarded([this] { ReAcquireClick(); }));
  connect(MinimizedMenu, &QAction::triggered, this, Guarded([this] { MinimizedMenuClick(); }));
  connect(CloseMenu, &QAction::triggered, this, Guarded([this] { CloseMenuClick(); }));

  // The session asking the program to end closes the bar as the menu does, without a box.
  const int fd = platform::CloseRequestDescriptor();
  if (fd >= 0) {
    closeRequests_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(closeRequests_, &QSocketNotifier::activated, this, [this] {
      platform::AcknowledgeCloseRequest();
      EndSession();
    });
  }
}

// The start-up sequence of the whole program. Staying on top is one of the window's flags.
void TForm1::FormCreate() {
  KeyMenu = std::make_unique<KeyList>();
  // Both files live next to the executable.
  if (HomePath.empty()) HomePath = platform::FolderOf(platform::ExecutablePath());
  Ini.SetPath(HomePath + u"Kavo.ini");
  LoadSettings();
  FlowLayout1->SetHorizontalGap(static_cast<float>(Bgh));
  FlowLayout1->SetVerticalGap(static_cast<float>(Bgv));
  if (isShadow) {
    Shadow = NewDropShadow(this);
    ButtonArea->setGraphicsEffect(Shadow);
  }
  // Without a key file the bar starts with the four default bindings.
  KeyFile = HomePath + u"KavoKey.txt";
  keySets_ = KeySetChoice(HomePath, KeyFile);
  LoadOrDefaults(*KeyMenu, KeyFile);
  // Bno is 0 here: button i belongs to line i.
  AddButtons();
}

// What the bar hears from the desktop: the input backend's news (a frame around the bar, a new
// keyboard map, the window in front, the user's presses), screens that come, go or change.
void TForm1::WatchDesktop() {
  input_.SetListener(this);
  CompositorChanged(input_.CompositorRunning());
  if (const int events = input_.EventDescriptor(); events >= 0) {
    auto* notifier = new QSocketNotifier(events, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this,
            Guarded([this] { input_.ProcessEvents(); }));
    // News that a call waiting for a reply read off the connection (a stroke that began while
    // keys went down) leaves nothing to read there: handled before the loop sleeps.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            Guarded([this] {
              if (input_.HasQueuedEvents()) input_.ProcessEvents();
            }));
  }
  // After a screen changed, a strip left half off it is moved wholly onto one.
  screensTimer_ = Deferred(this, [this] { KeepReachable(true); });
  auto follow = [this](QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, screensTimer_, qOverload<>(&QTimer::start));
    connect(screen, &QScreen::availableGeometryChanged, screensTimer_, qOverload<>(&QTimer::start));
  };
  for (QScreen* screen : QGuiApplication::screens()) follow(screen);
  connect(qApp, &QGuiApplication::screenAdded, this, [this, follow](QScreen* screen) {
    follow(screen);
    screensTimer_->start();
  });
  connect(qApp, &QGuiApplication::screenRemoved, screensTimer_, qOverload<>(&QTimer::start));
}

void TForm1::FormClose() {
  ReleaseHeldKeys();
  KeyMenu.reset();
  SaveSettings();
}

int TForm1::Left() const {
  return ToScreenPixels(pos(), devicePixelRatioF()).x();
}
int TForm1::Top() const {
  return ToScreenPixels(pos(), devicePixelRatioF()).y();
}

void TForm1::SetBounds(int left, int top, int width, int height) {
  SetGeometry(
      QRect(FromScreenPixels(QPoint(left, top), devicePixelRatioF()), QSize(width, height)));
}

// Where the compositor places windows, one whose smallest and largest sizes are the same is
// taken for a dialog and floats: a tiling compositor would otherwise stretch the bar over half
// the screen. The bar changes its size only through here.
void TForm1::SetGeometry(const QRect& rect) {
  if (CompositorPlacesWindows()) setFixedSize(rect.size());
  setGeometry(rect);
}

void TForm1::LoadSettings() {
  const BarSettings s = ReadBarSettings(Ini);
  storedPlace_ = QPoint(s.Left, s.Top);
  // A place near the integer limits would wrap the rectangles that follow.
  SetBounds(BoundedCoordinate(s.Left), BoundedCoordinate(s.Top), s.Width, s.Height);
  KeepReachable();
  Btw = s.Btw;
  Bth = s.Bth;
  Btc = s.Btc;
  Bgh = s.Bgh;
  Bgv = s.Bgv;
  isShadow = s.isShadow;
}

void TForm1::SaveKeyMenu() {
  PrepareHomeFor(HomePath, KeyFile);
  KeyMenu->SaveToFile(KeyFile);
}

void TForm1::SaveSettings() {
  PrepareHomeFor(HomePath, Ini.Path());
  QPoint place = storedPlace_;
  // Where the compositor places windows the bar never learns its place: the stored one stays,
  // for the X11 session that shares the file.
  if (!CompositorPlacesWindows()) {
    const QPoint now(Left(), Top());
    place = StorablePlace(now);
    if (place != now) SetBounds(place.x(), place.y(), width(), height());  // the bar goes there
  }
  WriteBarSettings(Ini,
                   {place.y(), place.x(), height(), width(), Btw, Bth, Btc, Bgh, Bgv, isShadow});
}

QList<QRect> TForm1::WorkAreas() const {
  QList<QRect> areas;
  for (const QScreen* screen : QGuiApplication::screens()) areas << screen->availableGeometry();
  return areas;
}

// A bar that cannot be seen or grabbed cannot be moved back: its title strip stays on a screen,
// and its size stays between the smallest one that can be grabbed and a sane bound. Screens
// that are not there (none active, a monitor unplugged for a moment) never shrink it.
void TForm1::KeepReachable(bool wholeStrip) {
  const QSize size =
      this->size().expandedTo(QSize(kMinWidth, kMinHeight)).boundedTo(QSize(kMaxSide, kMaxSide));
  const QPoint at = ReachablePosition(QRect(pos(), size), kStripHeight, WorkAreas(), wholeStrip);
  if (QRect(at, size) != geometry()) SetGeometry(QRect(at, size));
}

void TForm1::AddButton() {
  std::u16string line = KeyMenu->Line(Bno);
  const std::vector<std::u16string> fields = SplitFields(line);
  if (!buttonHolder_) buttonHolder_ = NewButtonHolder();
  auto* button = new TCornerButton(buttonHolder_);
  button->resize(std::clamp(Btw, 0, kMaxButtonSide), std::clamp(Bth, 0, kMaxButtonSide));
  button->XRadius = static_cast<float>(Btc);
  button->YRadius = static_cast<float>(Btc);
  connect(button, &QAbstractButton::clicked, this,
          Guarded([this, button] { ButtonClick(button); }));
  // An empty line has no caption and sends nothing, but keeps its place in the bar.
  button->setText(fields.empty() ? QString() : Q(fields[0]));
  button->Tag = Bno;
  button->Binding = std::move(line);
  // Not addWidget, which would make the area the button's parent.
  FlowLayout1->addItem(new QWidgetItem(button));
  button->show();
  ++Bno;
}

// The buttons' parent: it covers the button area, draws nothing, and leaves the presses it gets
// between buttons to the area.
QWidget* TForm1::NewButtonHolder() {
  auto* holder = new QWidget(ButtonArea);
  holder->setGeometry(0, 0, kMaxSide, kMaxSide);
  holder->show();
  return holder;
}

void TForm1::ClearButtons() {
  // The re-flow at the end must not build buttons again: the caller does, once it is ready.
  const QScopedValueRollback clearing(addingButtons_, true);
  Bno = 0;
  FlowLayout1->BeginUpdate();
  for (int i = FlowLayout1->count() - 1; i >= 0; --i) delete FlowLayout1->takeAt(i);
  FlowLayout1->EndUpdate();
  // The buttons go with their holder: deleted one by one, each would be looked up in the list of
  // its siblings, which made a rebuild grow with the square of the buttons.
  delete buttonHolder_;
  buttonHolder_ = nullptr;
  ButtonArea->setGraphicsEffect(nullptr);
  Shadow = nullptr;
  ButtonArea->update();
  if (isShadow) {
    Shadow = NewDropShadow(this);
    ButtonArea->setGraphicsEffect(Shadow);
  }
}

void TForm1::RefreshBtn() {
  ReleaseHeldKeys();
  ClearButtons();
  AddButtons();
}

// Buttons for the lines whose places can be seen, each batch placed by a single re-flow. Rows
// past the area's bottom cannot be seen, so a key file of many thousand lines costs only the
// buttons that fit; button i always belongs to line i, and a re-flow that uncovers the place of
// a line not yet built builds it.
void TForm1::AddButtons() {
  if (addingButtons_) return;  // each batch's re-flow comes back here
  // Lines changed since the buttons were built (the settings window, before Apply) wait for the
  // rebuild that Apply makes: a button must never belong to a line it does not show.
  if (Bno == 0) builtFrom_ = KeyMenu->Generation();
  if (KeyMenu->Generation() != builtFrom_) return;
  const QScopedValueRollback adding(addingButtons_, true);
  const auto lastSeen = [this] {
    const int n = FlowLayout1->count();
    return n == 0 || !FlowLayout1->itemAt(n - 1)->widget()->isHidden();
  };
  while (Bno < KeyMenu->Count() && lastSeen()) {
    const int batch = std::max(kFirstButtons, Bno);
    FlowLayout1->BeginUpdate();
    for (int i = 0; i < batch && Bno < KeyMenu->Count(); ++i) AddButton();
    FlowLayout1->EndUpdate();
  }
}

std::vector<TCornerButton*> TForm1::Buttons() const {
  std::vector<TCornerButton*> buttons;
  for (int i = 0; i < FlowLayout1->count(); ++i) {
    if (auto* b = qobject_cast<TCornerButton*>(FlowLayout1->itemAt(i)->widget()))
      buttons.push_back(b);
  }
  return buttons;
}

void TForm1::ButtonClick(TCornerButton* sender) {
  // Still looking for the target: the window in front is the one the user works in.
  Acquire(tracker_.TakeWindowInFront());
  input_.BringWindowToTop(LhWindow);
  // The line the button was built from: edits in the settings window reach the bar at Apply.
  const Binding binding = BindingForFields(SplitFields(sender->Binding));
  if (binding.mode == HoldMode::Tap) {
    input_.SendKeys(TapStrokes(binding.keys));
  } else {
    hold_.Click(sender, binding);
    ShowHeldKeys();
  }
}

void TForm1::ReleaseHeldKeys() {
  hold_.Release();
  ShowHeldKeys();
}

void TForm1::ShowHeldKeys() {
  for (TCornerButton* button : Buttons()) button->SetHeld(button == hold_.Holder());
}

void TForm1::StartPolling(bool afterClose) {
  if (afterClose) {
    tracker_.StartLookingAfterClose(TargetTracker::Clock::now());
  } else {
    tracker_.StartLooking();
  }
  Timer1->start();
  input_.WatchActivity(true);
}

void TForm1::Timer1Timer() {
  Acquire(tracker_.Check(TargetTracker::Clock::now()));
}

void TForm1::ActiveWindowChanged() {
  Acquire(tracker_.Check(TargetTracker::Clock::now()));
}

void TForm1::PointerPressed(platform::WindowHandle under) {
  hold_.PointerPressed(under != 0 && IsOwnWindow(under));
  Acquire(tracker_.PointerPressed(under));
}

// The end of the stroke a latch waited for.
void TForm1::PointerReleased() {
  hold_.PointerReleased();
  ShowHeldKeys();
}

// A target that is gone takes no more keys: the strip forgets it and the bar looks again, as
// after ReAcquire.
void TForm1::WindowDestroyed(platform::WindowHandle window) {
  if (window == 0 || window != LhWindow) return;
  ReleaseHeldKeys();
  LhWindow = 0;
  title_.clear();
  ShowTitle();
  StartPolling(true);
}

void TForm1::Acquire(const std::optional<TargetTracker::Target>& target) {
  if (!target) return;
  // Keys held for one window are not carried into another.
  if (target->window != LhWindow) ReleaseHeldKeys();
  Timer1->stop();
  input_.WatchActivity(false);  // idle until ReAcquire: no wake-ups
  title_ = Q(target->title);
  ShowTitle();
  LhWindow = target->window;
  input_.WatchWindow(LhWindow);
  programTimer_->start();
}

void TForm1::FollowTargetProgram() {
  if (LhWindow == 0) {
    SaveForAppMenu->setEnabled(false);
    return;
  }
  const std::optional<std::u16string> wanted =
      keySets_.ForProgram(input_.WindowProgram(LhWindow), KeyFile);
  SaveForAppMenu->setEnabled(!keySets_.Program().empty());
  if (!wanted) return;
  // A fresh list, so that a set that cannot be read leaves the bar as it is.
  auto list = std::make_unique<KeyList>();
  LoadOrDefaults(*list, *wanted);
  ReleaseHeldKeys();
  KeyMenu = std::move(list);
  KeyFile = *wanted;
  RefreshBtn();
  if (Form2 && Form2->isVisible()) Form2->RefillList();
  ShowTitle();
}

// The title as far as the strip holds it, ending in an ellipsis when cut; the tooltip has it
// whole, and names the program's set when one is in use.
void TForm1::ShowTitle() {
  Label1->setText(Label1->fontMetrics().elidedText(title_, Qt::ElideRight, Label1->width()));
  QString tip = title_;
  if (const std::u16string set = keySets_.SetShown(KeyFile); !set.empty()) {
    tip += QStringLiteral(" \u2014 ") + Q(set);
  }
  Label1->setToolTip(tip);
  ScheduleShapes();
}

void TForm1::ReturnToTarget() {
  input_.BringWindowToTop(LhWindow);
}

void TForm1::CompositorChanged(bool running) {
  composited_ = running;
  // Cut to whole pixels, the title shows only what it draws opaque: without smoothing then, or
  // its thin strokes would break up.
  QFont font = Label1->font();
  font.setStyleStrategy(running ? QFont::PreferDefault : QFont::NoAntialias);
  Label1->setFont(font);
  ScheduleShapes();
}

bool TForm1::IsOwnWindow(platform::WindowHandle window) const {
  if (window == 0) return false;
  if (input_.WindowProcess(window) == QCoreApplication::applicationPid()) return true;
  for (const QWidget* w : QApplication::topLevelWidgets()) {
    if (static_cast<platform::WindowHandle>(w->internalWinId()) == window) return true;
  }
  return false;
}

void TForm1::ReAcquireClick() {
  ReleaseHeldKeys();
  StartPolling();
}

void TForm1::Rectangle2Click() {
  // Made at the first opening: the bar's first frame does not wait for the menu's fonts.
  if (!PopupMenu1) {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->addActions({SettingMenu, ResizeMenu, ReAcquire, KeyBindMenu, SaveAsKeyMenu,
                            SaveForAppMenu, MenuItem1, MinimizedMenu, CloseMenu});
  }
  const double ratio = devicePixelRatioF();
  QList<QRect> workAreas;
  for (const QRect& a : WorkAreas()) workAreas << RoundedPixels(a, ratio);
  const QSize menu = PopupMenu1->sizeHint() * ratio;
  const QPoint at = MenuPosition(QPoint(Left(), Top()), menu, workAreas);
  PopupMenu1->popup(FromScreenPixels(at, ratio));
}

void TForm1::Rectangle1MouseDown() {
  StartWindowDrag();
}

void TForm1::FlowLayout1MouseDown() {
  if (InResizeMode()) {
    StartWindowResize();
  } else {
    StartWindowDrag();
  }
}

void TForm1::StartWindowDrag() {
  if (CompositorPlacesWindows() && windowHandle()->startSystemMove()) return;
  tracking_.StartDrag(QPoint(Left(), Top()), pressGlobal_);
  grabMouse();
}

void TForm1::StartWindowResize() {
  tracking_.StartResize(QPointF(mapFromGlobal(QCursor::pos())), QSizeF(size()));
  grabMouse(Qt::SizeFDiagCursor);
}

void TForm1::EndDragOrResize() {
  if (tracking_.Tracking() == PointerTracking::Kind::None) return;
  tracking_.End();
  releaseMouse();
}

void TForm1::mouseMoveEvent(QMouseEvent* event) {
  if (tracking_.Tracking() == PointerTracking::Kind::Drag) {
    const QPoint at = tracking_.DragTo(event->globalPosition(), devicePixelRatioF());
    SetBounds(at.x(), at.y(), width(), height());
  } else if (tracking_.Tracking() == PointerTracking::Kind::Resize) {
    // Never so small that the bar cannot be grabbed again.
    const QSizeF size = tracking_.ResizeTo(event->position(), QSize(kMinWidth, kMinHeight));
    SetBounds(Left(), Top(), static_cast<int>(size.width()), static_cast<int>(size.height()));
  }
  QWidget::mouseMoveEvent(event);
}

void TForm1::mouseReleaseEvent(QMouseEvent* event) {
  EndDragOrResize();
  QWidget::mouseReleaseEvent(event);
}

void TForm1::ResizeMenuClick() {
  ResizeMenu->toggle();
  // Resize mode: an opaque window that takes presses everywhere; normal mode: see-through again.
  update();
  ScheduleShapes();
}

void TForm1::paintEvent(QPaintEvent*) {
  if (InResizeMode()) QPainter(this).fillRect(rect(), palette().color(QPalette::Window));
}

void TForm1::KeyBindMenuClick() {
  const bool chosen = OpenDialog1.Execute(this, KeyFileFolder());
  ReturnToTarget();
  if (!chosen) return;
  const std::u16string path = OpenDialog1.FileName.toStdU16String();
  ReleaseHeldKeys();
  KeyMenu->LoadFromFile(path);
  KeyFile = path;
  keySets_.ChooseBase(path);  // the user's choice is what programs without a set use
  ShowTitle();
  RefreshBtn();
  // An open settings window lists the new bindings, so its buttons act on the lines shown.
  if (Form2 && Form2->isVisible()) Form2->RefillList();
}

void TForm1::SaveAsKeyMenuClick() {
  const bool chosen = SaveDialog1.Execute(this, KeyFileFolder());
  ReturnToTarget();
  if (!chosen) return;
  KeyMenu->SaveToFile(SaveDialog1.FileName.toStdU16String());
}

void TForm1::CloseMenuClick() {
  close();
}

void TForm1::SaveForAppMenuClick() {
  // The target's program, as the menu item's state says.
  const std::u16string path = keySets_.SetFileOfProgram();
  if (LhWindow == 0 || path.empty()) return;
  if (platform::IsExistingFile(path) &&
      !AskYesNo(this, QStringLiteral("%1 already exists. Replace it?")
                          .arg(Q(SetFileName(keySets_.Program()))))) {
    return;
  }
  PrepareHomeFor(HomePath, path);
  KeyMenu->SaveToFile(path);
  KeyFile = path;
  ShowTitle();
}

void TForm1::MinimizedMenuClick() {
  ReleaseHeldKeys();
  showMinimized();
}

void TForm1::SettingMenuClick() {
  // Built when first asked for: the bar's first frame does not wait for it.
  if (!Form2) settings_ = std::make_unique<TForm2>();
  // Kept above the bar, which stays on top of every ordinary window.
  Form2->winId();
  Form2->windowHandle()->setTransientParent(windowHandle());
  Form2->show();
  Form2->raise();
  Form2->activateWindow();
}

void TForm1::closeEvent(QCloseEvent* event) {
  bool saved = true;
  if (!closed_) {
    closed_ = true;
    Timer1->stop();
    // A settings file that cannot be written is reported; the bar ends all the same. At the
    // end of a session nobody would answer a box, and it would hold up the logout.
    if (sessionEnding_) {
      saved = RunGuardedOnConsole([this] { FormClose(); });
    } else {
      RunGuarded([this] { FormClose(); });
    }
  }
  event->accept();
  // Ends every event loop, a modal dialog's included.
  QCoreApplication::exit(saved ? 0 : 1);
}

void TForm1::EndSession() {
  // Whatever happens from here (a save that hangs on a network folder), the program ends.
  platform::EndWithin(std::chrono::milliseconds(900));
  sessionEnding_ = true;
  close();
}

void TForm1::ComeForward() {
  if (isMinimized()) showNormal();
  show();
  raise();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int w = width();
  Layout1->setGeometry(0, 0, w, kStripHeight);
  Rectangle2->setGeometry(0, 0, kSquare, kSquare);
  Rectangle1->setGeometry(std::max(0, w - kSquare), 0, kSquare, kSquare);
  Label1->setGeometry(kSquare + kLabelMargin, 0, std::max(0, w - 2 * kSquare - kLabelMargin),
                      kStripHeight);
  Layout2->setGeometry(0, kStripHeight, w, kSpacerHeight);
  ButtonArea->setGeometry(0, kStripHeight + kSpacerHeight, w,
                          std::max(0, height() - kStripHeight - kSpacerHeight));
  ShowTitle();  // elided anew to the strip's width; the shapes follow
}

void TForm1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // Minimised by the window manager as much as from the menu: no key stays down meanwhile.
  if (event->type() == QEvent::WindowStateChange && isMinimized()) ReleaseHeldKeys();
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // On every desktop, as on-screen keyboards are.
  input_.ShowOnAllDesktops(static_cast<platform::WindowHandle>(winId()));
  ScheduleShapes();
}

void TForm1::ScheduleShapes() {
  if (internalWinId() != 0) shapeTimer_->start();
}

// Presses on see-through pixels go to the window below: the bar takes them only on the title
// strip and on the buttons with their shadows. Where no compositor blends the see-through
// pixels, they would show black: the window is cut to what it draws.
void TForm1::UpdateShapes() {
  const WId id = internalWinId();
  if (id == 0) return;
  const auto window = static_cast<platform::WindowHandle>(id);
  if (InResizeMode()) {  // opaque: the whole window shows and takes presses
    input_.SetVisibleShape(window, {});
    input_.SetInputShape(window, {});
    return;
  }
  const QPoint area = ButtonArea->geometry().topLeft();
  std::vector<QRect> buttons;
  for (const TCornerButton* button : Buttons())
    buttons.push_back(button->geometry().translated(area));
  const int reach = isShadow ? kDropShadowReach : 0;
  std::vector<QRect> pressable = PressableParts(Layout1->geometry(), buttons, reach, rect());
  const double ratio = devicePixelRatioF();
  for (QRect& r : pressable) r = CoveringPixels(r, ratio);
  input_.SetInputShape(window, ToBackend(pressable));
  input_.SetVisibleShape(
      window, composited_ ? std::vector<platform::InputBackend::Rect>{} : ToBackend(DrawnShape()));
}

// The pixels the bar's parts draw at least half opaque, in device pixels. Soft shadows cannot be
// blended here, so they are left out. Each part is rendered on its own: rendering a widget that
// carries a graphics effect also paints into the window's own backing store, which shows as a
// stray copy of the bar at scale factors other than 1.
std::vector<QRect> TForm1::DrawnShape() {
  const double ratio = devicePixelRatioF();
  QImage image(QSize(std::lround(width() * ratio), std::lround(height() * ratio)),
               QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  std::vector<QWidget*> parts = {Rectangle2, Label1, Rectangle1};
  for (TCornerButton* button : Buttons()) parts.push_back(button);
  for (QWidget* part : parts) {
    if (part->isVisible()) part->render(&image, part->mapTo(this, QPoint()), QRegion(), {});
  }
  // Never empty, which would unshape the window: the strip's squares always draw.
  return OpaqueShape(image);
}

QString TForm1::KeyFileFolder() const {
  return QFileInfo(Q(KeyFile)).absolutePath();
}

}  // namespace kavo
