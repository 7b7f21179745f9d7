// Key names people write by hand and keys held for a pen, on a real desktop: what the target
// window receives, and that no key is ever left down in the server.

#include <signal.h>

#include "e2e_fixture.h"

namespace kavo::e2e {
namespace {

using namespace std::chrono_literals;

using HeldKeysTest = DesktopTest;

// A bar wide enough for every button in one row.
const std::string kWideBar = "[Form]\r\nWidth=600\r\n";

// The events without the server's auto-repeat of a key held down (a release and a press of it
// in a row), which a key held by hand gets as well.
Events WithoutRepeats(const Events& events) {
  Events kept;
  for (std::size_t i = 0; i < events.size(); ++i) {
    if (i + 1 < events.size() && events[i].starts_with("release ") &&
        events[i + 1] == "press " + events[i].substr(8)) {
      ++i;
      continue;
    }
    kept.push_back(events[i]);
  }
  return kept;
}

TEST_F(HeldKeysTest, NamesWrittenByHandTypeTheKeysTheyName) {
  test::WriteBytes(folder_ + "/KavoKey.txt",
                   "Esc,Esc\r\nTab,tab\r\nSpace,Space\r\nUp,PageUp\r\nZed, Z\r\nUndo, Ctrl, Z\r\n");
  auto target = StartTarget("Target");
  auto bar = StartBar(kWideBar);
  for (int i = 0; i < 6; ++i) ClickAt(ButtonX(i), kButtonY);
  const Events expected = {"press Escape", "release Escape",   "press Tab",       "release Tab",
                           "press space",  "release space",    "press Prior",     "release Prior",
                           "press z",      "release z",        "press Control_L", "press z",
                           "release z",    "release Control_L"};
  EXPECT_EQ(AwaitReceived("Target", expected.size()), expected);
}

TEST_F(HeldKeysTest, ALatchHoldsThroughTheNextStrokeAndAToggleUntilItsSecondClick) {
  test::WriteBytes(folder_ + "/KavoKey.txt", "Pan,Space,,,latch\r\nPick,Ctrl,,,toggle\r\n");
  auto target = StartTarget("Target", 400, 300, "", {"buttons"});
  auto bar = StartBar(kWideBar);

  ClickAt(ButtonX(0), kButtonY);  // Pan: takes the target and holds Space
  AwaitReceived("Target", 1);
  // A stroke on the canvas: Space stays down through it and comes up once it ends.
  Sh("xdotool mousemove 500 380 mousedown 1 mousemove 560 420 mousemove 600 440 mouseup 1");
  const auto settled = [&](std::size_t count) {
    return WaitUntil([&] { return WithoutRepeats(Received("Target")).size() >= count; });
  };
  ASSERT_TRUE(settled(4)) << testing::PrintToString(Received("Target"));
  EXPECT_EQ(WithoutRepeats(Received("Target")),
            (Events{"press space", "button press 1", "button release 1", "release space"}));

  ClickAt(ButtonX(1), kButtonY);            // Pick: Ctrl down ...
  Sh("xdotool mousemove 500 380 click 1");  // ... through a stroke ...
  ClickAt(ButtonX(1), kButtonY);            // ... until the second click
  ASSERT_TRUE(settled(8)) << testing::PrintToString(Received("Target"));
  const Events received = WithoutRepeats(Received("Target"));
  EXPECT_EQ(Events(received.begin() + 4, received.end()),
            (Events{"press Control_L", "button press 1", "button release 1", "release Control_L"}));
  EXPECT_TRUE(KeysDown().empty());
}

TEST_F(HeldKeysTest, ClosingTheBarOrEndingTheSessionLetsGoOfHeldKeys) {
  test::WriteBytes(folder_ + "/KavoKey.txt", "Pick,Ctrl,Shift,,toggle\r\n");
  auto target = StartTarget("Target");
  for (const bool bySignal : {false, true}) {
    auto bar = StartBar(kWideBar);
    ClickAt(ButtonX(0), kButtonY);
    ASSERT_TRUE(WaitUntil([] { return KeysDown().size() == 2; })) << bySignal;
    if (bySignal) {
      bar->Signal(SIGTERM);
    } else {
      Sh("wmctrl -i -c " + bar_);
    }
    EXPECT_EQ(bar->Wait(kPatience), 0) << bar->Errors();
    EXPECT_EQ(KeysDown(), std::vector<std::string>{}) << (bySignal ? "SIGTERM" : "closed");
  }
}

}  // namespace
}  // namespace kavo::e2e
