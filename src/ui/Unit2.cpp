#include "ui/Unit2.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
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

// Widens a control to what its text needs in the platform's font, up to limit (where its
// neighbour begins); a text that would still be cut gets a smaller font. Taller fonts make it
// taller. Its place stays.
void FitWidth(QWidget* w, int limit, const std::function<int()>& needed) {
  QFont font = w->font();
  while (w->x() + needed() > limit && font.pointSizeF() > 6) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
    w->setFont(font);
  }
  const int width = std::clamp(needed(), w->width(), std::max(w->width(), limit - w->x()));
  w->resize(width, std::max(w->height(), w->fontMetrics().height()));
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

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
  Form2 = this;
  setWindowTitle(QStringLiteral("Settings"));
  setFixedSize(kDesignSize);  // no resize border
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setGeometry(rect());
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
    box->setMinimumContentsLength(5);
    box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 24);
    box->setMaxVisibleItems(8);
    // A list below the box, 8 entries high, rather than the style's list over the box.
    box->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    box->setCurrentIndex(0);
  }
  // How the binding sends its keys: a tap, or held for a pen (written as a fifth field).
  ModeBox = Place(new QComboBox(Layout2), 232, 40, 49, 22);
  for (const char* mode : {"Tap", "Latch", "Toggle"}) ModeBox->addItem(QString::fromLatin1(mode));
  ModeBox->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
  Layout3 = Place(new QWidget(Layout1), 0, 81, 281, 136);
  ListBox1 = Place(new QListWidget(Layout3), 0, 0, 281, 136);
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);

  DelBtn = Place(new QPushButton(QStringLiteral("Delete"), page), 16, 376, 57, 22);
  UpBtn = Place(new QPushButton(QStringLiteral("Up"), page), 104, 376, 49, 22);
  DownBtn = Place(new QPushButton(QStringLiteral("Down"), page), 152, 376, 49, 22);
  ApplyBtn = Place(new QPushButton(QStringLiteral("Applay"), page), 216, 376, 80, 22);
  FitTexts();

  // Focus order of the design.
  QWidget* const order[] = {ComboBox1, ComboBox2, ComboBox3,   ModeBox, Edit1,  AddBtn,
                            ListBox1,  ApplyBtn,  DelBtn,      SpinBc,  SpinBh, SpinBgv,
                            SpinBgh,   SpinBw,    ShadowCheck, UpBtn,   DownBtn};
  for (std::size_t i = 1; i < std::size(order); ++i) {
    QWidget::setTabOrder(order[i - 1], order[i]);
  }

  connect(AddBtn, &QPushButton::clicked, this, Guarded([this] { AddBtnClick(); }));
  connect(DelBtn, &QPushButton::clicked, this, Guarded([this] { DelBtnClick(); }));
  connect(UpBtn, &QPushButton::clicked, this, Guarded([this] { UpBtnClick(); }));
  connect(DownBtn, &QPushButton::clicked, this, Guarded([this] { DownBtnClick(); }));
  connect(ApplyBtn, &QPushButton::clicked, this, Guarded([this] { ApplyBtnClick(); }));
}

TForm2::~TForm2() {
  if (Form2 == this) Form2 = nullptr;
}

// No text is cut, whatever the platform's font: each control grows to its text, up to where its
// neighbour on the right begins.
void TForm2::FitTexts() {
  const int groupRight = GroupBox1->width() - 8;
  const std::pair<QLabel*, int> labels[] = {
      {Label1, 112}, {Label2, 192}, {Label3, groupRight}, {Label4, 112}, {Label5, 192}};
  for (const auto& [label, limit] : labels) {
    FitWidth(label, limit, [label] { return TextWidth(label, label->text()) + 2; });
  }
  const std::pair<TNumberBox*, int> boxes[] = {
      {SpinBw, 110}, {SpinBh, 190}, {SpinBc, groupRight}, {SpinBgh, 110}, {SpinBgv, 190}};
  for (const auto& [box, limit] : boxes) {
    FitWidth(box, limit, [box] { return box->NeededWidth(); });
  }
  FitWidth(ShadowCheck, groupRight, [this] { return ShadowCheck->sizeHint().width(); });
  FitWidth(Edit1, 142, [this] { return TextWidth(Edit1, Edit1->placeholderText()) + 14; });
  const std::pair<QComboBox*, int> choosers[] = {
      {ComboBox1, 86}, {ComboBox2, 158}, {ComboBox3, 230}};
  for (const auto& [box, limit] : choosers) {
    FitWidth(box, limit, [box] { return box->sizeHint().width(); });
  }
  // The mode chooser follows the third key chooser, reaching into the window's right margin if
  // "Toggle" needs it.
  ModeBox->move(ComboBox3->geometry().right() + 7, ModeBox->y());
  const int margin = kDesignSize.width() - Layout1->x() - 4;
  Layout1->resize(std::max(Layout1->width(), margin), Layout1->height());
  Layout2->resize(Layout1->width(), Layout2->height());
  FitWidth(ModeBox, Layout2->width(), [this] { return ModeBox->sizeHint().width(); });
  const std::pair<QPushButton*, int> buttons[] = {
      {AddBtn, 279}, {DelBtn, 102}, {UpBtn, 152}, {DownBtn, 214}, {ApplyBtn, 306}};
  for (const auto& [button, limit] : buttons) {
    FitWidth(button, limit, [button] { return ButtonWidth(button); });
  }
}

void TForm2::setVisible(bool visible) {
  if (visible && !isVisible() && !placed_) PlaceFirstTime();
  QWidget::setVisible(visible);
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
      clientOffset = QPoint(dip(m->left), dip(m->top));
    }
  }
  const QRect work = CentralWorkArea(screens, workAreas);
  QSize client = FittingClientSize(kDesignSize, frameExtra, work);
  if (client.height() < kDesignSize.height()) {
    // Room for the page's vertical scroll bar, so that it needs no horizontal one.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll_);
    client = FittingClientSize(kDesignSize + QSize(bar, 0), frameExtra, work);
  }
  setFixedSize(client);
  scroll_->setGeometry(rect());
  // move() places the frame where the toolkit knows it, else the client area.
  move(FirstPlacement(size() + frameExtra, screens, workAreas) + clientOffset - known);
}

}  // namespace kavo
