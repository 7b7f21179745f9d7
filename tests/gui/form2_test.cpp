// The settings window and the bar's menu commands, on the offscreen platform.

#include "ui/Unit2.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <QWindow>

#include "bar_fixture.h"
#include "platform/code_page.h"
#include "test_support.h"
#include "ui/Unit1.h"
#include "ui/error_guard.h"
#include "ui/question_box.h"

namespace kavo {
namespace {

using test::U16;
using Lines = std::vector<std::u16string>;
using namespace std::string_literals;

class SettingsTest : public test::BarFixture {
 protected:
  void SetUp() override {
    BarFixture::SetUp();
    TFileDialog::SetAnswer([this](TFileDialog::Kind kind, const QString& initial, const QString&) {
      asked_.push_back((kind == TFileDialog::Kind::Open ? "open " : "save ") +
                       initial.toStdString());
      std::optional<QString> answer;
      if (!answers_.empty()) {
        if (!answers_.front().empty()) answer = QString::fromStdString(answers_.front());
        answers_.erase(answers_.begin());
      }
      return answer;
    });
  }
  void TearDown() override {
    BarFixture::TearDown();
    TFileDialog::SetAnswer(nullptr);
  }
  QString BoxEntry(const QString&, const QString& text) const override { return text; }
  void Start(std::string_view keyFile = "") {
    if (!keyFile.empty()) Write("KavoKey.txt", keyFile);
    form1_ = StartBar();
    form2_ = std::make_unique<TForm2>();
  }
  QStringList Entries() const {
    QStringList entries;
    for (int i = 0; i < form2_->ListBox1->count(); ++i)
      entries << form2_->ListBox1->item(i)->text();
    return entries;
  }

  std::unique_ptr<TForm1> form1_;
  std::unique_ptr<TForm2> form2_;
  std::vector<std::string> asked_, answers_;
};

TEST_F(SettingsTest, ShowingListsTheBindingsAndTheLookOfTheBar) {
  test::WriteBytes(dir_.Native("Kavo.ini"),
                   "[Icon]\r\nWidth=150\r\nHGap=-3\r\nCorner=7\r\nShadow=0\r\n");
  Start("Undo,Ctrl,Z\r\n\"a,b\",Ctrl,Z\r\nHelp\r\n");
  form2_->show();
  EXPECT_EQ(Entries(), (QStringList{"Undo\tCtrl\tZ", "a,b\tCtrl\tZ", "Help"}));
  EXPECT_EQ(form2_->ListBox1->currentRow(), -1);
  EXPECT_EQ(form2_->SpinBw->Value(), 100);
  EXPECT_EQ(form2_->SpinBgh->Value(), 0);
  EXPECT_EQ(form2_->SpinBc->Value(), 7);
  EXPECT_FALSE(form2_->ShadowCheck->isChecked());

  // First showing: centred on the desktop.
  const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
  EXPECT_EQ(form2_->frameGeometry().topLeft(),
            QPoint((desktop.width() - form2_->frameGeometry().width()) / 2,
                   (desktop.height() - form2_->frameGeometry().height()) / 2));

  form2_->ListBox1->setCurrentRow(1);
  form2_->show();  // already open: nothing is refilled
  EXPECT_EQ(form2_->ListBox1->currentRow(), 1);
  form2_->close();
  EXPECT_FALSE(form2_->isVisible());
  form2_->show();  // shown again: listed once, nothing selected
  EXPECT_EQ(Entries().size(), 3);
  EXPECT_EQ(form2_->ListBox1->currentRow(), -1);
}

TEST_F(SettingsTest, KeyChoosersOfferTheNamesInOrder) {
  Start();
  // The design's 72, then the keys without a character of their own.
  EXPECT_EQ(form2_->ComboBox1->count(), 72 + 29);
  EXPECT_EQ(form2_->ComboBox2->count(), 73 + 29);
  EXPECT_EQ(form2_->ComboBox3->itemText(0), "");
  const std::pair<int, const char*> samples[] = {
      {0, "Ctrl"},    {3, "Enter"}, {4, "F1"},          {15, "F12"}, {16, "Insert"},
      {21, "Right"},  {22, "A"},    {47, "Z"},          {48, "-"},   {52, "\\"},
      {64, ","},      {70, "\\"},   {71, "_"},          {72, "Esc"}, {74, "Space"},
      {77, "PageUp"}, {86, "Num0"}, {100, "NumDecimal"}};
  for (const auto& [index, name] : samples) {
    EXPECT_EQ(form2_->ComboBox1->itemText(index), name) << index;
    EXPECT_EQ(form2_->ComboBox2->itemText(index + 1), name) << index;
  }
  EXPECT_EQ(form2_->ComboBox1->currentText(), "Ctrl");
  EXPECT_EQ(form2_->Edit1->placeholderText(), "Caption");
  EXPECT_EQ(form2_->ApplyBtn->text(), "Applay");

  // With a pen: a long list whose names are whole, and typing a name's first letters finds it.
  QComboBox* box = form2_->ComboBox2;
  EXPECT_EQ(box->maxVisibleItems(), TForm2::kChooserRows);
  EXPECT_GE(box->view()->minimumWidth(),
            box->view()->fontMetrics().horizontalAdvance("NumDecimal") + 8);
  const std::pair<const char*, const char*> typed[] = {
      {"Del", "Delete"}, {"pageD", "PageDown"}, {"F1", "F1"}, {"Sp", "Space"}};
  for (const auto& [letters, name] : typed) {
    box->setCurrentIndex(0);
    QTest::keyClicks(box, letters);
    EXPECT_EQ(box->currentText(), name) << letters;
    QTest::qWait(QApplication::keyboardInputInterval() + 50);  // the next name starts afresh
  }
}

TEST_F(SettingsTest, AddWritesFieldsThatReadBackAsChosen) {
  Start("Undo,Ctrl,Z\r\n");
  form2_->show();
  struct Case {
    QString caption;
    int k1, k2, k3;  // chooser indexes; 0 is the empty entry of the second and third
    std::u16string line;
    QString entry;
  };
  const Case cases[] = {
      {"Redo", 0, 2, 48, u"Redo,Ctrl,Shift,Z", "Redo\tCtrl\tShift\tZ"},
      {"Skip", 0, 0, 48, u"Skip,Ctrl,Z", "Skip\tCtrl\tZ"},
      {"", 0, 0, 0, u",Ctrl", "\tCtrl"},
      {"a,b", 0, 48, 0, u"\"a,b\",Ctrl,Z", "a,b\tCtrl\tZ"},
      {"\"Note\"", 0, 48, 0, u"\"\"\"Note\"\"\",Ctrl,Z", "\"Note\"\tCtrl\tZ"},
      {"Comma", 0, 65, 0, u"Comma,Ctrl,\",\"", "Comma\tCtrl\t,"},
  };
  Lines lines = {u"Undo,Ctrl,Z"};
  QStringList entries = {"Undo\tCtrl\tZ"};
  for (const Case& c : cases) {
    form2_->Edit1->setText(c.caption);
    form2_->ComboBox1->setCurrentIndex(c.k1);
    form2_->ComboBox2->setCurrentIndex(c.k2);
    form2_->ComboBox3->setCurrentIndex(c.k3);
    form2_->AddBtn->click();
    lines.push_back(c.line);
    entries << c.entry;
  }
  EXPECT_EQ(form1_->KeyMenu->Lines(), lines);
  EXPECT_EQ(Entries(), entries);
  EXPECT_EQ(form1_->Buttons().size(), 1u);  // the bar waits for Apply
}

TEST_F(SettingsTest, AHeldModeIsWrittenAsAFifthFieldAfterEveryKeyField) {
  Start("Undo,Ctrl,Z\r\n");
  form2_->show();
  EXPECT_EQ(form2_->ModeBox->itemText(0), "Tap");
  const struct {
    int k1, k2, k3, mode;
    std::u16string line;
  } cases[] = {
      {74, 0, 0, 1, u"Pan,Space,,,latch"},
      {0, 3, 48, 2, u"Pan,Ctrl,Alt,Z,toggle"},
      {0, 0, 48, 0, u"Pan,Ctrl,Z"},
  };
  for (const auto& c : cases) {
    form2_->Edit1->setText("Pan");
    form2_->ComboBox1->setCurrentIndex(c.k1);
    form2_->ComboBox2->setCurrentIndex(c.k2);
    form2_->ComboBox3->setCurrentIndex(c.k3);
    form2_->ModeBox->setCurrentIndex(c.mode);
    form2_->AddBtn->click();
    EXPECT_EQ(form1_->KeyMenu->Lines().back(), c.line);
  }
  EXPECT_EQ(Entries().at(1), "Pan\tSpace\tlatch");  // empty key fields are not shown
}

// The bar follows the target's program: its own set where it has one, else the key file in use
// before any set; an open settings window lists what the bar shows.
TEST_F(SettingsTest, EachProgramGetsItsOwnSetAndTheOthersTheKeyFileInUseBefore) {
  test::WriteBytes(dir_.Native("KavoKey.paint.txt"), "\xFF\xFEP\0,\0C\0t\0r\0l\0,\0P\0"s);
  test::WriteBytes(dir_.Native("KavoKey.broken.txt"), "\xEF\xBB\xBF\xC0");
  test::WriteBytes(dir_.Native("other.txt"), "Other,Ctrl,O\r\n");
  Start("Base,Ctrl,B\r\n");
  form2_->show();
  const std::u16string programs[] = {u"Paint", u"Editor", u"paint", u"Broken", u""};
  for (int i = 0; i < 5; ++i) {
    input_.programs[1001 + i] = programs[i];  // far from the offscreen windows' own ids
    input_.titles[1001 + i] = u"Window " + std::u16string(1, static_cast<char16_t>(u'1' + i));
  }
  auto target = [&](platform::WindowHandle window) {
    form1_->ReAcquireClick();
    input_.foreground = 1000 + window;
    form1_->Timer1Timer();
    QTest::qWait(10);  // the set follows on the next turn of the event loop
  };
  auto captions = [&] {
    std::vector<QString> c;
    for (const auto* b : form1_->Buttons()) c.push_back(b->text());
    return c;
  };
  const struct {
    const char* step;
    std::function<void()> act;
    std::string keyFile;
    QString caption;
  } steps[] = {
      {"a program with a set", [&] { target(1); }, "KavoKey.paint.txt", "P"},
      {"a program without", [&] { target(2); }, "KavoKey.txt", "Base"},
      {"another window of the first", [&] { target(3); }, "KavoKey.paint.txt", "P"},
      {"a set that cannot be read", [&] { target(4); }, "KavoKey.paint.txt", "P"},
      {"no program name", [&] { target(5); }, "KavoKey.txt", "Base"},
      {"OpenKeyBind",
       [&] {
         answers_ = {dir_.Native("other.txt")};
         form1_->KeyBindMenuClick();
       },
       "other.txt", "Other"},
      {"a set after OpenKeyBind", [&] { target(1); }, "KavoKey.paint.txt", "P"},
      {"back to the file opened", [&] { target(2); }, "other.txt", "Other"},
  };
  for (const auto& s : steps) {
    s.act();
    EXPECT_EQ(test::U8(form1_->KeyFile), dir_.Native(s.keyFile)) << s.step;
    EXPECT_EQ(captions(), std::vector<QString>{s.caption}) << s.step;
    EXPECT_EQ(Entries().value(0).split('\t').value(0), s.caption) << s.step;
  }
  EXPECT_EQ(boxes_.size(), 1u);  // the unreadable set, once

  // The same program again changes nothing, not even what was added meanwhile.
  target(1);
  form1_->KeyMenu->Add(u"Added,Ctrl,A");
  target(3);
  EXPECT_EQ(form1_->KeyMenu->Count(), 2);
  EXPECT_TRUE(form1_->Label1->toolTip().endsWith(QStringLiteral(" \u2014 KavoKey.paint.txt")));
}

TEST_F(SettingsTest, SaveKeyBindForAppWritesTheProgramsSetAndAsksBeforeReplacingOne) {
  std::vector<std::string> questions;
  SetQuestionSink([&](const QString& text) {
    questions.push_back(text.toStdString());
    return questions.size() > 1;  // No the first time, Yes after
  });
  Start("Undo,Ctrl,Z\r\n");
  EXPECT_FALSE(form1_->SaveForAppMenu->isEnabled());
  input_.programs[1007] = u"Krita";
  input_.titles[1007] = u"Untitled - Krita";
  input_.foreground = 1007;
  form1_->Timer1Timer();
  QTest::qWait(10);
  ASSERT_TRUE(form1_->SaveForAppMenu->isEnabled());
  form1_->SaveForAppMenu->trigger();
  EXPECT_EQ(test::ReadBytes(dir_.Native("KavoKey.krita.txt")), "Undo,Ctrl,Z\r\n");
  EXPECT_EQ(test::U8(form1_->KeyFile), dir_.Native("KavoKey.krita.txt"));
  EXPECT_EQ(form1_->Label1->toolTip(), QStringLiteral("Untitled - Krita \u2014 KavoKey.krita.txt"));
  EXPECT_TRUE(questions.empty());

  form1_->KeyMenu->Add(u"Redo,Ctrl,Y");
  form1_->SaveForAppMenu->trigger();  // No: kept
  EXPECT_EQ(test::ReadBytes(dir_.Native("KavoKey.krita.txt")), "Undo,Ctrl,Z\r\n");
  form1_->SaveForAppMenu->trigger();  // Yes: replaced
  EXPECT_EQ(test::ReadBytes(dir_.Native("KavoKey.krita.txt")), "Undo,Ctrl,Z\r\nRedo,Ctrl,Y\r\n");
  EXPECT_EQ(questions.size(), 2u);
  // Whatever the answer, the target has the focus again.
  EXPECT_EQ(std::count(input_.raised.begin(), input_.raised.end(), 1007), 2);
  SetQuestionSink(nullptr);
}

TEST_F(SettingsTest, DeleteUpAndDownKeepListAndKeyListInStep) {
  Start("A,Ctrl,A\r\nB,Ctrl,B\r\nC,Ctrl,C\r\n");
  form2_->show();
  struct Case {
    const char* name;
    int selected;
    QPushButton* TForm2::*button;
    Lines after;
    int selectedAfter;
  };
  const Case cases[] = {
      {"up from 1", 1, &TForm2::UpBtn, {u"B,Ctrl,B", u"A,Ctrl,A", u"C,Ctrl,C"}, 0},
      {"up on the first", 0, &TForm2::UpBtn, {u"A,Ctrl,A", u"B,Ctrl,B", u"C,Ctrl,C"}, 0},
      {"down from 1", 1, &TForm2::DownBtn, {u"A,Ctrl,A", u"C,Ctrl,C", u"B,Ctrl,B"}, 2},
      {"down on the last", 2, &TForm2::DownBtn, {u"A,Ctrl,A", u"B,Ctrl,B", u"C,Ctrl,C"}, 2},
      {"down with none", -1, &TForm2::DownBtn, {u"A,Ctrl,A", u"B,Ctrl,B", u"C,Ctrl,C"}, -1},
      {"delete 1", 1, &TForm2::DelBtn, {u"A,Ctrl,A", u"C,Ctrl,C"}, -1},
  };
  for (const Case& c : cases) {
    form1_->KeyMenu->Clear();
    for (const auto* l : {u"A,Ctrl,A", u"B,Ctrl,B", u"C,Ctrl,C"}) form1_->KeyMenu->Add(l);
    form2_->RefillList();
    form2_->ListBox1->setCurrentRow(c.selected);
    (form2_.get()->*c.button)->click();
    EXPECT_EQ(form1_->KeyMenu->Lines(), c.after) << c.name;
    QStringList entries;
    for (const auto& line : c.after) entries << QString::fromStdU16String(line).replace(',', '\t');
    EXPECT_EQ(Entries(), entries) << c.name;
    EXPECT_EQ(form2_->ListBox1->currentRow(), c.selectedAfter) << c.name;
  }
  EXPECT_TRUE(boxes_.empty());
  // A row can be current without being selected (Tab into the list, Ctrl+click on the selected
  // entry): the buttons act on the selection, which is none.
  for (auto button : {&TForm2::DelBtn, &TForm2::UpBtn, &TForm2::DownBtn}) {
    form2_->ListBox1->setCurrentRow(1);
    form2_->ListBox1->clearSelection();
    (form2_.get()->*button)->click();
    EXPECT_EQ(form1_->KeyMenu->Lines(), (Lines{u"A,Ctrl,A", u"C,Ctrl,C"}));
    EXPECT_EQ(Entries().size(), 2);
  }
  EXPECT_EQ(boxes_, std::vector<std::string>{"リストのインデックスが範囲を超えています (-1)"});
  boxes_.clear();
  form2_->ListBox1->setCurrentRow(-1);
  form2_->DelBtn->click();
  EXPECT_EQ(boxes_, std::vector<std::string>{"リストのインデックスが範囲を超えています (-1)"});
  EXPECT_EQ(form1_->KeyMenu->Count(), 2);
}

TEST_F(SettingsTest, FirstShowingCentresTheOuterRectangleAndFitsTheScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  struct Case {
    const char* name;
    platform::Margins frame;
  };
  const Case cases[] = {{"a title bar and thin borders", {1, 1, 20, 1}},
                        {"a frame as high as the screen", {0, 0, screen.height() - 200, 0}}};
  for (const Case& c : cases) {
    input_.frame = c.frame;
    Start();
    form2_->show();
    const QSize outer =
        form2_->size() + QSize(c.frame.left + c.frame.right, c.frame.top + c.frame.bottom);
    const QPoint frameAt = form2_->geometry().topLeft() - QPoint(c.frame.left, c.frame.top);
    EXPECT_TRUE(screen.contains(QRect(frameAt, outer))) << c.name;
    EXPECT_EQ(frameAt.x(), (screen.width() - outer.width()) / 2) << c.name;
    if (outer.height() < screen.height()) {
      EXPECT_EQ(frameAt.y(), (screen.height() - outer.height()) / 2) << c.name;
    }
    // Where the screen is too small the page keeps its height and scrolls.
    EXPECT_EQ(form2_->Content()->height(), TForm2::kDesignSize.height()) << c.name;
    form2_.reset();
    form1_.reset();
  }
}

TEST_F(SettingsTest, AnOrdinaryWindowThatOpensBesideABarItWouldHide) {
  Start();
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  form1_->move(screen.left() + 10, screen.center().y() - 50);
  form1_->show();
  form2_->show();
  EXPECT_FALSE(form2_->frameGeometry().intersects(form1_->geometry()));
  EXPECT_TRUE(screen.contains(form2_->frameGeometry()));
  EXPECT_FALSE(form2_->windowFlags().testFlag(Qt::Tool));
  EXPECT_EQ(form2_->windowHandle()->transientParent(), nullptr);
}

TEST_F(SettingsTest, BoxesOpenAboveTheWindowTheUserWorksIn) {
  Start();
  form2_->show();
  form2_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form2_.get()));
  // In the application's own loop: a bar closed by an earlier test ended every loop after it.
  QTimer::singleShot(0, [&] {
    for (QWidget* owner : {static_cast<QWidget*>(form2_.get()), static_cast<QWidget*>(nullptr)}) {
      QMessageBox box(QMessageBox::Critical, "エラー", "text", QMessageBox::Ok);
      QWidget* parent = form1_.get();
      bool onTop = false;
      QTimer::singleShot(0, [&] {
        parent = box.parentWidget();
        onTop = box.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        box.done(QMessageBox::Ok);
      });
      ExecAbove(box, owner);
      EXPECT_EQ(parent, owner);
      EXPECT_EQ(onTop, owner == nullptr);  // from the bar: never under it
    }
    QCoreApplication::exit(0);
  });
  QCoreApplication::exec();
}

TEST_F(SettingsTest, NoTextIsCutOrShrunkAndTheControlsKeepTheirOrder) {
  Start();
  form2_->show();
  const QFont font = form2_->font();
  const auto fits = [&](QWidget* w, const QString& text, int extra) {
    EXPECT_EQ(w->font().pointSizeF(), font.pointSizeF()) << text.toStdString();
    EXPECT_GE(w->width(), w->fontMetrics().horizontalAdvance(text) + extra) << text.toStdString();
  };
  for (QLabel* l : {form2_->Label1, form2_->Label2, form2_->Label3, form2_->Label4, form2_->Label5})
    fits(l, l->text(), 0);
  for (QPushButton* b : {form2_->DelBtn, form2_->UpBtn, form2_->DownBtn, form2_->ApplyBtn})
    fits(b, b->text(), 4);
  for (QComboBox* b : {form2_->ComboBox1, form2_->ComboBox2, form2_->ComboBox3, form2_->ModeBox})
    fits(b, b == form2_->ModeBox ? "Toggle" : "Shift", 8);
  form2_->SpinBw->SetValue(100);
  const QLineEdit* edit = form2_->SpinBw->Editor();
  EXPECT_GE(edit->width(), edit->fontMetrics().horizontalAdvance("100") + 8);
  // Rows left to right as designed, none overlapping the next, all inside the page.
  const std::vector<std::vector<QWidget*>> rows = {
      {form2_->Label1, form2_->Label2, form2_->Label3},
      {form2_->SpinBw, form2_->SpinBh, form2_->SpinBc},
      {form2_->Label4, form2_->Label5},
      {form2_->SpinBgh, form2_->SpinBgv, form2_->ShadowCheck},
      {form2_->Edit1, form2_->AddBtn},
      {form2_->ComboBox1, form2_->ComboBox2, form2_->ComboBox3, form2_->ModeBox},
      {form2_->DelBtn, form2_->UpBtn, form2_->DownBtn, form2_->ApplyBtn}};
  const auto onPage = [&](QWidget* w) {
    return QRect(w->mapTo(form2_->Content(), QPoint()), w->size());
  };
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      EXPECT_TRUE(form2_->Content()->rect().contains(onPage(row[i])));
      // Up and Down touch, as designed.
      if (i > 0) {
        EXPECT_GE(onPage(row[i]).left() + 1, onPage(row[i - 1]).right());
      }
    }
  }
  EXPECT_EQ(form2_->size(), form2_->Content()->size());
  EXPECT_EQ(form2_->Content()->height(), TForm2::kDesignSize.height());
  EXPECT_GE(form2_->Content()->width(), TForm2::kDesignSize.width());
}

TEST_F(SettingsTest, TheWheelTurnsThePageAndChangesOnlyTheControlWithTheFocus) {
  Start();
  form2_->show();
  form2_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form2_.get()));
  // Sent, the event goes to the control alone; ignored, the window would pass it to the page.
  const auto wheel = [](QWidget* w) {
    QWheelEvent up(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &up);
    return up.isAccepted();
  };
  form2_->SpinBw->SetValue(50);
  form2_->ComboBox1->setCurrentIndex(5);
  form2_->Edit1->setFocus();
  EXPECT_FALSE(wheel(form2_->SpinBw));
  EXPECT_FALSE(wheel(form2_->ComboBox1));
  EXPECT_EQ(form2_->SpinBw->Value(), 50);
  EXPECT_EQ(form2_->ComboBox1->currentIndex(), 5);
  form2_->SpinBw->setFocus();
  EXPECT_TRUE(wheel(form2_->SpinBw));
  EXPECT_EQ(form2_->SpinBw->Value(), 51);
  form2_->ComboBox1->setFocus();
  EXPECT_TRUE(wheel(form2_->ComboBox1));
  EXPECT_EQ(form2_->ComboBox1->currentIndex(), 4);
}

TEST_F(SettingsTest, ApplySetsTheLookRebuildsTheBarAndWritesTheKeyFile) {
  Start();
  form2_->show();
  form2_->SpinBw->SetValue(60);
  form2_->SpinBh->SetValue(30);
  form2_->SpinBc->SetValue(0);
  form2_->SpinBgh->SetValue(4);
  form2_->SpinBgv->SetValue(6);
  form2_->ShadowCheck->setChecked(false);
  form2_->Edit1->setText("Redo");
  form2_->ComboBox2->setCurrentIndex(2);   // Shift
  form2_->ComboBox3->setCurrentIndex(48);  // Z
  form2_->AddBtn->click();
  form2_->ApplyBtn->click();

  EXPECT_EQ(form1_->Look().Btw, 60);
  EXPECT_EQ(form1_->Look().Bgv, 6);
  EXPECT_FALSE(form1_->Look().isShadow);
  const auto buttons = form1_->Buttons();
  ASSERT_EQ(buttons.size(), 5u);
  EXPECT_EQ(buttons[4]->text(), "Redo");
  EXPECT_EQ(buttons[0]->size(), QSize(60, 30));
  EXPECT_EQ(buttons[0]->EffectiveRadii(), QSizeF(0, 0));
  EXPECT_EQ(ButtonShadow(*form1_), nullptr);
  EXPECT_EQ(form1_->FlowLayout1->VerticalGap(), 6.0f);
  EXPECT_EQ(test::ReadBytes(dir_.Native("KavoKey.txt")),
            "Undo,Ctrl,Z\r\nCut,Ctrl,X\r\nCopy,Ctrl,C\r\nPast,Ctrl,V\r\nRedo,Ctrl,Shift,Z\r\n");
}

TEST_F(SettingsTest, NumberBoxesCommitTypedTextByTheirRules) {
  Start();
  TNumberBox* box = form2_->SpinBw;
  struct Case {
    int before;
    QString typed;
    int after;
  };
  const Case cases[] = {{20, "250", 100}, {20, "", 0},     {20, "-", 20},
                        {20, "+", 20},    {20, "-5", 0},   {20, "+7", 7},
                        {20, "007", 7},   {20, "1-2", 20}, {20, "99999999999999999999", 100}};
  for (const Case& c : cases) {
    box->SetValue(c.before);
    box->Editor()->setText(c.typed);
    box->Commit();
    EXPECT_EQ(box->Value(), c.after) << c.typed.toStdString();
    EXPECT_EQ(box->Editor()->text(), QString::number(c.after));
  }

  box->SetValue(50);
  QTest::keyClicks(box->Editor(), "a1b");
  EXPECT_EQ(box->Editor()->text(), "501");  // only digits and signs can be typed
  QTest::keyClick(box->Editor(), Qt::Key_Escape);
  EXPECT_EQ(box->Editor()->text(), "50");
  EXPECT_EQ(box->Editor()->selectedText(), "50");

  box->Editor()->setText("30");  // a step starts from the typed number
  box->IncrementButton()->click();
  EXPECT_EQ(box->Value(), 31);
  QTest::keyClick(box->Editor(), Qt::Key_Down);
  EXPECT_EQ(box->Value(), 30);
  // The step starts from the typed number and limits after it.
  const std::tuple<const char*, QToolButton*, int> steps[] = {
      {"250", box->DecrementButton(), 100},
      {"-5", box->IncrementButton(), 0},
      {"101", box->DecrementButton(), 100},
      {"-1", box->IncrementButton(), 0},
      {"99999999999999999999", box->DecrementButton(), 100}};
  for (const auto& [typed, button, after] : steps) {
    box->SetValue(50);
    box->Editor()->setText(typed);
    button->click();
    EXPECT_EQ(box->Value(), after) << typed;
  }
  box->SetValue(100);
  box->IncrementButton()->click();
  EXPECT_EQ(box->Value(), 100);
  box->SetValue(0);
  box->DecrementButton()->click();
  EXPECT_EQ(box->Value(), 0);
  EXPECT_EQ(box->Editor()->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
  EXPECT_EQ(box->Editor()->cursor().shape(), Qt::IBeamCursor);
}

TEST_F(SettingsTest, OpenKeyBindLoadsRebuildsAndRemembersThePath) {
  Start();
  form2_->show();
  const std::string other = dir_.Native("other.txt");
  test::WriteBytes(other, "One,Alt,Left\r\nTwo,Alt,Right\r\n");
  answers_ = {other, dir_.Native("missing.txt"), "", other};
  form1_->KeyBindMenu->trigger();
  EXPECT_EQ(form1_->KeyFile, U16(other));
  EXPECT_EQ(form1_->Buttons().size(), 2u);
  EXPECT_EQ(Entries(),
            (QStringList{"One\tAlt\tLeft", "Two\tAlt\tRight"}));  // the open list follows

  form1_->KeyBindMenu->trigger();  // a typed name of a file that does not exist
  EXPECT_EQ(boxes_, std::vector<std::string>{"ファイル " + dir_.Native("missing.txt") +
                                             " は開けません。 No such file or directory "});
  EXPECT_EQ(form1_->KeyFile, U16(other));
  EXPECT_EQ(form1_->Buttons().size(), 2u);

  form1_->KeyBindMenu->trigger();  // cancelled
  EXPECT_EQ(form1_->KeyFile, U16(other));
  EXPECT_EQ(asked_, (std::vector<std::string>{"open ", "open " + other,
                                              "open " + dir_.Native("missing.txt")}));
}

TEST_F(SettingsTest, SaveAsKeyBindWritesTheListButKeepsTheCurrentKeyFile) {
  Start();
  const std::string copy = dir_.Native("copy.txt");
  test::WriteBytes(copy, "replaced without a question");
  answers_ = {copy, ""};
  form1_->SaveAsKeyMenu->trigger();
  EXPECT_EQ(test::ReadBytes(copy), "Undo,Ctrl,Z\r\nCut,Ctrl,X\r\nCopy,Ctrl,C\r\nPast,Ctrl,V\r\n");
  EXPECT_EQ(form1_->KeyFile, U16(dir_.Native("KavoKey.txt")));
  form1_->SaveAsKeyMenu->trigger();
  EXPECT_EQ(asked_, (std::vector<std::string>{"save ", "save " + copy}));
}

TEST_F(SettingsTest, ResizeModeMakesTheWholeBarTakePresses) {
  Start();
  form1_->show();
  QApplication::processEvents();
  ASSERT_FALSE(input_.shape.empty());  // normal mode: strip and buttons only
  form1_->ResizeMenuClick();
  QApplication::processEvents();
  EXPECT_TRUE(form1_->ResizeMenu->isChecked());
  EXPECT_TRUE(input_.shape.empty());
  form1_->ResizeMenuClick();
  QApplication::processEvents();
  EXPECT_FALSE(form1_->ResizeMenu->isChecked());
  EXPECT_FALSE(input_.shape.empty());
  EXPECT_EQ(form1_->geometry(), QRect(100, 100, 250, 130));
  EXPECT_EQ(form1_->Buttons().size(), 4u);
}

TEST_F(SettingsTest, TheSmallestBarResizesFromItsCornerThoughAButtonFillsIt) {
  Start();
  form1_->show();
  form1_->SetBounds(100, 100, TForm1::kMinWidth, TForm1::kMinHeight);
  form1_->ResizeMenuClick();
  const QPoint corner(TForm1::kMinWidth - 3, TForm1::kMinHeight - 3);
  EXPECT_EQ(form1_->childAt(corner), form1_->ResizeGrip);
  QTest::mousePress(form1_->ResizeGrip, Qt::LeftButton, {}, form1_->ResizeGrip->rect().center());
  EXPECT_EQ(QWidget::mouseGrabber(), form1_.get());  // resizing
  form1_->releaseMouse();
  form1_->ResizeMenuClick();
  EXPECT_FALSE(form1_->ResizeGrip->isVisible());
  EXPECT_NE(form1_->childAt(corner), form1_->ResizeGrip);
}

}  // namespace
}  // namespace kavo
