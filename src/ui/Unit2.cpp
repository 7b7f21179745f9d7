#include "ui/Unit2.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QWindow>
#include <cmath>
#include <functional>

#include "bindings/comma_rule.h"
#include "bindings/key_names.h"
#include "bindings/key_strokes.h"
#include "ui/Unit1.h"
#include "ui/error_guard.h"
#include "ui/screen_geometry.h"

namespace kavo {

TForm2* Form2 = nullptr;

namespace {

// The list shows a line's fields, split by the comma rule, separated by tabs.
QString DisplayText(const std::vector<std::u16string>& fields) {
  QStringList parts;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    // A held binding's empty key fields would push its mode out of sight.
    if (fields.size() == 5 && i >= 1 && i <= 3 && fields[i].empty()) continue;
    parts << QString::fromStdU16String(fields[i]);
  }
  return parts.join(QLatin1Char('\t'));
}

template <typename T>
T* Place(T* widget, int x, int y, int w, int h) {
  widget->setGeometry(x, y, w, h);
  return widget;
}

// Every text at the window's font and whole: where a text needs more room than its design
// width, the page's columns move apart and the page grows by as much.
struct Room {
  QWidget* control;
  int room;  // design pixels from its left edge to where its neighbour on the right begins
  std::function<int()> needed;
};

// Moves and widens every control under parent by factor horizontally.
void Widen(QWidget* parent, double factor) {
  for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isWindow()) continue;
    const QRect g = child->geometry();
    const int left = static_cast<int>(std::lround(g.x() * factor));
    const int right = static_cast<int>(std::lround((g.x() + g.width()) * factor));
    child->setGeometry(left, g.y(), right - left, g.height());
    // Into the page's own containers only: the controls lay out their insides themselves.
    if (qobject_cast<QGroupBox*>(child) || child->metaObject() == &QWidget::staticMetaObject) {
      Widen(child, factor);
    }
  }
}

// A thumb that stands out from its track: the style's own light thumb on a grey track reads the
// wrong way round where the page misses only a little of the screen.
void ShowThumbClearly(QScrollBar* bar) {
  bar->setStyleSheet(QStringLiteral(
      "QScrollBar:vertical { background: palette(window); width: 14px; margin: 0; }"
      "QScrollBar::handle:vertical { background: palette(mid); min-height: 32px;"
      " border-radius: 4px; margin: 2px 3px; }"
      "QScrollBar::handle:vertical:hover { background: palette(dark); }"
      "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
      "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
}

int TextWidth(const QWidget* w, const QString& text) {
  return w->fontMetrics().horizontalAdvance(text);
}

int ButtonWidth(const QPushButton* b) {
  const QStyle* style = b->style();
  return TextWidth(b, b->text()) + 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b) +
         2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
}

}  // namespace

const std::vector<QString>& TForm2::KeyNames() {
  static const std::vector<QString> names = [] {
    std::vector<QString> n = {"Ctrl", "Shift", "Alt", "Enter"};
    for (int i = 1; i <= 12; ++i) n.push_back(QStringLiteral("F%1").arg(i));
    for (const char* k : {"Insert", "Delete", "Up", "Down", "Left", "Right"}) n.push_back(k);
    for (char c = 'A'; c <= 'Z'; ++c) n.push_back(QString(QLatin1Char(c)));
    for (const char* k : {"-", "=", "^", "~", "\\", "|", "@", "`", "[", "{", ";",  "+",
                          ":", "*", "]", "}", ",",  "<", ".", ">", "/", "?", "\\", "_"}) {
      n.push_back(k);
    }
    // Keys without a character of their own come after the design's 72.
    for (const std::u16string_view name : NamedKeysForChoosers()) {
      n.push_back(QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size())));
    }
    return n;
  }();
  return names;
}

// An ordinary window: other programs' windows can cover it, and it has its own task bar entry.
TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
  Form2 = this;
  setWindowTitle(QStringLiteral("Settings"));
  setFixedSize(kDesignSize);  // no resize border
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setGeometry(rect());
  ShowThumbClearly(scroll_->verticalScrollBar());
  content_ = new QWidget;
  content_->setFixedSize(kDesignSize);
  scroll_->setWidget(content_);
  QWidget* const page = content_;

  GroupBox1 = Place(new QGroupBox(QStringLiteral("Button"), page), 16, 16, 281, 137);
  Label1 = Place(new QLabel(QStringLiteral("Width"), GroupBox1), 24, 24, 41, 17);
  Label2 = Place(new QLabel(QStringLiteral("Height"), GroupBox1), 112, 24, 57, 17);
  Label3 = Place(new QLabel(QStringLiteral("Corner"), GroupBox1), 192, 24, 57, 17);
  SpinBw = Place(new TNumberBox(GroupBox1), 24, 48, 70, 22);
  SpinBh = Place(new TNumberBox(GroupBox1), 112, 48, 70, 22);
  SpinBc = Place(new TNumberBox(GroupBox1), 192, 48, 70, 22);
  Label4 = Place(new QLabel(QStringLiteral("Horizontal Gap"), GroupBox1), 24, 80, 81, 17);
  Label5 = Place(new QLabel(QStringLiteral("Vertical Gap"), GroupBox1), 112, 80, 73, 17);
  SpinBgh = Place(new TNumberBox(GroupBox1), 24, 104, 70, 22);
  SpinBgv = Place(new TNumberBox(GroupBox1), 112, 104, 70, 22);
  ShadowCheck = Place(new QCheckBox(QStringLiteral("Shadow"), GroupBox1), 192, 104, 73, 19);

  Layout1 = Place(new QWidget(page), 16, 152, 281, 217);
  Layout2 = Place(new QWidget(Layout1), 0, 0, 281, 81);
  Edit1 = Place(new QLineEdit(Layout2), 16, 8, 100, 22);
  Edit1->setPlaceholderText(QStringLiteral("Caption"));
  AddBtn = Place(new QPushButton(QStringLiteral("Add"), Layout2), 144, 8, 80, 22);
  ComboBox1 = Place(new QComboBox(Layout2), 16, 40, 65, 22);
  ComboBox2 = Place(new QComboBox(Layout2), 88, 40, 65, 22);
  ComboBox3 = Place(new QComboBox(Layout2), 160, 40, 65, 22);
  ComboBox2->addItem(QString());
  ComboBox3->addItem(QString());
  for (QComboBox* box : {ComboBox1, ComboBox2, ComboBox3}) {
    for (const QString& name : KeyNames()) box->addItem(name);
    // As wide as the design's names need ("Shift"); the list below shows the longer ones whole.
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setIconSize(QSize(0, 0));  // names only
    box->setMinimumContentsLength(5);
    box->setMaxVisibleItems(kChooserRows);
    box->setCurrentIndex(0);
  }
  // How the binding sends its keys: a tap, or held for a pen (written as a fifth field).
  ModeBox = Place(new QComboBox(Layout2), 232, 40, 49, 22);
  for (const char* mode : {"Tap", "Latch", "Toggle"}) ModeBox->addItem(QString::fromLatin1(mode));
  for (QComboBox* box : {ComboBox1, ComboBox2, ComboBox3, ModeBox}) {
    // A list below the box rather than the style's list over it, rows high enough for a pen.
    box->setStyleSheet(
        QStringLiteral("QComboBox { combobox-popup: 0; }"
                       "QComboBox QAbstractItemView::item { min-height: 1.6em; }"));
    // The wheel turns the page; a chooser changes by it only once it has the focus.
    box->setFocusPolicy(Qt::StrongFocus);
    box->installEventFilter(this);
  }
  Layout3 = Place(new QWidget(Layout1), 0, 81, 281, 136);
  ListBox1 = Place(new QListWidget(Layout3), 0, 0, 281, 136);
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);

  DelBtn = Place(new QPushButton(QStringLiteral("Delete"), page), 16, 376, 57, 22);
  UpBtn = Place(new QPushButton(QStringLiteral("Up"), page), 104, 376, 49, 22);
  DownBtn = Place(new QPushButton(QStringLiteral("Down"), page), 152, 376, 49, 22);
  ApplyBtn = Place(new QPushButton(QStringLiteral("Applay"), page), 216, 376, 80, 22);
  FitTexts();
  for (QComboBox* box : {ComboBox1, ComboBox2, ComboBox3}) {
    // The opened list shows every name whole, with a scroll bar a pen can drag.
    box->view()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ShowThumbClearly(box->view()->verticalScrollBar());
    box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) +
                                 box->view()->verticalScrollBar()->sizeHint().width() + 8);
  }
  setFixedSize(content_->size());
  scroll_->setGeometry(rect());

  // Focus order of the design.
  QWidget* const order[] = {ComboBox1, ComboBox2, ComboBox3,   ModeBox, Edit1,  AddBtn,
                            ListBox1,  ApplyBtn,  DelBtn,      SpinBc,  SpinBh, SpinBgv,
                            SpinBgh,   SpinBw,    ShadowCheck, UpBtn,   DownBtn};
  for (std::size_t i = 1; i < std::size(order); ++i) {
    QWidget::setTabOrder(order[i - 1], order[i]);
  }
  ComboBox1->setFocus();  // the first in that order has the focus when the window opens

  connect(AddBtn, &QPushButton::clicked, this, Guarded([this] { AddBtnClick(); }));
  connect(DelBtn, &QPushButton::clicked, this, Guarded([this] { DelBtnClick(); }));
  connect(UpBtn, &QPushButton::clicked, this, Guarded([this] { UpBtnClick(); }));
  connect(DownBtn, &QPushButton::clicked, this, Guarded([this] { DownBtnClick(); }));
  connect(ApplyBtn, &QPushButton::clicked, this, Guarded([this] { ApplyBtnClick(); }));
}

TForm2::~TForm2() {
  if (Form2 == this) Form2 = nullptr;
}

// No text is cut and none is shrunk, whatever the platform's font: where the design's widths
// are too small for it, the whole page widens evenly, so that the controls keep their order and
// their gaps; then each control grows to its text within its room.
void TForm2::FitTexts() {
  const int groupRight = GroupBox1->width() - 8;
  const auto label = [](QLabel* l) { return [l] { return TextWidth(l, l->text()) + 2; }; };
  const auto box = [](TNumberBox* b) { return [b] { return b->NeededWidth(); }; };
  const auto hint = [](QWidget* w) { return [w] { return w->sizeHint().width(); }; };
  const auto button = [](QPushButton* b) { return [b] { return ButtonWidth(b); }; };
  const int pageMargin = kDesignSize.width() - 2;
  const Room rooms[] = {
      {Label1, 112 - 24, label(Label1)},
      {Label2, 192 - 112, label(Label2)},
      {Label3, groupRight - 192, label(Label3)},
      {Label4, 112 - 24 - 4, label(Label4)},
      {Label5, 192 - 112, label(Label5)},
      {SpinBw, 110 - 24, box(SpinBw)},
      {SpinBh, 190 - 112, box(SpinBh)},
      {SpinBc, groupRight - 192, box(SpinBc)},
      {SpinBgh, 110 - 24, box(SpinBgh)},
      {SpinBgv, 190 - 112, box(SpinBgv)},
      {ShadowCheck, groupRight - 192, hint(ShadowCheck)},
      {Edit1, 142 - 16, [this] { return TextWidth(Edit1, Edit1->placeholderText()) + 14; }},
      {ComboBox1, 86 - 16, hint(ComboBox1)},
      {ComboBox2, 158 - 88, hint(ComboBox2)},
      {ComboBox3, 230 - 160, hint(ComboBox3)},
      {AddBtn, 279 - 144, button(AddBtn)},
      {DelBtn, 102 - 16, button(DelBtn)},
      {UpBtn, 152 - 104, button(UpBtn)},
      {DownBtn, 214 - 152, button(DownBtn)},
      {ApplyBtn, pageMargin - 216, button(ApplyBtn)},
  };
  double factor = 1;
  for (const Room& r : rooms) factor = std::max(factor, r.needed() / static_cast<double>(r.room));
  // The mode chooser follows the third key chooser and may reach into the window's right margin.
  constexpr int kChooserGap = 7;
  const int row = ComboBox1->x() + ComboBox1->sizeHint().width() + ComboBox2->sizeHint().width() +
                  ComboBox3->sizeHint().width() + ModeBox->sizeHint().width() + 3 * kChooserGap;
  factor = std::max(factor, row / static_cast<double>(pageMargin - 8 - Layout1->x()));
  if (factor > 1) {
    Widen(content_, factor);
    content_->setFixedSize(static_cast<int>(std::ceil(kDesignSize.width() * factor)),
                           kDesignSize.height());
  }
  for (const Room& r : rooms) {
    const int room = static_cast<int>(std::floor(r.room * factor));
    QWidget* w = r.control;
    w->resize(std::clamp(r.needed(), w->width(), std::max(w->width(), room)),
              std::max(w->height(), w->fontMetrics().height()));
  }
  ModeBox->setGeometry(ComboBox3->geometry().right() + 1 + kChooserGap, ModeBox->y(),
                       std::max(ModeBox->width(), ModeBox->sizeHint().width()),
                       std::max(ModeBox->height(), ModeBox->fontMetrics().height()));
  Layout1->resize(std::max(Layout1->width(), ModeBox->geometry().right() + 1), Layout1->height());
  Layout2->resize(Layout1->width(), Layout2->height());
  const int pageWidth = std::max(content_->width(), Layout1->geometry().right() + 1 + 8);
  content_->setFixedSize(pageWidth, content_->height());
}

void TForm2::setVisible(bool visible) {
  if (visible && !isVisible() && !placed_) PlaceFirstTime();
  QWidget::setVisible(visible);
}

// While the user works in it, it stands in the bar's layer, above the bar; once another window
// is active it is an ordinary window again, which that window can cover.
void TForm2::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::ActivationChange || !windowHandle()) return;
  const bool active = isActiveWindow();
  Qt::WindowFlags flags = windowHandle()->flags();
  if (flags.testFlag(Qt::WindowStaysOnTopHint) == active) return;
  // Through the window, not the widget: the widget's flags would hide and remake it.
  windowHandle()->setFlags(flags.setFlag(Qt::WindowStaysOnTopHint, active));
  if (active) windowHandle()->raise();
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel) {
    auto* box = qobject_cast<QComboBox*>(watched);
    if (box && !box->hasFocus()) {
      event->ignore();  // on to the page, which scrolls
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

int TForm2::SelectedIndex() const {
  const QModelIndexList rows = ListBox1->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void TForm2::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  // The user goes back to the program the bar types into.
  if (event->isAccepted() && Form1) Form1->ReturnToTarget();
}

void TForm2::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;  // restored by the window system: not a showing
  RunGuarded([this] { FormShow(); });
}

void TForm2::RefillList() {
  ListBox1->clear();
  for (const auto& line : Form1->KeyMenu->Lines())
    ListBox1->addItem(DisplayText(SplitFields(line)));
}

void TForm2::FormShow() {
  RefillList();
  const ButtonLook& look = Form1->Look();
  SpinBw->SetValue(look.Btw);
  SpinBh->SetValue(look.Bth);
  SpinBc->SetValue(look.Btc);
  SpinBgh->SetValue(look.Bgh);
  SpinBgv->SetValue(look.Bgv);
  ShadowCheck->setChecked(look.isShadow);
}

void TForm2::AddBtnClick() {
  std::vector<std::u16string> fields = {Edit1->text().toStdU16String(),
                                        ComboBox1->currentText().toStdU16String()};
  const auto mode = static_cast<HoldMode>(ModeBox->currentIndex());
  for (const QComboBox* box : {ComboBox2, ComboBox3}) {
    // A held binding keeps every key field, empty ones included, before its mode.
    if (!box->currentText().isEmpty() || mode != HoldMode::Tap) {
      fields.push_back(box->currentText().toStdU16String());
    }
  }
  if (mode != HoldMode::Tap) fields.emplace_back(ModeField(mode));
  ListBox1->addItem(DisplayText(fields));
  // Quoted where a field needs it, so a caption with a comma or the "," key read back as typed.
  Form1->KeyMenu->Add(JoinFields(fields));
}

void TForm2::DelBtnClick() {
  const int i = SelectedIndex();
  if (i >= 0 && i < ListBox1->count()) delete ListBox1->takeItem(i);
  ListBox1->setCurrentRow(-1);
  ListBox1->clearSelection();
  Form1->KeyMenu->Delete(i);
}

void TForm2::UpBtnClick() {
  const int i = SelectedIndex();
  if (i <= 0) return;
  Form1->KeyMenu->Move(i, i - 1);
  ListBox1->insertItem(i - 1, ListBox1->takeItem(i));
  ListBox1->setCurrentRow(i - 1);
  ListBox1->scrollToItem(ListBox1->item(i - 1));
}

void TForm2::DownBtnClick() {
  const int i = SelectedIndex();
  if (i < 0 || i > ListBox1->count() - 2) return;
  Form1->KeyMenu->Move(i, i + 1);
  ListBox1->insertItem(i + 1, ListBox1->takeItem(i));
  ListBox1->setCurrentRow(i + 1);
  ListBox1->scrollToItem(ListBox1->item(i + 1));
}

void TForm2::ApplyBtnClick() {
  ButtonLook look;
  look.Btw = SpinBw->Value();
  look.Bth = SpinBh->Value();
  look.Btc = SpinBc->Value();
  look.Bgh = SpinBgh->Value();
  look.Bgv = SpinBgv->Value();
  look.isShadow = ShadowCheck->isChecked();
  Form1->SetLook(look);
  Form1->RefreshBtn();
  Form1->SaveKeyMenu();
}

// Placed by its outer rectangle, frame included, and never larger than the screen: where the
// screen is smaller, the window shrinks and its page scrolls.
void TForm2::PlaceFirstTime() {
  placed_ = true;
  QList<QRect> screens, workAreas;
  for (const QScreen* s : QGuiApplication::screens()) {
    screens << s->geometry();
    workAreas << s->availableGeometry();
  }
  // The toolkit knows the frame only once the window is on the screen; the window manager can
  // tell it before.
  const auto window = static_cast<platform::WindowHandle>(winId());
  const QPoint known = geometry().topLeft() - frameGeometry().topLeft();
  QSize frameExtra = frameGeometry().size() - size();
  QPoint clientOffset = known;
  if (Form1) {
    if (const auto m = Form1->Shell().FrameExtents(window)) {
      const double ratio = devicePixelRatioF();
      auto dip = [ratio](int pixels) { return static_cast<int>(std::ceil(pixels / ratio)); };
      frameExtra = QSize(dip(m->left + m->right), dip(m->top + m->bottom));
      // Rounded down, so that a frame thinner than a device-independent pixel never pushes the
      // window's far edge off the screen.
      clientOffset = QPoint(static_cast<int>(m->left / ratio), static_cast<int>(m->top / ratio));
    }
  }
  const QRect work = CentralWorkArea(screens, workAreas);
  const QSize page = content_->size();
  QSize client = FittingClientSize(page, frameExtra, work);
  if (client.height() < page.height()) {
    // Room for the page's vertical scroll bar, so that it needs no horizontal one.
    const int bar = scroll_->verticalScrollBar()->sizeHint().width();
    client = FittingClientSize(page + QSize(bar, 0), frameExtra, work);
  }
  setFixedSize(client);
  scroll_->setGeometry(rect());
  const QSize outer = size() + frameExtra;
  QPoint at = FirstPlacement(outer, screens, workAreas);
  // Centred, it would hide the bar (or the bar it): beside the bar on the bar's screen instead.
  if (Form1 && Form1->isVisible() && QRect(at, outer).intersects(Form1->geometry())) {
    at = BesidePlacement(outer, Form1->geometry(), workAreas);
  }
  // move() places the frame where the toolkit knows it, else the client area.
  move(at + clientOffset - known);
}

}  // namespace kavo
