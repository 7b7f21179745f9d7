// The pieces of the bar that need no screen: the target tracker, the screen arithmetic and the
// shape of a see-through window.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>
#include <QPainter>
#include <QTranslator>

#include "platform/fake/fake_desktop.h"
#include "ui/alpha_shape.h"
#include "ui/bar_geometry.h"
#include "ui/bar_layout.h"
#include "ui/pointer_tracking.h"
#include "ui/screen_geometry.h"
#include "ui/strip_text.h"
#include "ui/target_tracker.h"
#include "ui/title_look.h"
#include "ui/toolkit_translations.h"

namespace kavo {
namespace {

using namespace std::chrono_literals;
using Target = TargetTracker::Target;

// One step of a desktop's life as the tracker sees it.
struct Step {
  // ReAcquireFrom: looking starts again with the settings window (9) in front; window is the
  // target until then, which the bar itself may still be bringing forward.
  // Gone: the target was destroyed, and window is in front.
  enum Kind { Start, StartAfterClose, ReAcquireFrom, Front, Press, BarClick, Gone } kind;
  platform::WindowHandle window = 0;  // the window in front, or pressed
  std::chrono::milliseconds at{0};    // time since the sequence began
  platform::WindowHandle taken = 0;   // the target this step acquires, 0 for none
};

TEST(TargetTracker, FollowsTheUsersChoiceThroughForegroundSequences) {
  // 1: the terminal the bar started from; 2, 3: programs; 4: untitled (a task bar); 5: the
  // file manager's desktop, titled; 9: the bar's own settings window.
  const std::map<platform::WindowHandle, std::u16string> titles = {
      {1, u"terminal"}, {2, u"Editor"}, {3, u"Paint"}, {5, u"Desktop"}, {9, u"Settings"}};
  struct Case {
    const char* name;
    std::vector<Step> steps;
    bool following = false;
  };
  const Case cases[] = {
      {"the window in front at start is passed over for the next one",
       {{Step::Start, 1}, {Step::Front, 1}, {Step::Front, 2, 0ms, 2}}},
      {"untitled and own windows are never taken",
       {{Step::Start, 0},
        {Step::Front, 4},
        {Step::Front, 9},
        {Step::Front, 0},
        {Step::Front, 3, 0ms, 3}}},
      {"a click into the window already in front takes it",
       {{Step::Start, 1}, {Step::Front, 1}, {Step::Press, 1, 0ms, 1}}},
      {"a click into a window behind waits for it to come forward",
       {{Step::Start, 1}, {Step::Press, 2}, {Step::Front, 2, 0ms, 2}}},
      {"a click on the bar or the desktop takes nothing",
       {{Step::Start, 1}, {Step::Press, 9}, {Step::Press, 0}, {Step::Front, 1}}},
      {"a switch away and back, seen at once", {{Step::Start, 1}, {Step::Front, 2, 0ms, 2}}},
      {"a bar button clicked while looking takes the window in front",
       {{Step::Start, 1}, {Step::BarClick, 1, 0ms, 1}}},
      {"the old target that the bar brings back after ReAcquire is passed over",
       {{Step::ReAcquireFrom, 2}, {Step::Front, 2}, {Step::Front, 3, 0ms, 3}}},
      {"a click into the old target after ReAcquire takes it",
       {{Step::ReAcquireFrom, 2}, {Step::Front, 2}, {Step::Press, 2, 0ms, 2}}},
      {"back through the bar's own windows is not the user's choice",
       {{Step::Start, 1}, {Step::Front, 9}, {Step::Front, 1}, {Step::Front, 2, 0ms, 2}}},
      {"back through the task bar is",
       {{Step::Start, 1}, {Step::Front, 4}, {Step::Front, 1, 0ms, 1}}},
      {"after a close the window manager's choice is passed over",
       {{Step::StartAfterClose, 0},
        {Step::Front, 1, 100ms},
        {Step::Front, 1, 2000ms},
        {Step::Front, 2, 2100ms, 2}}},
      {"after a close the user's click still counts at once",
       {{Step::StartAfterClose, 0}, {Step::Front, 1, 100ms}, {Step::Press, 1, 200ms, 1}}},
      {"after a close a window that comes forward late is the user's",
       {{Step::StartAfterClose, 0}, {Step::Front, 0, 100ms}, {Step::Front, 3, 1500ms, 3}}},
      {"the desktop is never taken, not even clicked into",
       {{Step::Start, 1}, {Step::Front, 5}, {Step::Press, 5}, {Step::BarClick, 5}}},
      {"not following, the target stays until ReAcquire",
       {{Step::Start, 1}, {Step::Front, 2, 0ms, 2}, {Step::Front, 3}, {Step::BarClick, 3}}},
      {"following, each program's window that comes forward is taken in turn",
       {{Step::Start, 1},
        {Step::Front, 1},
        {Step::Front, 2, 0ms, 2},
        {Step::Front, 3, 0ms, 3},
        {Step::Front, 1, 0ms, 1},
        {Step::Front, 2, 0ms, 2}},
       true},
      {"following, the bar's own, untitled and desktop windows leave the target as it is",
       {{Step::Start, 1},
        {Step::Front, 2, 0ms, 2},
        {Step::Front, 9},
        {Step::Front, 4},
        {Step::Front, 5},
        {Step::Front, 0},
        {Step::Front, 2},
        {Step::Press, 2},
        {Step::Front, 3, 0ms, 3}},
       true},
      {"following, a bar click takes the window in front whose news is on its way",
       {{Step::Start, 1}, {Step::Front, 2, 0ms, 2}, {Step::BarClick, 3, 0ms, 3}},
       true},
      {"following, the window in front when the target is gone takes its place",
       {{Step::Start, 1}, {Step::Front, 2, 0ms, 2}, {Step::Gone, 3, 0ms, 3}},
       true},
      {"following, a target gone with nothing in front waits for the next",
       {{Step::Start, 1}, {Step::Front, 2, 0ms, 2}, {Step::Gone, 0}, {Step::Front, 3, 0ms, 3}},
       true},
      {"following, looking still starts by passing over the window in front",
       {{Step::Start, 1}, {Step::Front, 1}, {Step::ReAcquireFrom, 2}, {Step::Front, 2}},
       true},
  };
  for (const Case& c : cases) {
    platform::FakeDesktop input;
    input.titles = titles;
    input.desktopShell = {5};
    TargetTracker tracker(input, [](platform::WindowHandle w) { return w == 9; });
    tracker.SetFollowing(c.following);
    const auto t0 = TargetTracker::Clock::now();
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step& s = c.steps[i];
      std::optional<Target> taken;
      switch (s.kind) {
        case Step::Start:
          input.foreground = s.window;
          tracker.StartLooking();
          break;
        case Step::ReAcquireFrom:
          input.foreground = 9;
          tracker.StartLooking(s.window);
          break;
        case Step::StartAfterClose:
          input.foreground = s.window;
          tracker.StartLookingAfterClose(t0 + s.at);
          break;
        case Step::Front:
          input.foreground = s.window;
          taken = tracker.Check(t0 + s.at);
          break;
        case Step::Press:
          taken = tracker.PointerPressed(s.window);
          break;
        case Step::BarClick:
          input.foreground = s.window;
          taken = tracker.ButtonClicked(t0 + s.at);
          break;
        case Step::Gone:
          input.foreground = s.window;
          taken = tracker.TargetClosed(t0 + s.at);
          break;
      }
      EXPECT_EQ(taken ? taken->window : 0, s.taken) << c.name << ", step " << i;
      if (taken) {
        EXPECT_EQ(taken->title, titles.at(s.taken)) << c.name;
        EXPECT_FALSE(tracker.Looking()) << c.name;
      }
    }
  }
}

TEST(TargetTracker, TakesNothingOnceFound) {
  platform::FakeDesktop input;
  input.titles = {{2, u"Editor"}, {3, u"Paint"}};
  TargetTracker tracker(input, [](platform::WindowHandle) { return false; });
  input.foreground = 2;
  tracker.StartLooking();
  input.foreground = 3;
  ASSERT_TRUE(tracker.Check(TargetTracker::Clock::now()));
  input.foreground = 2;
  EXPECT_FALSE(tracker.Check(TargetTracker::Clock::now()));
  EXPECT_FALSE(tracker.PointerPressed(2));
  EXPECT_FALSE(tracker.ButtonClicked(TargetTracker::Clock::now()));
}

// A window's rectangle on these work areas, and where it goes.
struct PlacementCase {
  const char* name;
  QRect window;
  QList<QRect> work;
  QPoint at;
};

TEST(ScreenGeometry, ReachablePositionKeepsTheStripOnAScreen) {
  const QList<QRect> two = {QRect(0, 0, 1024, 740), QRect(1024, 0, 800, 600)};
  const PlacementCase cases[] = {
      {"on the screen", {100, 100, 250, 130}, two, {100, 100}},
      {"partly off the top, strip still showing", {30, -10, 250, 130}, two, {30, -10}},
      {"far right", {90000, 100, 250, 130}, two, {1574, 100}},
      {"above", {100, -5000, 250, 130}, two, {100, 0}},
      {"below the second, shorter screen", {1200, 700, 250, 130}, two, {1200, 580}},
      {"wider than the nearest screen", {5000, 100, 2000, 130}, two, {1024, 100}},
      {"no usable screen: nothing moves", {5000, 5000, 250, 130}, {QRect()}, {5000, 5000}},
      {"no screen at all", {-300, 50, 250, 130}, {}, {-300, 50}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReachablePosition(c.window, 20, c.work), c.at) << c.name;
  // After a screen change the whole strip comes back onto one.
  EXPECT_EQ(ReachablePosition({775, 587, 250, 130}, 20, {{0, 0, 800, 600}}, true),
            QPoint(550, 580));
  EXPECT_EQ(ReachablePosition({100, 100, 250, 130}, 20, {{0, 0, 800, 600}}, true),
            QPoint(100, 100));
  // The settings file keeps no place left of or above the origin.
  EXPECT_EQ(StorablePlace({-30, 40}), QPoint(0, 40));
  EXPECT_EQ(StorablePlace({30, -40}), QPoint(30, 0));
}

TEST(TitleLook, SmoothWhereEdgesShowAndTheTipFollowsThePointerOnlyOverACutOutWindow) {
  struct Case {
    bool composited, resizeMode, shown, smooth, follows;
  };
  const Case cases[] = {{false, false, true, false, true},
                        {false, false, false, false, false},
                        {true, false, true, true, false},
                        {false, true, true, true, false},
                        {true, true, true, true, false}};
  for (const Case& c : cases) {
    const TitleLook look = TitleLookFor(c.composited, c.resizeMode, c.shown);
    EXPECT_EQ(look.smooth, c.smooth) << c.composited << c.resizeMode << c.shown;
    EXPECT_EQ(look.tipFollowsPointer, c.follows) << c.composited << c.resizeMode << c.shown;
  }
}

TEST(ToolkitTranslations, TheToolkitsDialogsSpeakTheSystemsLanguage) {
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_FALSE(InstallToolkitTranslations(*QCoreApplication::instance()));
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  ASSERT_TRUE(InstallToolkitTranslations(*QCoreApplication::instance()));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "キャンセル");
  for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
    QCoreApplication::removeTranslator(t);
    delete t;
  }
  QLocale::setDefault(before);
}

TEST(ScreenGeometry, AfterTheScreensChangeTheBarGoesBackToTheUsersPlaceOrWhollyOntoAScreen) {
  const QList<QRect> small = {QRect(0, 0, 1024, 768)};
  const QList<QRect> two = {QRect(0, 0, 1024, 740), QRect(1024, 0, 800, 600)};
  const PlacementCase cases[] = {
      // window: the place the user chose
      {"the user's place fits: there", {1000, 600, 250, 130}, {{0, 0, 1280, 800}}, {1000, 600}},
      {"shrunk: wholly onto the screen", {1050, 700, 250, 130}, small, {774, 638}},
      {"hanging below the second screen", {1200, 550, 250, 130}, two, {1200, 470}},
      {"across two screens: onto the one under its strip", {900, 100, 250, 130}, two, {1024, 100}},
      {"taller than the screen: its strip on it", {100, 700, 250, 900}, small, {100, 700}},
      {"no screen: stays", {5000, 5000, 250, 130}, {}, {5000, 5000}},
  };
  for (const auto& c : cases) EXPECT_EQ(PlaceOnScreens(c.window, 20, c.work), c.at) << c.name;
}

TEST(ScreenGeometry, BesidePlacementAvoidsTheBarOnItsOwnScreen) {
  const QList<QRect> two = {QRect(0, 0, 1024, 740), QRect(1024, 0, 800, 600)};
  const QSize window(320, 420);
  struct Case {
    const char* name;
    QRect bar;
    QPoint at;
  };
  const Case cases[] = {
      {"right of it", {100, 100, 250, 130}, {358, 100}},
      {"left of it at the right edge", {700, 100, 250, 130}, {372, 100}},
      {"below a wide bar", {0, 50, 1000, 130}, {0, 188}},
      {"above a wide bar at the bottom", {0, 600, 1000, 130}, {0, 172}},
      {"on the second screen, kept on it", {1100, 400, 250, 130}, {1358, 180}},
      {"nowhere it fits: below, covering the least", {0, 0, 1000, 700}, {0, 320}},
  };
  for (const Case& c : cases) EXPECT_EQ(BesidePlacement(window, c.bar, two), c.at) << c.name;
}

TEST(ScreenGeometry, MenuOpensAtTheCornerAndStaysInsideItsWorkArea) {
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

TEST(ScreenGeometry, FirstPlacementCentresTheOuterRectangle) {
  struct Case {
    const char* name;
    QSize frame;
    QList<QRect> screens, work;
    QPoint at;
  };
  const Case cases[] = {
      {"one screen", {310, 430}, {{0, 0, 1280, 800}}, {{0, 0, 1280, 770}}, {485, 185}},
      {"two screens side by side: across both",
       {310, 430},
       {{0, 0, 1280, 800}, {1280, 0, 1280, 800}},
       {{0, 0, 1280, 800}, {1280, 0, 1280, 800}},
       {1125, 185}},
      {"centre over a gap: into the nearest work area, down first",
       {310, 430},
       {{0, 0, 1000, 300}, {1000, 500, 1000, 800}},
       {{0, 0, 1000, 300}, {1000, 500, 1000, 800}},
       {1000, 500}},
      {"taller than the screen: its bottom on the work area's bottom",
       {310, 900},
       {{0, 0, 1280, 800}},
       {{0, 0, 1280, 800}},
       {485, -100}},
      {"no usable screen", {310, 430}, {QRect()}, {QRect()}, {0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(FirstPlacement(c.frame, c.screens, c.work), c.at) << c.name;
}

TEST(ScreenGeometry, FittingClientSizeLeavesRoomForTheFrame) {
  EXPECT_EQ(FittingClientSize({308, 409}, {2, 21}, {0, 0, 1280, 800}), QSize(308, 409));
  EXPECT_EQ(FittingClientSize({308, 409}, {2, 21}, {0, 0, 640, 400}), QSize(308, 379));
  EXPECT_EQ(FittingClientSize({308, 409}, {2, 21}, {0, 0, 200, 300}), QSize(198, 279));
  EXPECT_EQ(FittingClientSize({308, 409}, {2, 21}, QRect()), QSize(308, 409));
}

TEST(BarGeometry, DragsKeepThePressedPointUnderThePointerAtEveryScale) {
  struct Case {
    QPointF displacement;
    double ratio;
    QPoint at;
  };
  const Case cases[] = {
      {{30, 10}, 1, {130, 110}}, {{-5, 0}, 1, {95, 100}},
      {{1, 3}, 1.5, {102, 104}},  // 1.5 and 4.5: halves to the even neighbour
      {{3, -1}, 2, {106, 98}},   {{0.25, 0.75}, 2, {100, 102}},  // 0.5 to 0, 1.5 to 2
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DraggedTo({100, 100}, c.displacement, c.ratio), c.at)
        << c.displacement.x() << "," << c.displacement.y() << " at " << c.ratio;
  }
}

TEST(BarGeometry, ResizesFollowThePointerButNeverBelowTheSmallestBar) {
  const QSize smallest(40, 44);
  EXPECT_EQ(ResizedTo({250, 130}, {40, -20}, smallest), QSizeF(290, 110));
  EXPECT_EQ(ResizedTo({250, 130}, {0.5, 1.5}, smallest), QSizeF(250, 132));  // halves to even
  EXPECT_EQ(ResizedTo({250, 130}, {-400, -400}, smallest), QSizeF(40, 44));
}

// A drag counts from the press on the screen, whatever the moves in between; a resize from the
// pointer's last position in the window, which moves with nothing.
TEST(PointerTracking, DragsCountFromThePressAndResizesFromTheLastPosition) {
  PointerTracking tracking;
  tracking.StartDrag({100, 100}, {500, 300});
  EXPECT_EQ(tracking.DragTo({510, 305}, 1), QPoint(110, 105));
  EXPECT_EQ(tracking.DragTo({530, 310}, 1), QPoint(130, 110));
  EXPECT_EQ(tracking.DragTo({503, 300}, 2), QPoint(106, 100));
  tracking.StartResize({240, 120}, {250, 130});
  EXPECT_EQ(tracking.ResizeTo({250, 125}, {40, 44}), QSizeF(260, 135));
  EXPECT_EQ(tracking.ResizeTo({260, 125}, {40, 44}), QSizeF(270, 135));
  EXPECT_EQ(tracking.Tracking(), PointerTracking::Kind::Resize);
  tracking.End();
  EXPECT_EQ(tracking.Tracking(), PointerTracking::Kind::None);
}

TEST(BarGeometry, PressablePartsAreTheStripAndTheButtonsWithTheirShadows) {
  const QRect window(0, 0, 250, 130);
  const std::vector<QRect> buttons = {{0, 24, 50, 25}, {200, 120, 50, 25}, {0, 200, 50, 25}};
  const std::vector<QRect> expected = {{0, 0, 250, 20}, {0, 24, 59, 34}, {200, 120, 50, 10}};
  EXPECT_EQ(PressableParts({0, 0, 250, 20}, buttons, 9, window), expected);
  EXPECT_EQ(CoveringPixels({1, 1, 3, 3}, 1.5), QRect(1, 1, 5, 5));
  EXPECT_EQ(RoundedPixels({1, 1, 3, 3}, 1.5), QRect(2, 2, 5, 5));
  EXPECT_EQ(ToScreenPixels({3, -3}, 1.5), QPoint(5, -5));
  EXPECT_EQ(FromScreenPixels({5, -5}, 1.5), QPoint(3, -3));
}

TEST(AlphaShape, HalfOpaquePixelsMakeTheShapeWithEqualRowsJoined) {
  QImage image(10, 6, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.fillRect(QRect(1, 1, 3, 3), QColor(0, 0, 255));     // opaque
  p.fillRect(QRect(6, 1, 2, 2), QColor(0, 0, 0, 140));  // more than half
  p.fillRect(QRect(6, 4, 4, 2), QColor(0, 0, 0, 100));  // less than half: cut away
  p.end();
  const std::vector<QRect> shape = OpaqueShape(image);
  const std::vector<QRect> expected = {QRect(1, 1, 3, 2), QRect(6, 1, 2, 2), QRect(1, 3, 3, 1)};
  EXPECT_EQ(shape, expected);
  QImage empty(4, 4, QImage::Format_ARGB32_Premultiplied);
  empty.fill(Qt::transparent);
  EXPECT_TRUE(OpaqueShape(empty).empty());
}

}  // namespace
}  // namespace kavo

namespace kavo {
namespace {

TEST(BarLayoutTest, PartsFollowTheSizeAndNeverGoNegative) {
  const struct {
    QSize size;
    QRect dragSquare, title, buttonArea;
  } cases[] = {
      {{250, 130}, {230, 0, 20, 20}, {26, 0, 204, 20}, {0, 24, 250, 106}},
      {{40, 44}, {20, 0, 20, 20}, {26, 0, 0, 20}, {0, 24, 40, 20}},
      {{10, 10}, {0, 0, 20, 20}, {26, 0, 0, 20}, {0, 24, 10, 0}},
  };
  for (const auto& c : cases) {
    const BarLayout l = LayOutBar(c.size);
    EXPECT_EQ(l.strip, QRect(0, 0, c.size.width(), 20)) << c.size.width();
    EXPECT_EQ(l.menuSquare, QRect(0, 0, 20, 20));
    EXPECT_EQ(l.dragSquare, c.dragSquare) << c.size.width();
    EXPECT_EQ(l.title, c.title) << c.size.width();
    EXPECT_EQ(l.spacer, QRect(0, 20, c.size.width(), 4));
    EXPECT_EQ(l.buttonArea, c.buttonArea) << c.size.width();
    EXPECT_EQ(l.resizeGrip.bottomRight(), c.buttonArea.bottomRight()) << c.size.width();
    EXPECT_TRUE(c.buttonArea.contains(l.resizeGrip) || c.buttonArea.isEmpty());
  }
}

TEST(StripTextTest, ARefusalShowsUntilKeysGoOrAnotherTargetComes) {
  StripText strip;
  strip.SetTitle(u"Editor");
  EXPECT_EQ(strip.Shown(), u"Editor");
  EXPECT_EQ(strip.Tip(u"KavoKey.editor.txt"), u"Editor \u2014 KavoKey.editor.txt");
  EXPECT_TRUE(strip.SetRefusal(u"No keys."));
  EXPECT_FALSE(strip.SetRefusal(u"No keys."));  // nothing new to show
  EXPECT_EQ(strip.Shown(), u"No keys.");
  EXPECT_EQ(strip.Tip(u""), u"Editor\nNo keys.");
  EXPECT_TRUE(strip.SetRefusal(u""));
  EXPECT_EQ(strip.Shown(), u"Editor");
  strip.SetRefusal(u"No keys.");
  strip.SetTitle(u"Paint");
  EXPECT_EQ(strip.Shown(), u"Paint");
  EXPECT_EQ(strip.Tip(u""), u"Paint");
}

}  // namespace
}  // namespace kavo
