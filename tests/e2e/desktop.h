#pragma once
// A desktop for end-to-end tests: its own Xvfb display with openbox, processes started on it,
// and xdotool to drive it as a person would.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "file_bytes.h"

namespace kavo::e2e {

// Starts Xvfb and openbox for the whole test program and points DISPLAY at them.
void StartDesktop();
// What went wrong in a suite's set-up, empty when nothing did. A failure there would make the
// test framework report every test of the suite as skipped: each test fails with it instead.
std::string SetUpProblem(const std::function<void()>& setUp);
void StopDesktop();

// A compositing manager (xcompmgr) on the desktop, started and stopped while windows run.
// With shadows: xcompmgr -c, which draws soft shadows under windows.
void StartCompositor(bool shadows = false);
void StopCompositor();
bool CompositorRunning();

// Runs a shell command on the desktop; its standard output, trimmed.
std::string Sh(const std::string& command);

// A process started on the desktop, ended (SIGKILL) when the object goes unless it has exited.
class Process {
 public:
  Process(std::vector<std::string> argv, const std::string& folder = "",
          std::vector<std::string> env = {});
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  pid_t pid() const { return pid_; }
  // The exit code, or -1 when it has not exited within the timeout.
  int Wait(std::chrono::milliseconds timeout);
  void Signal(int signal) const;
  // What the process wrote to standard error (captured to a file).
  std::string Errors() const;

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
  int code_ = -1;
  std::string errorFile_;
};

// Polls until the condition holds or the timeout passes.
// How long the tests wait for something that is bound to happen: long enough for a machine
// under heavy load (a bar built with sanitizers starting beside a CPU hog), since only a
// failing test ever waits that long.
inline constexpr std::chrono::seconds kPatience{60};
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = kPatience);

// The id of the first visible window whose name matches the regular expression; "" if none.
std::string FindWindow(const std::string& name);
std::string ActiveWindow();
void Activate(const std::string& window);
// A left click at a point of the screen.
void ClickAt(int x, int y);
// Moves the pointer as a device does, which the desktop reports to every client that asks
// (xdotool's moves are warps, which it does not).
void MoveAsADevice(int x, int y);
// Presses a mouse button at one point, moves to another in a few steps, and releases it there.
void DragFromTo(int x0, int y0, int x1, int y1, int button = 1);

// The colour of a pixel of the screen as "#RRGGBB".
std::string PixelAt(int x, int y);

// The X server's names of the keys that are down just now; empty when none is.
std::vector<std::string> KeysDown();
// How many pixels of the screen's rectangle have exactly this colour ("#RRGGBB").
int CountPixels(int x, int y, int width, int height, const std::string& colour);

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Geometry&) const = default;
};
// The window's place on the screen and its size.
Geometry WindowGeometry(const std::string& window);

}  // namespace kavo::e2e
