// The bar's window logic on the offscreen platform, against a recording input backend.

#include "ui/Unit1.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include "base/errors.h"
#include "platform/code_page.h"
#include "platform/fake/fake_input.h"
#include "test_support.h"
#include "ui/error_guard.h"
#include "ui/screen_geometry.h"

namespace kavo {
namespace {

using platform::KeyStroke;
using test::U16;

KeyStroke Down(int vk) {
  return {KeyStroke::Kind::VirtualKey, vk, false};
}
KeyStroke Up(int vk) {
  return {KeyStroke::Kind::VirtualKey, vk, true};
}

class Form1Test : public testing::Test {
 protected:
  void SetUp() override {
    SetErrorBoxSink([this](const QString& caption, const QString& text) {
      boxes_.push_back((caption + "|" + text).toStdString());
    });
  }
  void TearDown() override { SetErrorBoxSink(nullptr); }

  std::unique_ptr<TForm1> Start() {
    return std::make_unique<TForm1>(input_, U16(dir_.path() + "/"));
  }
  void Write(const char* name, std::string_view bytes) {
    test::WriteBytes(dir_.Native(name), bytes);
  }
  std::vector<QString> Captions(const TForm1& form) const {
    std::vector<QString> captions;
    for (const auto* b : form.Buttons()) captions.push_back(b->text());
    return captions;
  }

  platform::ScopedCodePage codePage_{1252};
  platform::FakeInputBackend input_;
  test::TempDir dir_;
  std::vector<std::string> boxes_;
};

TEST_F(Form1Test, StartsWithDefaultsWhenNoFilesExist) {
  auto form = Start();
  EXPECT_EQ(form->geometry(), QRect(100, 100, 250, 130));
  EXPECT_EQ(Captions(*form), (std::vector<QString>{"Undo", "Cut", "Copy", "Past"}));
  const auto buttons = form->Buttons();
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(buttons[i]->Tag, i);
    EXPECT_EQ(buttons[i]->size(), QSize(50, 25));
    EXPECT_EQ(buttons[i]->EffectiveRadii(), QSizeF(5, 5));
  }
  form->show();
  QApplication::processEvents();
  EXPECT_EQ(buttons[3]->pos(), QPoint(156, 0));
  EXPECT_EQ(form->ButtonArea->geometry(), QRect(0, 24, 250, 106));
  EXPECT_NE(form->ButtonArea->graphicsEffect(), nullptr);  // the drop shadow
  EXPECT_EQ(form->Bno, 4);
  EXPECT_EQ(form->KeyFile, U16(dir_.Native("KavoKey.txt")));
  EXPECT_EQ(form->SettingMenu->text(), "Settings");
  EXPECT_EQ(form->CloseMenu->text(), "Close");
  EXPECT_TRUE(form->Timer1->isActive());
}

TEST_F(Form1Test, LooksComeFromTheSettingsFile) {
  Write("Kavo.ini",
        "[Form]\r\nTop=10\r\nLeft=20\r\nWidth=300\r\nHeight=200\r\n"
        "[Icon]\r\nWidth=60\r\nHeight=30\r\nCorner=20\r\nHGap=5\r\nVGap=7\r\nShadow=0\r\n");
  Write("KavoKey.txt", "A,Ctrl,A\r\nB,Ctrl,B\r\nC,Ctrl,C\r\nD,Ctrl,D\r\nE,Ctrl,E\r\n");
  auto form = Start();
  form->show();
  QApplication::processEvents();
  EXPECT_EQ(form->geometry(), QRect(20, 10, 300, 200));
  const auto buttons = form->Buttons();
  ASSERT_EQ(buttons.size(), 5u);
  EXPECT_EQ(buttons[4]->pos(), QPoint(0, 37));  // 4 x 60 + 3 x 5 = 255 fit; the fifth wraps
  EXPECT_EQ(buttons[0]->EffectiveRadii(), QSizeF(20, 15));
  EXPECT_EQ(form->ButtonArea->graphicsEffect(), nullptr);
}

#ifndef _WIN32  // there the system's locale is not the environment's
TEST_F(Form1Test, JapaneseLocaleGetsJapaneseMenuCaptions) {
  qputenv("LC_ALL", "ja_JP.UTF-8");
  auto form = Start();
  qputenv("LC_ALL", "C.UTF-8");
  const QString expected[] = {
      "設定", "サイズ変更", "アプリ再取得", "KeyBind読込み", "KeyBind別名保存", "最小化", "終了"};
  const QAction* items[] = {form->SettingMenu, form->ResizeMenu,    form->ReAcquire,
                            form->KeyBindMenu, form->SaveAsKeyMenu, form->MinimizedMenu,
                            form->CloseMenu};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(items[i]->text(), expected[i]);
  EXPECT_TRUE(form->MenuItem1->isSeparator());
}
#endif

TEST_F(Form1Test, BrokenFilesStopStartUp) {
  Write("KavoKey.txt", "\xEF\xBB\xBFUndo,Ctrl,Z\r\n\xC0\r\n");
  EXPECT_THROW(Start(), EEncodingError);
  std::filesystem::remove(dir_.Native("KavoKey.txt"));
  Write("Kavo.ini",
        "\xFF\xFE"
        "A");
  EXPECT_THROW(Start(), EEncodingError);
}

TEST_F(Form1Test, EmptyLineGetsAButtonThatSendsNothingAndKeepsLaterIndexes) {
  Write("KavoKey.txt", "Undo,Ctrl,Z\r\n\r\nCopy,Ctrl,C\r\n");
  auto form = Start();
  EXPECT_EQ(Captions(*form), (std::vector<QString>{"Undo", "", "Copy"}));
  form->Buttons()[1]->click();
  form->Buttons()[2]->click();
  ASSERT_EQ(input_.sent.size(), 2u);
  EXPECT_TRUE(input_.sent[0].empty());
  EXPECT_EQ(input_.sent[1], (std::vector<KeyStroke>{Down(17), Down('C'), Up('C'), Up(17)}));
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(Form1Test, ClickRaisesTheTargetThenSendsTheBinding) {
  Write("KavoKey.txt",
        "Redo,Ctrl,Shift,Z\r\nPick,Shift,Ctrl,Z\r\nHelp,F1\r\nBad,Fx\r\nMinus,-\r\n");
  auto form = Start();
  form->LhWindow = 42;
  form->Timer1->stop();
  const auto buttons = form->Buttons();
  for (auto* b : buttons) b->click();
  EXPECT_EQ(input_.raised, (std::vector<platform::WindowHandle>(5, 42)));
  ASSERT_EQ(input_.sent.size(), 4u);  // "Fx" fails before sending
  EXPECT_EQ(input_.sent[0],
            (std::vector<KeyStroke>{Down(17), Down(16), Down('Z'), Up('Z'), Up(16), Up(17)}));
  EXPECT_TRUE(input_.sent[1].empty());
  EXPECT_EQ(input_.sent[2], (std::vector<KeyStroke>{Down(112), Up(112)}));
  EXPECT_EQ(input_.sent[3], (std::vector<KeyStroke>{{KeyStroke::Kind::Character, '-', false},
                                                    {KeyStroke::Kind::Character, '-', true}}));
  EXPECT_EQ(boxes_, std::vector<std::string>{"エラー|'x' は整数ではありません."});
}

TEST_F(Form1Test, ButtonsSendTheLineTheyWereBuiltFromUntilTheBarIsRebuilt) {
  auto form = Start();
  form->LhWindow = 5;
  form->Timer1->stop();
  form->KeyMenu->Delete(0);  // as the settings window would, before Apply
  form->KeyMenu->Move(0, 2);
  form->Buttons()[2]->click();  // Copy still copies
  form->Buttons()[3]->click();  // and the last button is no index error
  ASSERT_EQ(input_.sent.size(), 2u);
  EXPECT_EQ(input_.sent[0], (std::vector<KeyStroke>{Down(17), Down('C'), Up('C'), Up(17)}));
  EXPECT_EQ(input_.sent[1], (std::vector<KeyStroke>{Down(17), Down('V'), Up('V'), Up(17)}));
  EXPECT_TRUE(boxes_.empty());
  form->RefreshBtn();
  EXPECT_EQ(Captions(*form), (std::vector<QString>{"Copy", "Past", "Cut"}));
}

TEST_F(Form1Test, TrackerPassesOverTheStartWindowAndTakesTheNextTitledOne) {
  input_.foreground = 7;  // the terminal the bar was started from
  input_.titles = {{7, u"terminal"}, {8, u""}, {9, u"Editor — 日本"}, {10, u"own"}};
  input_.processes = {{10, QCoreApplication::applicationPid()}};
  auto form = Start();

  form->Timer1Timer();
  EXPECT_EQ(form->LhWindow, 0u);  // still the start window
  input_.foreground = 10;
  form->Timer1Timer();
  input_.foreground = 8;
  form->Timer1Timer();
  EXPECT_EQ(form->LhWindow, 0u);  // own windows and untitled ones are never taken
  EXPECT_TRUE(form->Timer1->isActive());

  input_.foreground = 9;
  form->Timer1Timer();
  EXPECT_EQ(form->LhWindow, 9u);
  EXPECT_EQ(form->Label1->text(), QString::fromUtf8("Editor — 日本"));
  EXPECT_EQ(form->Label1->toolTip(), form->Label1->text());
  EXPECT_FALSE(form->Timer1->isActive());

  form->ReAcquireClick();
  EXPECT_TRUE(form->Timer1->isActive());
  form->Timer1Timer();  // the target itself is in front: passed over again
  EXPECT_TRUE(form->Timer1->isActive());
}

TEST_F(Form1Test, ClickWhileLookingTakesTheWindowInFront) {
  input_.foreground = 7;
  input_.titles = {{7, u"terminal"}};
  auto form = Start();
  form->Buttons()[0]->click();
  EXPECT_EQ(form->LhWindow, 7u);
  EXPECT_EQ(input_.raised, std::vector<platform::WindowHandle>{7});
  EXPECT_FALSE(form->Timer1->isActive());
}

TEST_F(Form1Test, SettingsThatWouldLoseTheBarAreBroughtIntoRange) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  Write("Kavo.ini",
        "[Form]\r\nTop=-5000\r\nLeft=90000\r\nWidth=3\r\nHeight=-8\r\n"
        "[Icon]\r\nWidth=100000\r\nHeight=30\r\n");
  auto form = Start();
  EXPECT_EQ(form->size(), QSize(TForm1::kMinWidth, TForm1::kMinHeight));
  EXPECT_TRUE(screen.contains(QRect(form->pos(), QSize(TForm1::kMinWidth, 20))));
  EXPECT_EQ(form->Buttons()[0]->width(), TForm1::kMaxButtonSide);
  EXPECT_EQ(form->Btw, 100000);  // the setting itself is kept

  Write("Kavo.ini", "[Form]\r\nTop=-10\r\nLeft=30\r\n");
  auto partly = Start();
  EXPECT_EQ(partly->pos(), QPoint(30, -10));  // part of the strip shows: left as it is
}

TEST_F(Form1Test, CloseWritesTheSettingsAndReportsAFileThatCannotBeWritten) {
  {
    auto form = Start();
    form->move(-20, 50);
    form->close();
  }
  EXPECT_EQ(test::ReadBytes(dir_.Native("Kavo.ini")),
            "[Form]\r\nTop=50\r\nLeft=0\r\nHeight=130\r\nWidth=250\r\n\r\n[Icon]\r\nWidth=50\r\n"
            "Height=25\r\nCorner=5\r\nHGap=2\r\nVGap=2\r\nShadow=1\r\n\r\n");
  EXPECT_TRUE(boxes_.empty());

  test::SetReadOnly(dir_.Native("Kavo.ini"));
  auto form = Start();
  form->close();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], "エラー|ファイル \"" + dir_.Native("Kavo.ini") + "\" を作成できません。" +
                           test::FailureText(test::Failure::Denied) + ".");
  EXPECT_EQ(form->KeyMenu, nullptr);
}

}  // namespace
}  // namespace kavo

namespace kavo {
namespace {

TEST(MenuPosition, OpensAtTheCornerAndStaysInsideItsWorkArea) {
  const QList<QRect> work = {QRect(0, 0, 1024, 740), QRect(1024, 0, 800, 600)};
  const QSize menu(150, 200);
  struct Case {
    QPoint corner;
    QPoint at;
  };
  const Case cases[] = {
      {{100, 100}, {100, 100}},
      {{100, 700}, {100, 540}},    // moved up to end at the work area's bottom
      {{950, 100}, {874, 100}},    // moved left to end at its right edge
      {{1000, 730}, {874, 540}},   // both
      {{1700, 500}, {1674, 400}},  // on the second screen, inside that one
      {{-50, 100}, {-50, 100}},    // the corner on no screen: left where it is
  };
  for (const Case& c : cases) EXPECT_EQ(MenuPosition(c.corner, menu, work), c.at);
}

}  // namespace
}  // namespace kavo
