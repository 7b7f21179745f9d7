#include "ui/Unit2.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <cmath>

#include "bindings/comma_rule.h"
#include "ui/Unit1.h"
#include "ui/error_guard.h"

namespace kavo {

TForm2* Form2 = nullptr;

namespace {

QString Q(const std::u16string& text) {
  return QString::fromStdU16String(text);
}

// The list shows a line's fields, split by the comma rule, separated by tabs.
QString DisplayText(const std::vector<std::u16string>& fields) {
  QStringList parts;
  for (const auto& f : fields) parts << Q(f);
  return parts.join(QLatin1Char('\t'));
}

template <typename T>
T* Place(T* widget, int x, int y, int w, int h) {
  widget->setGeometry(x, y, w, h);
  return widget;
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
    return n;
  }();
  return names;
}

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
  Form2 = this;
  setWindowTitle(QStringLiteral("Settings"));
  setFixedSize(308, 409);  // no resize border

  GroupBox1 = Place(new QGroupBox(QStringLiteral("Button"), this), 16, 16, 281, 137);
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

  Layout1 = Place(new QWidget(this), 16, 152, 281, 217);
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
    box->setMaxVisibleItems(8);
    box->setCurrentIndex(0);
  }
  Layout3 = Place(new QWidget(Layout1), 0, 81, 281, 136);
  ListBox1 = Place(new QListWidget(Layout3), 0, 0, 281, 136);
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);

  DelBtn = Place(new QPushButton(QStringLiteral("Delete"), this), 16, 376, 57, 22);
  UpBtn = Place(new QPushButton(QStringLiteral("Up"), this), 104, 376, 49, 22);
  DownBtn = Place(new QPushButton(QStringLiteral("Down"), this), 152, 376, 49, 22);
  ApplyBtn = Place(new QPushButton(QStringLiteral("Applay"), this), 216, 376, 80, 22);

  // Focus order of the design.
  QWidget* const order[] = {ComboBox1, ComboBox2,   ComboBox3, Edit1,  AddBtn,  ListBox1,
                            ApplyBtn,  DelBtn,      SpinBc,    SpinBh, SpinBgv, SpinBgh,
                            SpinBw,    ShadowCheck, UpBtn,     DownBtn};
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
  if (!placed_) PlaceFirstTime();
  RefillList();
  SpinBw->SetValue(Form1->Btw);
  SpinBh->SetValue(Form1->Bth);
  SpinBc->SetValue(Form1->Btc);
  SpinBgh->SetValue(Form1->Bgh);
  SpinBgv->SetValue(Form1->Bgv);
  ShadowCheck->setChecked(Form1->isShadow);
}

void TForm2::AddBtnClick() {
  std::vector<std::u16string> fields = {Edit1->text().toStdU16String(),
                                        ComboBox1->currentText().toStdU16String()};
  for (const QComboBox* box : {ComboBox2, ComboBox3}) {
    if (!box->currentText().isEmpty()) fields.push_back(box->currentText().toStdU16String());
  }
  ListBox1->addItem(DisplayText(fields));
  // Quoted where a field needs it, so a caption with a comma or the "," key read back as typed.
  Form1->KeyMenu->Add(JoinFields(fields));
}

void TForm2::DelBtnClick() {
  const int i = ListBox1->currentRow();
  if (i >= 0 && i < ListBox1->count()) delete ListBox1->takeItem(i);
  ListBox1->setCurrentRow(-1);
  ListBox1->clearSelection();
  Form1->KeyMenu->Delete(i);
}

void TForm2::UpBtnClick() {
  const int i = ListBox1->currentRow();
  if (i <= 0) return;
  Form1->KeyMenu->Move(i, i - 1);
  ListBox1->insertItem(i - 1, ListBox1->takeItem(i));
  ListBox1->setCurrentRow(i - 1);
  ListBox1->scrollToItem(ListBox1->item(i - 1));
}

void TForm2::DownBtnClick() {
  const int i = ListBox1->currentRow();
  if (i < 0 || i > ListBox1->count() - 2) return;
  Form1->KeyMenu->Move(i, i + 1);
  ListBox1->insertItem(i + 1, ListBox1->takeItem(i));
  ListBox1->setCurrentRow(i + 1);
  ListBox1->scrollToItem(ListBox1->item(i + 1));
}

void TForm2::ApplyBtnClick() {
  Form1->FlowLayout1->SetHorizontalGap(static_cast<float>(SpinBgh->Value()));
  Form1->FlowLayout1->SetVerticalGap(static_cast<float>(SpinBgv->Value()));
  Form1->isShadow = ShadowCheck->isChecked();
  Form1->Btw = SpinBw->Value();
  Form1->Bth = SpinBh->Value();
  Form1->Btc = SpinBc->Value();
  Form1->Bgh = SpinBgh->Value();
  Form1->Bgv = SpinBgv->Value();
  Form1->RefreshBtn();
  Form1->KeyMenu->SaveToFile(Form1->KeyFile);
}

// Centred on the whole desktop; a corner on no monitor moves it into the work area of the
// monitor nearest the desktop's centre, vertically first, then horizontally.
void TForm2::PlaceFirstTime() {
  placed_ = true;
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (screens.isEmpty()) return;
  const QRect desktop = screens.first()->virtualGeometry();
  const QSize size = frameGeometry().size();
  QRect frame(QPoint(desktop.x() + (desktop.width() - size.width()) / 2,
                     desktop.y() + (desktop.height() - size.height()) / 2),
              size);
  auto cornersOnScreens = [&] {
    for (const QPoint& c :
         {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()}) {
      bool on = false;
      for (const QScreen* s : screens) on = on || s->geometry().contains(c);
      if (!on) return false;
    }
    return true;
  };
  if (!cornersOnScreens()) {
    const QScreen* nearest = screens.first();
    double best = -1;
    for (const QScreen* s : screens) {
      const QPoint d = s->availableGeometry().center() - desktop.center();
      const double distance = std::hypot(d.x(), d.y());
      if (best < 0 || distance < best) nearest = s, best = distance;
    }
    const QRect work = nearest->availableGeometry();
    if (frame.top() < work.top()) frame.moveTop(work.top());
    if (frame.bottom() > work.bottom()) frame.moveBottom(work.bottom());
    if (!cornersOnScreens()) {
      if (frame.left() < work.left()) frame.moveLeft(work.left());
      if (frame.right() > work.right()) frame.moveRight(work.right());
    }
  }
  move(frame.topLeft());
}

}  // namespace kavo
