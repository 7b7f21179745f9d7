#include "ui/Unit1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "base/text_codec.h"
#include "bindings/comma_rule.h"
#include "bindings/key_strokes.h"
#include "platform/files.h"
#include "platform/system.h"
#include "settings/home_folder.h"
#include "ui/Unit2.h"
#include "ui/bar_geometry.h"
#include "ui/bar_layout.h"
#include "ui/deferred.h"
#include "ui/desktop_watch.h"
#include "ui/error_guard.h"
#include "ui/menu_captions.h"
#include "ui/question_box.h"
#include "ui/screen_geometry.h"
#include "ui/title_look.h"
#include "ui/title_tip.h"
#include "widgets/bar_icon.h"
#include "widgets/drop_shadow.h"

namespace kavo {

TForm1* Form1 = nullptr;

TForm1::TForm1(platform::Desktop& desktop, std::u16string homePath)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      HomePath(std::move(homePath)),
      desktop_(desktop),
      tracker_(desktop.Tracking(), [this](platform::WindowHandle w) { return IsOwnWindow(w); }),
      hold_(desktop.Keys(), desktop.Tracking()) {
  setWindowTitle(QStringLiteral("Form1"));
  // Drawn in seven sizes for the task switcher: after the first frame, which does not need it.
  QTimer::singleShot(0, this, [this] { setWindowIcon(BarIcon()); });
  // Nothing is painted where no control draws: those pixels are see-through.
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_ShowWithoutActivating);
  // The bar is never the active window, yet its cut titles and captions need their tooltips.
  setAttribute(Qt::WA_AlwaysShowToolTips);
  placement_.SetGeometry(QRect(0, 0, 257, 130));
  BuildComponents();
  FormCreate();
  // A desktop the bar cannot type into says why where the target's title would stand.
  if (!desktop_.CanType()) {
    strip_.SetTitle(FromUtf8Lossy(desktop_.Problem()));
    ShowTitle();
  }
  WatchDesktop();
  StartPolling();
  // Published once created: a start-up that fails leaves no dangling window behind the name.
  Form1 = this;
}

void TForm1::ShowNotice(const QString& text) {
  if (tracker_.Looking()) {
    strip_.SetTitle(text.toStdU16String());
    ShowTitle();
  }
}

TForm1::~TForm1() {
  settings_.reset();
  desktop_.Tracking().SetListener(nullptr);
  desktop_.Shell().SetListener(nullptr);
  desktop_.Tracking().WatchActivity({});
  desktop_.Tracking().WatchWindow(0);
  if (Form1 == this) Form1 = nullptr;
}

void TForm1::BuildComponents() {
  Layout1 = new QWidget(this);
  Rectangle2 = new TRectangle(QColor(0x41, 0x69, 0xE1), Layout1);  // royal blue
  Label1 = new QLabel(this);
  QPalette labelPalette = Label1->palette();
  labelPalette.setColor(QPalette::WindowText, QColor(0xFF, 0x7F, 0x50));  // coral
  Label1->setPalette(labelPalette);
  Rectangle1 = new TRectangle(QColor(0x00, 0x80, 0x00), Layout1);  // green
  ShadowEffect1 = NewDropShadow(this);
  Layout1->setGraphicsEffect(ShadowEffect1);
  Label1->raise();
  titleTip_ = new TTitleTip(Label1, desktop_.Tracking());
  Layout2 = new QWidget(this);
  ButtonArea = new TPressArea(this);
  FlowLayout1 = new TFlowLayout(ButtonArea);
  ResizeGrip = new TPressArea(this);
  ResizeGrip->setCursor(Qt::SizeFDiagCursor);
  ResizeGrip->hide();

  buttonBar_ = new TButtonBar(ButtonArea, FlowLayout1, [this] { return KeyMenu.get(); });
  connect(buttonBar_, &TButtonBar::Clicked, this,
          [this](TCornerButton* button) { RunGuarded([this, button] { ButtonClick(button); }); });
  shaper_ = new TWindowShaper(*this, desktop_.Shell(), Layout1, {Rectangle2, Label1, Rectangle1},
                              *buttonBar_, [this] { return InResizeMode(); });
  drag_ = new TWindowDrag(
      *this, desktop_.Shell().PlacesWindows(), desktop_.Shell().ToolkitKnowsPlace(),
      {[this] { return QPoint(Left(), Top()); },
       [this](QPoint at, QSize size) { SetBounds(at.x(), at.y(), size.width(), size.height()); },
       QSize(kMinWidth, kMinHeight)});
  // The session asking the program to end closes the bar as the menu does, without a box.
  WatchCloseRequests(this, [this] { EndSession(); });

  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, Guarded([this] { Timer1Timer(); }));
  watch_ = std::make_unique<TargetWatch>(desktop_.Tracking(), tracker_, *Timer1);
  connect(Rectangle2, &TRectangle::Clicked, this, Guarded([this] { Rectangle2Click(); }));
  // A drag counts from where the press was, not from where the pointer is once it is handled.
  connect(Rectangle1, &TRectangle::Pressed, this, [this](QPointF at) {
    pressGlobal_ = at;
    RunGuarded([this] { Rectangle1MouseDown(); });
  });
  connect(ResizeGrip, &TPressArea::Pressed, this, [this] { drag_->StartResize(); });
  connect(ButtonArea, &TPressArea::Pressed, this, [this](QPointF at) {
    pressGlobal_ = at;
    RunGuarded([this] { FlowLayout1MouseDown(); });
  });
  BuildMenuItems();

  // The set follows the target once the handler that acquired it is done: a set that cannot be
  // read is reported on its own, and the click that acquired the target still sends its keys.
  programTimer_ = Deferred(this, Guarded([this] { FollowTargetProgram(); }));
}

// The menu's items, in the system's language; the menu itself is made when first opened (see
// Rectangle2Click).
void TForm1::BuildMenuItems() {
  const MenuCaptions captions = MenuCaptionsFor(platform::SystemDefaultLocaleName());
  const auto item = [this](const QString& caption, std::function<void()> handler) {
    auto* action = new QAction(caption, this);
    connect(action, &QAction::triggered, this, Guarded(std::move(handler)));
    return action;
  };
  SettingMenu = item(captions.setting, [this] { SettingMenuClick(); });
  // The menu has already moved the check mark when it reports the choice.
  ResizeMenu = item(captions.resize, [this] {
    ResizeMenu->toggle();
    ResizeMenuClick();
  });
  ResizeMenu->setCheckable(true);
  ReAcquire = item(captions.reAcquire, [this] { ReAcquireClick(); });
  FollowMenu = item(captions.follow, [this] {
    FollowMenu->toggle();
    FollowMenuClick();
  });
  FollowMenu->setCheckable(true);
  KeyBindMenu = item(captions.openKeyBind, [this] { KeyBindMenuClick(); });
  SaveAsKeyMenu = item(captions.saveAsKeyBind, [this] { SaveAsKeyMenuClick(); });
  SaveForAppMenu = item(captions.saveForApp, [this] { SaveForAppMenuClick(); });
  SaveForAppMenu->setEnabled(false);  // until a target with a program name is acquired
  MenuItem1 = new QAction(this);
  MenuItem1->setSeparator(true);
  MinimizedMenu = item(captions.minimized, [this] { MinimizedMenuClick(); });
  CloseMenu = item(captions.close, [this] { CloseMenuClick(); });
}

// The start-up sequence of the whole program. Staying on top is one of the window's flags.
void TForm1::FormCreate() {
  if (HomePath.empty()) HomePath = platform::FolderOf(platform::ExecutablePath());
  Ini.SetPath(HomePath + u"Kavo.ini");
  LoadSettings();
  keyFiles_.Start(HomePath);
  buttonBar_->Rebuild();
}

// What the bar hears from the desktop: the backend's news (a frame around the bar, a new
// keyboard map, the window in front, the user's presses), screens that come, go or change.
void TForm1::WatchDesktop() {
  desktop_.Tracking().SetListener(this);
  desktop_.Shell().SetListener(this);
  CompositorChanged(desktop_.Shell().CompositorRunning());
  if (platform::EventSource* events = desktop_.Events()) WatchDesktopNews(this, *events);
  // After a screen changed, the bar returns to the user's place or moves wholly onto a screen.
  WatchScreens(this, [this] { placement_.FollowScreens(); });
}

void TForm1::FormClose() {
  ReleaseHeldKeys();
  keyFiles_.Close();
  SaveSettings();
}

int TForm1::Left() const {
  return placement_.Left();
}
int TForm1::Top() const {
  return placement_.Top();
}

void TForm1::SetBounds(int left, int top, int width, int height) {
  placement_.SetBounds(left, top, width, height);
}

void TForm1::LoadSettings() {
  const BarSettings s = ReadBarSettings(Ini);
  placement_.Restore(s);
  SetLook(s.look);
  FollowMenu->setChecked(s.follow);
  tracker_.SetFollowing(s.follow);
}

void TForm1::SaveKeyMenu() {
  keyFiles_.Save();
}

void TForm1::SaveSettings() {
  PrepareHomeFor(HomePath, Ini.Path());
  BarSettings settings;
  placement_.Store(settings);
  settings.look = Look();
  settings.follow = FollowMenu->isChecked();
  WriteBarSettings(Ini, settings);
}

void TForm1::RefreshBtn() {
  ReleaseHeldKeys();
  buttonBar_->Rebuild();
}

void TForm1::ButtonClick(TCornerButton* sender) {
  // The window the user works in, should the desktop's news of it still be on its way.
  Acquire(tracker_.ButtonClicked(TargetTracker::Clock::now()));
  desktop_.Tracking().BringWindowToTop(LhWindow);
  // The line the button was built from: edits in the settings window reach the bar at Apply.
  const Binding binding = BindingForFields(SplitFields(sender->Binding));
  if (binding.mode == HoldMode::Tap) {
    Report(desktop_.Keys().SendKeys(TapStrokes(binding.keys)));
  } else {
    Report(hold_.Click(sender, binding));
    buttonBar_->ShowHeld(hold_.Holder());
  }
}

void TForm1::Report(const platform::Injection& injection) {
  if (!strip_.SetRefusal(FromUtf8Lossy(injection.reason))) return;
  if (!injection.Ok()) std::fprintf(stderr, "Kavo: %s\n", injection.reason.c_str());
  ShowTitle();
}

void TForm1::ReleaseHeldKeys() {
  hold_.Release();
  buttonBar_->ShowHeld(nullptr);
}

void TForm1::StartPolling() {
  tracker_.StartLooking(LhWindow);
  watch_->Apply();
}

void TForm1::Timer1Timer() {
  Acquire(tracker_.Check(TargetTracker::Clock::now()));
}

// News from the desktop is a handler's edge as much as a click: some desktops deliver it from
// their own callbacks, inside the system's message dispatch.
void TForm1::ActiveWindowChanged() {
  RunGuarded([this] { Acquire(tracker_.Check(TargetTracker::Clock::now())); });
}

void TForm1::PointerPressed(platform::WindowHandle under) {
  RunGuarded([this, under] {
    hold_.PointerPressed(under != 0 && IsOwnWindow(under));
    Acquire(tracker_.PointerPressed(under));
  });
}

// The end of the stroke a latch waited for.
void TForm1::PointerReleased() {
  RunGuarded([this] {
    hold_.PointerReleased();
    buttonBar_->ShowHeld(hold_.Holder());
  });
}

// A target that is gone takes no more keys: the strip forgets it and the bar looks again, as
// after ReAcquire; following, the window that comes forward in its place is the target.
void TForm1::WindowDestroyed(platform::WindowHandle window) {
  if (window == 0 || window != LhWindow) return;
  RunGuarded([this] {
    ReleaseHeldKeys();
    LhWindow = 0;
    strip_.SetTitle({});
    ShowTitle();
    const auto next = tracker_.TargetClosed(TargetTracker::Clock::now());
    watch_->Apply();
    Acquire(next);
  });
}

// The strip follows the target's title as it changes: an editor marking a changed file, a
// terminal naming its command.
void TForm1::WindowTitleChanged(platform::WindowHandle window) {
  if (window == 0 || window != LhWindow) return;
  RunGuarded([this] {
    strip_.SetTitle(desktop_.Tracking().WindowTitle(LhWindow));
    ShowTitle();
  });
}

void TForm1::PointerMoved() {
  titleTip_->PointerMoved();
}

void TForm1::Acquire(const std::optional<TargetTracker::Target>& target) {
  if (!target) return;
  // Keys held for one window are not carried into another.
  if (target->window != LhWindow) ReleaseHeldKeys();
  strip_.SetTitle(target->title);
  ShowTitle();
  LhWindow = target->window;
  watch_->Follow(LhWindow);
  programTimer_->start();
}

void TForm1::FollowTargetProgram() {
  if (LhWindow == 0) {
    SaveForAppMenu->setEnabled(false);
    return;
  }
  const bool changed = keyFiles_.FollowProgram(desktop_.Tracking().WindowProgram(LhWindow));
  SaveForAppMenu->setEnabled(!keyFiles_.Program().empty());
  if (!changed) return;
  RefreshBtn();
  RefillSettings();
  ShowTitle();
}

void TForm1::RefillSettings() {
  if (Form2 && Form2->isVisible()) Form2->RefillList();
}

// The strip's text as far as the strip holds it, ending in an ellipsis when cut; the tooltip
// has it whole.
void TForm1::ShowTitle() {
  const QString shown = QString::fromStdU16String(strip_.Shown());
  Label1->setText(Label1->fontMetrics().elidedText(shown, Qt::ElideRight, Label1->width()));
  Label1->setToolTip(QString::fromStdU16String(strip_.Tip(keyFiles_.SetShown())));
  shaper_->Schedule();
}

void TForm1::ReturnToTarget() {
  desktop_.Tracking().BringWindowToTop(LhWindow);
}

void TForm1::CompositorChanged(bool running) {
  composited_ = running;
  UpdateTitleLook();
  shaper_->SetComposited(running);
}

void TForm1::UpdateTitleLook() {
  const TitleLook look = TitleLookFor(composited_, InResizeMode(), isVisible() && !isMinimized());
  titleTip_->SetActive(look.tipFollowsPointer);
  QFont font = Label1->font();
  const auto strategy = look.smooth ? QFont::PreferDefault : QFont::NoAntialias;
  if (font.styleStrategy() == strategy) return;
  font.setStyleStrategy(strategy);
  Label1->setFont(font);
}

bool TForm1::IsOwnWindow(platform::WindowHandle window) const {
  if (window == 0) return false;
  if (desktop_.Tracking().WindowProcess(window) == QCoreApplication::applicationPid()) return true;
  for (const QWidget* w : QApplication::topLevelWidgets()) {
    if (static_cast<platform::WindowHandle>(w->internalWinId()) == window) return true;
  }
  return false;
}

void TForm1::ReAcquireClick() {
  ReleaseHeldKeys();
  StartPolling();
}

void TForm1::FollowMenuClick() {
  FollowMenu->toggle();
  tracker_.SetFollowing(FollowMenu->isChecked());
  watch_->Apply();
  // The window the user works in now is the target from here on.
  Acquire(tracker_.Check(TargetTracker::Clock::now()));
}

void TForm1::Rectangle2Click() {
  // Made at the first opening: the bar's first frame does not wait for the menu's fonts.
  if (!PopupMenu1) {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->addActions({SettingMenu, ResizeMenu, ReAcquire, FollowMenu, KeyBindMenu,
                            SaveAsKeyMenu, SaveForAppMenu, MenuItem1, MinimizedMenu, CloseMenu});
  }
  const double ratio = devicePixelRatioF();
  QList<QRect> workAreas;
  for (const QRect& a : TBarPlacement::WorkAreas()) workAreas << RoundedPixels(a, ratio);
  const QSize menu = PopupMenu1->sizeHint() * ratio;
  const QPoint at = MenuPosition(QPoint(Left(), Top()), menu, workAreas);
  PopupMenu1->popup(FromScreenPixels(at, ratio));
}

void TForm1::Rectangle1MouseDown() {
  drag_->StartDrag(pressGlobal_);
}

void TForm1::FlowLayout1MouseDown() {
  if (InResizeMode()) {
    drag_->StartResize();
  } else {
    drag_->StartDrag(pressGlobal_);
  }
}

void TForm1::ResizeMenuClick() {
  ResizeMenu->toggle();
  // Resize mode: an opaque window that takes presses everywhere; normal mode: see-through again.
  ResizeGrip->setVisible(InResizeMode());
  ResizeGrip->raise();
  UpdateTitleLook();
  update();
  shaper_->Schedule();
}

void TForm1::paintEvent(QPaintEvent*) {
  if (InResizeMode()) QPainter(this).fillRect(rect(), palette().color(QPalette::Window));
}

void TForm1::KeyBindMenuClick() {
  const bool chosen = OpenDialog1.Execute(this, KeyFileFolder());
  ReturnToTarget();
  if (!chosen) return;
  ReleaseHeldKeys();
  keyFiles_.Open(OpenDialog1.FileName.toStdU16String());
  ShowTitle();
  RefreshBtn();
  RefillSettings();
}

void TForm1::SaveAsKeyMenuClick() {
  const bool chosen = SaveDialog1.Execute(this, KeyFileFolder());
  ReturnToTarget();
  if (!chosen) return;
  keyFiles_.SaveAs(SaveDialog1.FileName.toStdU16String());
}

void TForm1::CloseMenuClick() {
  close();
}

void TForm1::SaveForAppMenuClick() {
  // The target's program, as the menu item's state says.
  const std::u16string path = keyFiles_.ProgramSetFile();
  if (LhWindow == 0 || path.empty()) return;
  if (platform::IsExistingFile(path) &&
      !AskYesNo(QStringLiteral("%1 already exists. Replace it?")
                    .arg(QString::fromStdU16String(SetFileName(keyFiles_.Program()))))) {
    return;
  }
  keyFiles_.SaveForProgram();
  ShowTitle();
}

void TForm1::MinimizedMenuClick() {
  ReleaseHeldKeys();
  showMinimized();
}

void TForm1::SettingMenuClick() {
  // Built when first asked for: the bar's first frame does not wait for it.
  if (!Form2) settings_ = std::make_unique<TForm2>();
  // An ordinary window, first placed where it does not hide the bar.
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
  const BarLayout layout = LayOutBar(size());
  Layout1->setGeometry(layout.strip);
  Rectangle2->setGeometry(layout.menuSquare);
  Rectangle1->setGeometry(layout.dragSquare);
  Label1->setGeometry(layout.title);
  Layout2->setGeometry(layout.spacer);
  ButtonArea->setGeometry(layout.buttonArea);
  ResizeGrip->setGeometry(layout.resizeGrip);
  ShowTitle();  // elided anew to the strip's width; the shapes follow
}

void TForm1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // Minimised by the window manager as much as from the menu: no key stays down meanwhile.
  if (event->type() == QEvent::WindowStateChange && isMinimized()) ReleaseHeldKeys();
  if (event->type() == QEvent::WindowStateChange) UpdateTitleLook();
}

void TForm1::setVisible(bool visible) {
  if (visible && !shownOnce_) {
    shownOnce_ = true;
    desktop_.Shell().TakeAsMainWindow(static_cast<platform::WindowHandle>(winId()));
  }
  QWidget::setVisible(visible);
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // On every desktop, as on-screen keyboards are. Asked again a moment after the first showing:
  // a compositor still busy with the window's mapping may miss what comes with it.
  desktop_.Shell().ShowOnAllDesktops(static_cast<platform::WindowHandle>(winId()));
  UpdateTitleLook();
  if (!event->spontaneous() && !askedAgain_) {
    askedAgain_ = true;
    QTimer::singleShot(1000, this, [this] {
      if (isVisible()) Shell().ShowOnAllDesktops(static_cast<platform::WindowHandle>(winId()));
    });
  }
  shaper_->Schedule();
}

QString TForm1::KeyFileFolder() const {
  return QFileInfo(QString::fromStdU16String(KeyFile)).absolutePath();
}

}  // namespace kavo
