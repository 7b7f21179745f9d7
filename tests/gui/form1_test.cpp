// The bar's window logic on the offscreen platform, against a recording desktop.

#include "ui/Unit1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <QApplication>
#include <QCursor>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QToolTip>

#include "bar_fixture.h"
#include "base/errors.h"
#include "platform/code_page.h"
#include "test_support.h"
#include "ui/error_guard.h"
#include "ui/screen_geometry.h"
#include "widgets/drop_shadow.h"

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

class Form1Test : public test::BarFixture {
 protected:
  std::unique_ptr<TForm1> Start() { return StartBar(); }
  std::vector<QString> Captions(const TForm1& form) const {
    std::vector<QString> captions;
    for (const auto* b : form.Buttons()) captions.push_back(b->text());
    return captions;
  }
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
  EXPECT_EQ(form->Bno(), 4);
  EXPECT_EQ(form->KeyFile, U16(dir_.Native("KavoKey.txt")));
  EXPECT_EQ(form->SettingMenu->text(), "Settings");
  EXPECT_EQ(form->CloseMenu->text(), "Close");
  EXPECT_TRUE(form->Timer1->isActive());
}

TEST_F(Form1Test, TheButtonsShadowIsMadeWhenTheyMoveNotAtEachPress) {
  auto form = Start();
  form->show();
  QApplication::processEvents();
  const TShadowLayer* shadow = ButtonShadow(*form);
  ASSERT_NE(shadow, nullptr);
  const auto buttons = form->Buttons();
  const auto alphaAt = [&](QPoint at) {
    return qAlpha(shadow->Render(QRect(at, QSize(1, 1))).pixel(0, 0));
  };
  // Right of and below the buttons, within the shadow's reach; nothing far from them.
  EXPECT_GT(alphaAt(buttons[3]->geometry().bottomRight() + QPoint(3, 3)), 0);
  EXPECT_EQ(alphaAt(QPoint(240, 90)), 0);
  const auto made = shadow->Casts();
  QTest::mouseClick(buttons[0], Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_EQ(shadow->Casts(), made);  // a press repaints the button alone
  form->resize(120, 130);            // the buttons flow into two rows: the shadow follows
  QApplication::processEvents();
  EXPECT_GT(shadow->Casts(), made);
  EXPECT_GT(alphaAt(form->Buttons()[3]->geometry().bottomRight() + QPoint(3, 3)), 0);
}

// Each button's shadow, added to its neighbours', is the toolkit's drop shadow of them all.
TEST_F(Form1Test, TheButtonsShadowIsTheDropShadowOfThemAll) {
  auto form = Start();
  form->resize(120, 130);  // two rows, the shadows meeting in the gaps
  form->show();
  QApplication::processEvents();
  const TShadowLayer* shadow = ButtonShadow(*form);
  ASSERT_NE(shadow, nullptr);
  QWidget* area = form->ButtonArea;
  QImage casting(area->size(), QImage::Format_ARGB32_Premultiplied);
  casting.fill(Qt::transparent);
  for (QWidget* button : form->Buttons()) {
    button->render(&casting, button->mapTo(area, QPoint()), QRegion(), QWidget::DrawChildren);
  }
  QGraphicsScene scene;
  scene.addPixmap(QPixmap::fromImage(casting))->setGraphicsEffect(NewDropShadow(nullptr));
  QImage whole(area->size(), QImage::Format_ARGB32_Premultiplied);
  whole.fill(Qt::transparent);
  {
    QPainter painter(&whole);
    scene.render(&painter, QRectF(whole.rect()), QRectF(whole.rect()));
  }
  const QImage summed = shadow->Render(area->rect());
  // Compared where no button covers it. The toolkit halves an image before a blur this wide, so
  // each shadow falls on a grid of its own: a few pixels differ by a little, none by much.
  int worst = 0;
  long total = 0, count = 0;
  for (int y = 0; y < whole.height(); ++y) {
    for (int x = 0; x < whole.width(); ++x) {
      bool covered = false;
      for (QWidget* b : form->Buttons()) {
        covered |= QRect(b->mapTo(area, QPoint()), b->size()).contains(x, y);
      }
      if (covered) continue;
      const int d = std::abs(qAlpha(whole.pixel(x, y)) - qAlpha(summed.pixel(x, y)));
      worst = std::max(worst, d);
      total += d;
      ++count;
    }
  }
  EXPECT_LE(worst, 16);
  EXPECT_LT(static_cast<double>(total) / static_cast<double>(count), 1.0);
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
  EXPECT_EQ(ButtonShadow(*form), nullptr);
}

#ifndef _WIN32  // there the system's locale is not the environment's
TEST_F(Form1Test, JapaneseLocaleGetsJapaneseMenuCaptions) {
  qputenv("LC_ALL", "ja_JP.UTF-8");
  auto form = Start();
  qputenv("LC_ALL", "C.UTF-8");
  const QString expected[] = {"設定",          "サイズ変更",      "アプリ再取得",        "追従",
                              "KeyBind読込み", "KeyBind別名保存", "KeyBindアプリ別保存", "最小化",
                              "終了"};
  const QAction* items[] = {form->SettingMenu,    form->ResizeMenu,    form->ReAcquire,
                            form->FollowMenu,     form->KeyBindMenu,   form->SaveAsKeyMenu,
                            form->SaveForAppMenu, form->MinimizedMenu, form->CloseMenu};
  for (std::size_t i = 0; i < std::size(items); ++i) EXPECT_EQ(items[i]->text(), expected[i]);
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
#ifndef _WIN32
  // A FIFO nobody writes to is refused at once rather than waited on.
  std::filesystem::remove(dir_.Native("Kavo.ini"));
  for (const char* name : {"Kavo.ini", "KavoKey.txt"}) {
    ASSERT_EQ(::mkfifo(dir_.Native(name).c_str(), 0600), 0);
    EXPECT_THROW(Start(), EFOpenError) << name;
    std::filesystem::remove(dir_.Native(name));
  }
#endif
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
  // Once more after the box for "Fx": the target has the focus again.
  EXPECT_EQ(input_.raised, (std::vector<platform::WindowHandle>(6, 42)));
  ASSERT_EQ(input_.sent.size(), 4u);  // "Fx" fails before sending
  EXPECT_EQ(input_.sent[0],
            (std::vector<KeyStroke>{Down(17), Down(16), Down('Z'), Up('Z'), Up(16), Up(17)}));
  EXPECT_TRUE(input_.sent[1].empty());
  EXPECT_EQ(input_.sent[2], (std::vector<KeyStroke>{Down(112), Up(112)}));
  EXPECT_EQ(input_.sent[3], (std::vector<KeyStroke>{{KeyStroke::Kind::Character, '-', false},
                                                    {KeyStroke::Kind::Character, '-', true}}));
  EXPECT_EQ(boxes_, std::vector<std::string>{"エラー|'x' は整数ではありません."});
}

// Keys held for a pen: a latch until the next stroke outside the bar ends, a toggle until its
// second click; the button looks pressed meanwhile, and whatever happens, the keys come up.
TEST_F(Form1Test, HeldKeysComeUpAfterTheStrokeTheSecondClickOrWhateverEndsTheHold) {
  Write("KavoKey.txt", "Pan,Space,,,latch\r\nPick,Ctrl,Alt,,toggle\r\nUndo,Ctrl,Z\r\n");
  auto form = Start();
  form->Timer1->stop();
  form->LhWindow = 42;
  const KeyStroke space{KeyStroke::Kind::VirtualKey, 0x20, false};
  const std::vector<KeyStroke> ctrlAlt = {Down(17), Down(18)};
  const std::vector<KeyStroke> released = {Up(18), Up(17)};
  const std::vector<KeyStroke> spaceUp = {{KeyStroke::Kind::VirtualKey, 0x20, true}};
  auto held = [&] {
    std::vector<bool> h;
    for (const auto* b : form->Buttons()) h.push_back(b->Held());
    return h;
  };

  // A latch: a press on the bar itself is no stroke; one on the canvas is, once released.
  form->Buttons()[0]->click();
  EXPECT_EQ(input_.sent.back(), std::vector<KeyStroke>{space});
  EXPECT_TRUE(input_.watchingPointer);
  EXPECT_EQ(held(), (std::vector<bool>{true, false, false}));
  input_.listener->PointerPressed(form->winId());
  input_.listener->PointerReleased();
  EXPECT_EQ(held()[0], true);
  input_.listener->PointerPressed(42);
  EXPECT_EQ(held()[0], true);  // down through the stroke
  input_.listener->PointerReleased();
  EXPECT_EQ(input_.sent.back(), spaceUp);
  EXPECT_EQ(held(), (std::vector<bool>{false, false, false}));
  EXPECT_FALSE(input_.watchingPointer);

  // A toggle, with a tap between its clicks: the tap goes out, the hold stays.
  form->Buttons()[1]->click();
  EXPECT_EQ(input_.sent.back(), ctrlAlt);
  form->Buttons()[2]->click();
  EXPECT_EQ(input_.sent.back(), (std::vector<KeyStroke>{Down(17), Down('Z'), Up('Z'), Up(17)}));
  EXPECT_EQ(held()[1], true);
  form->Buttons()[1]->click();
  EXPECT_EQ(input_.sent.back(), released);
  EXPECT_EQ(held()[1], false);

  // Another held binding, a new target, ReAcquire, a rebuild, minimising, closing: each lets go.
  const std::pair<const char*, std::function<void()>> enders[] = {
      {"another hold", [&] { form->Buttons()[0]->click(); }},
      {"target closed", [&] { input_.listener->WindowDestroyed(42); }},
      {"ReAcquire", [&] { form->ReAcquireClick(); }},
      {"rebuild", [&] { form->RefreshBtn(); }},
      {"minimised", [&] { form->MinimizedMenuClick(); }},
      {"closed", [&] { form->close(); }},
  };
  for (const auto& [name, end] : enders) {
    form->LhWindow = 42;
    form->Buttons()[1]->click();
    ASSERT_EQ(input_.sent.back(), ctrlAlt) << name;
    end();
    const auto it = std::find(input_.sent.rbegin(), input_.sent.rend(), released);
    EXPECT_LE(it - input_.sent.rbegin(), 1) << name << ": the keys did not come up";
    EXPECT_EQ(form->Buttons()[1]->Held(), false) << name;
    if (form->isMinimized()) form->showNormal();
  }
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

// A key file far longer than the bar can show: only buttons whose places can be seen are built,
// a larger bar builds the rest of what it uncovers at once, and each button still belongs to
// its own line. Lines changed before Apply are not built into the old bar.
TEST_F(Form1Test, ButtonsAreBuiltAsTheirPlacesComeIntoView) {
  std::string keys;
  for (int i = 0; i < 5000; ++i) {
    keys += 'K';
    keys += std::to_string(i);
    keys += ",Ctrl,Z\r\n";
  }
  keys += "Last,Ctrl,C\r\n";
  Write("KavoKey.txt", keys);
  auto form = Start();
  form->LhWindow = 7;
  form->Timer1->stop();
  form->show();
  QApplication::processEvents();
  const auto seen = [&] {
    int n = 0;
    for (const auto* b : form->Buttons()) n += b->isVisible();
    return n;
  };
  const std::size_t built = form->Buttons().size();
  EXPECT_LT(built, 500u);
  EXPECT_GT(seen(), 0);

  form->resize(2000, 2000);  // 38 buttons of 50 + 2 to a row, 74 rows of 25 + 2 below the strip
  EXPECT_EQ(seen(), 38 * 74);
  const auto buttons = form->Buttons();
  ASSERT_GE(buttons.size(), 38u * 74u);
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    ASSERT_EQ(buttons[i]->Tag, static_cast<int>(i));
    ASSERT_EQ(buttons[i]->text(), QString("K%1").arg(i));
  }

  form->KeyMenu->Move(5000, 0);  // as the settings window would, before Apply
  form->resize(4000, 4000);
  EXPECT_EQ(form->Buttons().size(), buttons.size());
  form->RefreshBtn();
  EXPECT_EQ(form->Buttons().size(), 5001u);
  EXPECT_EQ(form->Buttons()[0]->text(), "Last");
  form->Buttons()[5000]->click();
  form->Buttons()[0]->click();
  ASSERT_EQ(input_.sent.size(), 2u);
  EXPECT_EQ(input_.sent[0], (std::vector<KeyStroke>{Down(17), Down('Z'), Up('Z'), Up(17)}));
  EXPECT_EQ(input_.sent[1], (std::vector<KeyStroke>{Down(17), Down('C'), Up('C'), Up(17)}));
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

// Keys the desktop refuses are never lost silently: the strip says why, tap and held alike,
// until keys go again or another target comes; a held button whose keys were refused holds none.
TEST_F(Form1Test, KeysTheDesktopRefusesSayWhyInTheStrip) {
  Write("KavoKey.txt", "Undo,Ctrl,Z\r\nPan,Space,,,latch\r\n");
  input_.foreground = 7;
  input_.titles = {{7, u"Editor"}, {8, u"Paint"}};
  auto form = Start();
  input_.refusal = "No keys.";
  for (TCornerButton* button : form->Buttons()) {
    button->click();
    EXPECT_EQ(form->Label1->text(), "No keys.");
    EXPECT_TRUE(form->Label1->toolTip().startsWith("Editor\n"))
        << form->Label1->toolTip().toStdString();
    EXPECT_FALSE(form->Buttons()[1]->Held());
  }
  EXPECT_TRUE(input_.sent.empty());

  input_.refusal.clear();
  form->Buttons()[0]->click();
  EXPECT_EQ(form->Label1->text(), "Editor");
  input_.refusal = "refused";
  form->Buttons()[0]->click();
  form->ReAcquireClick();
  input_.foreground = 8;
  form->Timer1Timer();
  EXPECT_EQ(form->Label1->text(), "Paint");
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
  EXPECT_EQ(form->Look().Btw, 100000);  // the setting itself is kept

  Write("Kavo.ini", "[Form]\r\nTop=-10\r\nLeft=30\r\n");
  auto partly = Start();
  EXPECT_EQ(partly->pos(), QPoint(30, -10));  // part of the strip shows: left as it is
}

// Near the integer limits the strip's rectangle would wrap round; what is written back at the
// close is where the bar really stood.
TEST_F(Form1Test, PlacesNearTheIntegerLimitsComeOnScreenAndAreWrittenBackAsShown) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const char* places[] = {"Top=2147483629\r\nLeft=2147483399", "Top=2147483640\r\nLeft=2147483500",
                          "Top=-2147483648\r\nLeft=-2147483648", "Top=0\r\nLeft=2147483647"};
  for (const char* place : places) {
    Write("Kavo.ini", std::string("[Form]\r\n") + place + "\r\n");
    QPoint shown;
    {
      auto form = Start();
      shown = form->pos();
      EXPECT_TRUE(screen.contains(QRect(shown, QSize(form->width(), 20)))) << place;
      form->close();
    }
    const std::string saved = test::ReadBytes(dir_.Native("Kavo.ini"));
    EXPECT_NE(saved.find("Top=" + std::to_string(shown.y()) +
                         "\r\nLeft=" + std::to_string(shown.x()) + "\r\n"),
              std::string::npos)
        << place << ": " << saved;
  }
}

TEST_F(Form1Test, CloseWritesTheSettingsAndReportsAFileThatCannotBeWritten) {
  {
    auto form = Start();
    form->show();
    form->move(-20, 50);  // by the window manager: the user's place
    QTest::qWait(10);
    form->close();
  }
  EXPECT_EQ(test::ReadBytes(dir_.Native("Kavo.ini")),
            "[Form]\r\nTop=50\r\nLeft=0\r\nHeight=130\r\nWidth=250\r\n\r\n[Icon]\r\nWidth=50\r\n"
            "Height=25\r\nCorner=5\r\nHGap=2\r\nVGap=2\r\nShadow=1\r\n\r\n[Target]\r\n"
            "Follow=0\r\n\r\n");
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

class Form1DesktopTest : public Form1Test {};

TEST_F(Form1DesktopTest, AClosedTargetClearsTheStripAndTheBarLooksAgain) {
  input_.foreground = 7;
  input_.titles = {{7, u"terminal"}, {9, u"Editor"}};
  auto form = Start();
  ASSERT_NE(input_.listener, nullptr);
  EXPECT_TRUE(input_.watchingActivity.front && input_.watchingActivity.presses);
  input_.foreground = 9;
  input_.listener->ActiveWindowChanged();  // seen at once, without waiting for a tick
  ASSERT_EQ(form->LhWindow, 9u);
  EXPECT_EQ(form->Label1->toolTip(), "Editor");
  EXPECT_EQ(input_.watched, 9u);
  EXPECT_FALSE(input_.watchingActivity.front || input_.watchingActivity.presses);  // idle

  input_.listener->WindowDestroyed(5);  // some other window: nothing changes
  EXPECT_EQ(form->LhWindow, 9u);
  input_.foreground = 0;
  input_.listener->WindowDestroyed(9);
  EXPECT_EQ(form->LhWindow, 0u);
  EXPECT_EQ(form->Label1->text(), "");
  EXPECT_EQ(form->Label1->toolTip(), "");
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_TRUE(input_.watchingActivity.front && input_.watchingActivity.presses);

  input_.foreground = 7;
  input_.listener->PointerPressed(7);  // the user clicks into the window in front
  EXPECT_EQ(form->LhWindow, 7u);
}

// Following, each program's window that comes forward is the target in turn, with its own set;
// the bar's own windows never are, and a click goes where the user worked last.
TEST_F(Form1DesktopTest, FollowingTakesEachWindowThatComesForwardAndSurvivesARestart) {
  Write("KavoKey.paint.txt", "P,Ctrl,P\r\n");
  input_.titles = {{7, u"terminal"}, {2, u"Editor"}, {3, u"Paint"}, {9, u"Settings"}};
  input_.programs[3] = u"Paint";
  input_.processes[9] = QCoreApplication::applicationPid();
  input_.foreground = 7;
  auto form = Start();
  EXPECT_FALSE(form->FollowMenu->isChecked());  // off unless chosen
  const auto front = [&](platform::WindowHandle window) {
    input_.foreground = window;
    input_.listener->ActiveWindowChanged();
    QTest::qWait(10);  // the set follows on the next turn of the event loop
  };
  front(3);
  input_.foreground = 2;  // while not following
  form->FollowMenu->trigger();
  ASSERT_TRUE(form->FollowMenu->isChecked());
  ASSERT_EQ(form->LhWindow, 2u);  // the window in front as Follow is chosen
  // Watching on without polling, and without the presses that only looking needs.
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_TRUE(input_.watchingActivity.front);
  EXPECT_FALSE(input_.watchingActivity.presses);
  front(3);
  EXPECT_EQ(form->LhWindow, 3u);
  EXPECT_EQ(form->Label1->text(), "Paint");
  EXPECT_EQ(form->Buttons()[0]->text(), "P");
  front(9);  // the settings window
  front(0);
  EXPECT_EQ(form->LhWindow, 3u);
  EXPECT_EQ(input_.watched, 3u);

  // The editor came forward; the bar clicked before the news of it arrived.
  input_.foreground = 2;
  QTest::mouseClick(form->Buttons()[0], Qt::LeftButton);
  EXPECT_EQ(form->LhWindow, 2u);
  EXPECT_EQ(input_.raised.back(), 2u);
  ASSERT_FALSE(input_.sent.empty());

  // The target closes: the window that comes forward in its place is the next.
  input_.foreground = 7;
  input_.listener->WindowDestroyed(2);
  EXPECT_EQ(form->LhWindow, 7u);
  EXPECT_FALSE(form->Timer1->isActive());

  form->close();
  form.reset();
  EXPECT_NE(test::ReadBytes(dir_.Native("Kavo.ini")).find("\r\n[Target]\r\nFollow=1\r\n"),
            std::string::npos);
  form = Start();
  EXPECT_TRUE(form->FollowMenu->isChecked());
  form->FollowMenu->trigger();  // off: the target stays until ReAcquire
  front(2);
  const platform::WindowHandle kept = form->LhWindow;
  front(3);
  EXPECT_EQ(form->LhWindow, kept);
  EXPECT_FALSE(input_.watchingActivity.front);
}

TEST_F(Form1DesktopTest, TheStripFollowsTheTargetsTitle) {
  input_.foreground = 9;
  input_.titles = {{9, u"notes.txt - Editor"}, {5, u"Other"}};
  auto form = Start();
  input_.listener->PointerPressed(9);
  ASSERT_EQ(form->LhWindow, 9u);
  input_.titles[9] = u"*notes.txt - Editor";
  input_.titles[5] = u"Other, renamed";
  input_.listener->WindowTitleChanged(5);  // not the target: nothing changes
  EXPECT_EQ(form->Label1->toolTip(), "notes.txt - Editor");
  input_.listener->WindowTitleChanged(9);
  EXPECT_TRUE(form->Label1->text().startsWith("*notes"));
  EXPECT_EQ(form->Label1->toolTip(), "*notes.txt - Editor");
}

TEST_F(Form1DesktopTest, ALongTitleEndsInAnEllipsisAndTheTooltipHasItWhole) {
  const std::u16string title(120, u'W');
  // Far from the ids the offscreen platform gives the bar's own windows.
  constexpr platform::WindowHandle kEditor = 900009;
  input_.foreground = kEditor;
  input_.titles = {{kEditor, title}};
  auto form = Start();
  form->show();
  input_.listener->PointerPressed(kEditor);
  ASSERT_EQ(form->LhWindow, kEditor);
  EXPECT_TRUE(form->Label1->text().endsWith(QChar(0x2026)));
  EXPECT_LE(form->Label1->fontMetrics().horizontalAdvance(form->Label1->text()),
            form->Label1->width());
  EXPECT_EQ(form->Label1->toolTip(), QString::fromStdU16String(title));
  form->resize(2000, 130);  // room for all of it
  EXPECT_EQ(form->Label1->text(), QString::fromStdU16String(title));
  EXPECT_TRUE(form->testAttribute(Qt::WA_AlwaysShowToolTips));
}

TEST_F(Form1Test, AButtonsTooltipSaysWhatItSendsAndACutCaptionWhole) {
  Write("KavoKey.txt",
        "Undo,Ctrl,Z\r\nPan,Space,,,latch\r\nA very long caption,Ctrl,S\r\nNote\r\n");
  auto form = Start();
  form->show();
  const auto buttons = form->Buttons();
  ASSERT_EQ(buttons.size(), 4u);
  const std::pair<int, const char*> tips[] = {
      {0, "Ctrl+Z"}, {1, "Space (held)"}, {2, "A very long caption\nCtrl+S"}, {3, ""}};
  for (const auto& [index, tip] : tips) {
    QToolTip::hideText();
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), buttons[index]->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(buttons[index], &help);
    if (*tip) {
      EXPECT_EQ(QToolTip::text(), tip) << index;
    } else {
      EXPECT_FALSE(help.isAccepted()) << index;  // nothing to say: no tooltip
    }
  }
  // The tooltip's window goes too: on the offscreen platform its id could be one the fake
  // desktop gives another test's windows.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->inherits("QTipLabel")) delete w;
  }
}

TEST_F(Form1DesktopTest, WithoutACompositorTheTitlesTooltipShowsAnywhereOverItsText) {
  input_.compositor = false;
  constexpr platform::WindowHandle kEditor = 900009;
  input_.foreground = kEditor;
  input_.titles = {{kEditor, u"Editor"}};
  auto form = Start();
  form->show();
  QApplication::processEvents();
  input_.listener->PointerPressed(kEditor);
  ASSERT_EQ(form->LhWindow, kEditor);
  EXPECT_TRUE(input_.watchingMotion);
  const auto moveTo = [&](QPoint global) {
    QCursor::setPos(global);
    input_.watchingMotion = false;
    input_.listener->PointerMoved();
  };
  // Between two letters, where the cut-out window lets the pointer through.
  const QLabel* title = form->Label1;
  moveTo(title->mapToGlobal(QPoint(title->fontMetrics().horizontalAdvance("Ed"), 10)));
  EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 10000));
  EXPECT_EQ(QToolTip::text(), "Editor");
  EXPECT_TRUE(QTest::qWaitFor([&] { return input_.watchingMotion; }, 10000));  // the next move
  moveTo(form->mapToGlobal(QPoint(200, 100)));                                 // away from the text
  EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 10000));
  // With a compositor the window takes the pointer over the whole strip: the toolkit's own
  // tooltip does, and the desktop need not report moves.
  input_.shellListener->CompositorChanged(true);
  moveTo(title->mapToGlobal(QPoint(2, 10)));
  QTest::qWait(200);
  EXPECT_FALSE(input_.watchingMotion);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->inherits("QTipLabel")) delete w;
  }
}

TEST_F(Form1DesktopTest, WithoutACompositorTheWindowIsCutToWhatItDraws) {
  input_.compositor = false;
  auto form = Start();
  form->show();
  QApplication::processEvents();
  EXPECT_NE(input_.onAllDesktops, 0u);
  ASSERT_FALSE(input_.visibleShape.empty());
  QRegion drawn;
  for (const auto& r : input_.visibleShape) drawn += QRect(r.x, r.y, r.width, r.height);
  EXPECT_TRUE(drawn.contains(QPoint(10, 10)));     // the blue square
  EXPECT_TRUE(drawn.contains(QPoint(240, 10)));    // the green square
  EXPECT_TRUE(drawn.contains(QPoint(25, 36)));     // the first button
  EXPECT_FALSE(drawn.contains(QPoint(200, 100)));  // the empty area
  EXPECT_FALSE(drawn.contains(QPoint(100, 10)));   // the strip between the squares, no title
  EXPECT_FALSE(drawn.contains(QPoint(51, 50)));    // the first button's shadow: left out
  EXPECT_EQ(form->Label1->font().styleStrategy(), QFont::NoAntialias);  // whole letters

  input_.shellListener->CompositorChanged(true);
  QApplication::processEvents();
  EXPECT_TRUE(input_.visibleShape.empty());  // blended: the whole window shows
  EXPECT_EQ(form->Label1->font().styleStrategy(), QFont::PreferDefault);
  input_.shellListener->CompositorChanged(false);
  form->ResizeMenuClick();
  QApplication::processEvents();
  EXPECT_TRUE(input_.visibleShape.empty());                               // resize mode is opaque
  EXPECT_EQ(form->Label1->font().styleStrategy(), QFont::PreferDefault);  // its edges show
  // No shadow under the letters: the title is no part of the strip that casts one.
  EXPECT_EQ(form->Label1->graphicsEffect(), nullptr);
  EXPECT_EQ(form->Label1->parentWidget(), form.get());
}

TEST_F(Form1DesktopTest, PressesOfOtherButtonsOnABarButtonNeitherMoveTheBarNorClick) {
  auto form = Start();
  form->show();
  QApplication::processEvents();
  struct Case {
    const char* name;
    QWidget* target;
    Qt::MouseButton button;
    bool drags;
  };
  const Case cases[] = {
      {"right on a button", form->Buttons()[0], Qt::RightButton, false},
      {"middle on a button", form->Buttons()[1], Qt::MiddleButton, false},
      {"right on the green square", form->Rectangle1, Qt::RightButton, true},
      {"middle on the empty area", form->ButtonArea, Qt::MiddleButton, true},
  };
  for (const Case& c : cases) {
    QTest::mousePress(c.target, c.button, {}, QPoint(5, 5));
    EXPECT_EQ(QWidget::mouseGrabber() == form.get(), c.drags) << c.name;
    QTest::mouseRelease(QWidget::mouseGrabber() ? QWidget::mouseGrabber() : c.target, c.button);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << c.name;
  }
  EXPECT_TRUE(input_.sent.empty());  // and no button clicked
}

TEST_F(Form1DesktopTest, TheSmallestBarKeepsAnAreaWhereResizingCanStart) {
  Write("Kavo.ini", "[Form]\r\nWidth=1\r\nHeight=1\r\n");
  auto form = Start();
  EXPECT_EQ(form->size(), QSize(TForm1::kMinWidth, TForm1::kMinHeight));
  form->show();
  QApplication::processEvents();
  EXPECT_GE(form->ButtonArea->height(), 20);
}

}  // namespace
}  // namespace kavo
