#include "desktop.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace kavo::e2e {
namespace {

pid_t g_xvfb = -1;
pid_t g_openbox = -1;
pid_t g_compositor = -1;

pid_t Spawn(const std::vector<std::string>& argv, const std::string& folder,
            const std::vector<std::string>& env, const std::string& errorFile) {
  std::vector<std::string> environment;
  for (char** e = environ; *e; ++e) environment.emplace_back(*e);
  for (const auto& e : env) environment.push_back(e);
  std::vector<char*> envp, args;
  for (auto& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> argCopy = argv;
  for (auto& a : argCopy) args.push_back(a.data());
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, errorFile.empty() ? "/dev/null" : errorFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + argv[0]);
  return pid;
}

void Kill(pid_t& pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  for (int i = 0; i < 50; ++i) {
    if (::waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  pid = -1;
}

}  // namespace

void StartDesktop() {
  int fds[2];
  if (::pipe(fds) != 0) throw std::runtime_error("pipe");
  // Xvfb picks a free display and writes its number to the descriptor.
  g_xvfb = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                  "-nolisten", "tcp"},
                 "", {}, "");
  ::close(fds[1]);
  std::string number;
  char c;
  while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(fds[0]);
  if (number.empty()) throw std::runtime_error("Xvfb did not start");
  ::setenv("DISPLAY", (":" + number).c_str(), 1);
  // openbox is ready once it has claimed the active-window property; one that ends before (a
  // display not yet answering on a loaded machine) is started again, and says why at the last.
  const std::string errors = "/tmp/kavo-openbox-" + number + ".log";
  for (int attempt = 0; attempt < 3; ++attempt) {
    g_openbox = Spawn({"openbox", "--sm-disable"}, "", {}, errors);
    bool ended = false;
    const bool ready = WaitUntil([&] {
      ended = ::waitpid(g_openbox, nullptr, WNOHANG) == g_openbox;
      return ended ||
             Sh("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos;
    });
    if (ready && !ended) {
      std::remove(errors.c_str());
      return;
    }
    if (ended) g_openbox = -1;
    Kill(g_openbox);
  }
  std::ifstream log(errors);
  const std::string why((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  std::remove(errors.c_str());
  throw std::runtime_error("openbox did not start: " + why);
}

std::string SetUpProblem(const std::function<void()>& setUp) {
  try {
    setUp();
    return {};
  } catch (const std::exception& e) {
    return e.what();
  }
}

void StopDesktop() {
  StopCompositor();
  Kill(g_openbox);
  Kill(g_xvfb);
}

bool CompositorRunning() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
  const bool owned = XGetSelectionOwner(display, XInternAtom(display, name.c_str(), False)) != None;
  XCloseDisplay(display);
  return owned;
}

void StartCompositor(bool shadows) {
  if (g_compositor > 0) return;
  std::vector<std::string> argv = {"xcompmgr"};
  if (shadows) argv.push_back("-c");
  g_compositor = Spawn(argv, "", {}, "");
  if (!WaitUntil(CompositorRunning)) throw std::runtime_error("xcompmgr did not start");
}

void StopCompositor() {
  Kill(g_compositor);
  WaitUntil([] { return !CompositorRunning(); });
}

std::string Sh(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r")) {
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
      out.append(buffer.data(), n);
    ::pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

Process::Process(std::vector<std::string> argv, const std::string& folder,
                 std::vector<std::string> env) {
  char name[] = "/tmp/kavo-e2e-stderr-XXXXXX";
  const int fd = ::mkstemp(name);
  if (fd >= 0) ::close(fd);
  errorFile_ = name;
  pid_ = Spawn(argv, folder, env, errorFile_);
}

Process::~Process() {
  if (!exited_) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  ::unlink(errorFile_.c_str());
}

int Process::Wait(std::chrono::milliseconds timeout) {
  if (exited_) return code_;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  do {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      exited_ = true;
      code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return code_;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (std::chrono::steady_clock::now() < deadline);
  return -1;
}

void Process::Signal(int signal) const {
  ::kill(pid_, signal);
}

std::string Process::Errors() const {
  return test::ReadBytes(errorFile_);
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

std::string FindWindow(const std::string& name) {
  const std::string ids = Sh("xdotool search --onlyvisible --name '" + name + "'");
  return ids.substr(0, ids.find('\n'));
}

std::string ActiveWindow() {
  return Sh("xdotool getactivewindow");
}

// Asked again each second: a window manager still busy with its own start, or with the window's
// mapping on a loaded machine, may drop the request.
void Activate(const std::string& window) {
  auto asked = std::chrono::steady_clock::now();
  Sh("xdotool windowactivate " + window);
  WaitUntil([&] {
    if (ActiveWindow() == window) return true;
    if (std::chrono::steady_clock::now() - asked > std::chrono::seconds(1)) {
      asked = std::chrono::steady_clock::now();
      Sh("xdotool windowactivate " + window);
    }
    return false;
  });
}

void MoveAsADevice(int x, int y) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return;
  XTestFakeMotionEvent(display, -1, x, y, 0);
  XSync(display, False);
  XCloseDisplay(display);
}

void ClickAt(int x, int y) {
  // --sync waits for the pointer to move, which it never does when it is there already.
  const std::string at = std::to_string(x) + " " + std::to_string(y);
  const bool there =
      Sh("xdotool getmouselocation --shell | head -2 | cut -d= -f2 | paste -sd' '") == at;
  Sh("xdotool mousemove " + std::string(there ? "" : "--sync ") + at + " click 1");
}

void DragFromTo(int x0, int y0, int x1, int y1, int button) {
  const std::string b = std::to_string(button);
  Sh("xdotool mousemove --sync " + std::to_string(x0) + " " + std::to_string(y0) + " mousedown " +
     b);
  for (int step = 1; step <= 4; ++step) {
    const int x = x0 + (x1 - x0) * step / 4, y = y0 + (y1 - y0) * step / 4;
    Sh("xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  Sh("xdotool mouseup " + b);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

std::string PixelAt(int x, int y) {
  return Sh("import -window root -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) +
            " -depth 8 txt:- | grep -o '#[0-9A-F]\\{6\\}' | head -1");
}

int CountPixels(int x, int y, int width, int height, const std::string& colour) {
  const std::string count = Sh("import -window root -crop " + std::to_string(width) + "x" +
                               std::to_string(height) + "+" + std::to_string(x) + "+" +
                               std::to_string(y) + " -depth 8 txt:- | grep -c '" + colour + "'");
  return count.empty() ? 0 : std::stoi(count);
}

Geometry WindowGeometry(const std::string& window) {
  // xwininfo: the absolute position of the window itself, inside any frame.
  const std::string info = Sh("xwininfo -id " + window);
  auto field = [&](const std::string& name) {
    const auto at = info.find(name);
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + name.size()));
  };
  return {field("Absolute upper-left X:"), field("Absolute upper-left Y:"), field("Width:"),
          field("Height:")};
}

}  // namespace kavo::e2e

namespace kavo::e2e {

std::vector<std::string> KeysDown() {
  std::vector<std::string> down;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return down;
  char keys[32];
  XQueryKeymap(display, keys);
  for (int code = 8; code < 256; ++code) {
    if (keys[code / 8] & (1 << (code % 8))) {
      const char* name =
          XKeysymToString(XkbKeycodeToKeysym(display, static_cast<KeyCode>(code), 0, 0));
      down.push_back(name ? name : std::to_string(code));
    }
  }
  XCloseDisplay(display);
  return down;
}

}  // namespace kavo::e2e
