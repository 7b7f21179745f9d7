// The X11 desktop backend against real windows.

#include "platform/desktop.h"

#include <thread>
#include <vector>

#include "base/text_codec.h"
#include "e2e_fixture.h"

// Xlib's macros (None, Bool, ...) after the test framework, whose names they would take.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace kavo::e2e {
namespace {

using platform::KeyStroke;

class X11BackendTest : public DesktopTest {
 protected:
  std::unique_ptr<platform::Desktop> desktop_ = platform::MakeDesktop("xcb");
  platform::WindowTracking& windows_ = desktop_->Tracking();
  platform::KeyInjection& keys_ = desktop_->Keys();
};

platform::WindowHandle Handle(const std::string& id) {
  return std::stoul(id);
}

TEST_F(X11BackendTest, ReadsTheWindowInFrontItsTitleAndItsProcess) {
  ASSERT_TRUE(desktop_->CanType());
  const std::string title = "Célia — 日本語のタイトル";
  auto target = StartTarget(title, 400, 300, "target");
  const auto window = Handle(TargetWindow("target"));
  EXPECT_EQ(windows_.ForegroundWindow(), window);
  EXPECT_EQ(ToUtf8(windows_.WindowTitle(window)), title);
  EXPECT_EQ(windows_.WindowProcess(window), 0);  // the target sets no _NET_WM_PID
  EXPECT_EQ(windows_.WindowTitle(0), u"");
  EXPECT_EQ(windows_.WindowTitle(0x7ffffff), u"");  // no such window: no title, no crash
}

// The file manager's desktop and the panels name their kind, and are never a target.
TEST_F(X11BackendTest, TheDesktopAndItsPanelsAreKnownByTheirWindowType) {
  auto target = StartTarget("Desktop", 400, 300, "desktop");
  const std::string id = TargetWindow("desktop");
  EXPECT_FALSE(windows_.IsDesktopShell(Handle(id)));  // no type: an ordinary window
  const struct {
    std::vector<const char*> types;
    bool shell;
  } cases[] = {
      {{"_NET_WM_WINDOW_TYPE_DESKTOP"}, true},
      {{"_NET_WM_WINDOW_TYPE_DOCK"}, true},
      {{"_NET_WM_WINDOW_TYPE_NORMAL"}, false},
      {{"_NET_WM_WINDOW_TYPE_DIALOG"}, false},
      {{"_KDE_NET_WM_WINDOW_TYPE_OVERRIDE", "_NET_WM_WINDOW_TYPE_DOCK"}, true},
  };
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  for (const auto& c : cases) {
    std::vector<Atom> atoms;
    for (const char* type : c.types) atoms.push_back(XInternAtom(display, type, False));
    XChangeProperty(display, Handle(id), XInternAtom(display, "_NET_WM_WINDOW_TYPE", False),
                    XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(atoms.data()),
                    static_cast<int>(atoms.size()));
    XSync(display, False);
    EXPECT_EQ(windows_.IsDesktopShell(Handle(id)), c.shell) << c.types.back();
  }
  XCloseDisplay(display);
  EXPECT_FALSE(windows_.IsDesktopShell(0));
  EXPECT_FALSE(windows_.IsDesktopShell(0x7ffffff));  // no such window
}

TEST_F(X11BackendTest, TitlesAreCutTo259Units) {
  auto target = StartTarget(std::string(300, 'T'), 400, 300, "long");
  EXPECT_EQ(windows_.WindowTitle(Handle(TargetWindow("long"))), std::u16string(259, u'T'));
}

TEST_F(X11BackendTest, KeysSentRightAfterActivationReachTheActivatedWindow) {
  auto left = StartTarget("Left", 100, 300);
  auto right = StartTarget("Right", 600, 300);
  for (int round = 0; round < 5; ++round) {
    const std::string name = round % 2 ? "Right" : "Left";
    windows_.BringWindowToTop(Handle(TargetWindow(name)));
    EXPECT_TRUE(keys_
                    .SendKeys({{KeyStroke::Kind::VirtualKey, 'A', false},
                               {KeyStroke::Kind::VirtualKey, 'A', true}})
                    .Ok());
  }
  EXPECT_EQ(AwaitReceived("Left", 6).size(), 6u);
  EXPECT_EQ(AwaitReceived("Right", 4).size(), 4u);
}

TEST_F(X11BackendTest, CharactersMissingFromTheLayoutAreStillTyped) {
  auto target = StartTarget("Target");
  keys_.SendKeys({{KeyStroke::Kind::Character, u'€', false},
                  {KeyStroke::Kind::Character, u'€', true},
                  {KeyStroke::Kind::Character, u'@', false},
                  {KeyStroke::Kind::Character, u'@', true}});
  EXPECT_EQ(AwaitReceived("Target", 6),
            (std::vector<std::string>{"press U20AC", "release U20AC", "press Shift_L", "press 2",
                                      "release 2", "release Shift_L"}));
}

// A held key comes up as what went down, though the spare keycode it was lent would have been
// handed on to other characters meanwhile.
TEST_F(X11BackendTest, AHeldKeyComesUpAsItWentDownWhateverIsTypedMeanwhile) {
  auto target = StartTarget("Target");
  platform::HeldKeys held;
  ASSERT_TRUE(keys_.PressKeys({{KeyStroke::Kind::Character, u'\u2603', false}}, held).Ok());
  // More characters missing from the layout than there are spare keycodes to keep bound.
  std::vector<KeyStroke> others;
  for (char16_t c = u'\u2460'; c < u'\u2460' + 10; ++c) {
    others.push_back({KeyStroke::Kind::Character, c, false});
    others.push_back({KeyStroke::Kind::Character, c, true});
  }
  keys_.SendKeys(others);
  keys_.ReleaseKeys(held);
  const Events received = AwaitReceived("Target", 22);
  ASSERT_EQ(received.size(), 22u);
  EXPECT_EQ(received.front(), "press U2603");
  EXPECT_EQ(received.back(), "release U2603");
  EXPECT_TRUE(KeysDown().empty());
}

}  // namespace
}  // namespace kavo::e2e
