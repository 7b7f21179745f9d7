#pragma once
// Each end-to-end test gets a folder of its own holding a copy of the real executable, so the
// bar finds its files next to it as a user's would.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "desktop.h"

namespace kavo::e2e {

using Events = std::vector<std::string>;

// With no settings file the bar stands at (100, 100), 250 x 130; its buttons, 50 x 25 with gaps
// of 2, start 24 below its top: the middle of button i.
constexpr int kButtonY = 100 + 24 + 12;
inline int ButtonX(int index) {
  return 100 + 25 + index * 52;
}

// A modifier and a key pressed, then released in reverse order.
inline Events Chord(const std::string& modifier, const std::string& key) {
  return {"press " + modifier, "press " + key, "release " + key, "release " + modifier};
}

class DesktopTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { desktopProblem_ = SetUpProblem(StartDesktop); }
  static void TearDownTestSuite() { StopDesktop(); }

  void SetUp() override;
  void TearDown() override;

  // A copy of the bar in the test's folder, with this settings file if one is given; returns the
  // copy's path.
  std::string InstallBar(const std::string& settings = "");
  // Starts the installed bar and waits for its window, whose id bar_ then holds.
  std::unique_ptr<Process> StartBar(const std::string& settings = "",
                                    std::vector<std::string> env = {});

  // A key-recording window with this title, in front once started. Its log and id files are
  // named after name (the title, unless given). Options: "buttons" (log pointer buttons too),
  // "class=NAME" (its WM_CLASS).
  std::unique_ptr<Process> StartTarget(const std::string& title, int x = 400, int y = 300,
                                       std::string name = "",
                                       const std::vector<std::string>& options = {});
  // The target's window id; "" until the window exists.
  std::string TargetWindow(const std::string& name) const;
  // The key events the target has received, one per line.
  std::vector<std::string> Received(const std::string& name) const;
  // Waits until the target has received this many events.
  std::vector<std::string> AwaitReceived(const std::string& name, std::size_t count) const;

  // The bar's place and size on the screen.
  Geometry Bar() const { return WindowGeometry(bar_); }
  // Opens the bar's menu from the blue square and chooses the item at this place in it.
  void ChooseFromMenu(int item) const;
  // Opens the settings window, adds a binding of this caption to F1, applies, and waits until the
  // key file (the test folder's, unless given) holds it.
  void AddF1BindingInTheSettings(const std::string& caption, std::string keyFile = "") const;

  std::string folder_;
  std::string bar_;
  static inline std::string desktopProblem_;
};

}  // namespace kavo::e2e
