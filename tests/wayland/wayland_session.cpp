#include "wayland_session.h"

#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>

namespace kavo::e2e {
namespace {

// The unprivileged user the package test uses as well.
constexpr char kUser[] = "kavo-test";

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

void CollectWindows(const nlohmann::json& node, std::vector<WaylandSession::Window>& windows) {
  if (node.contains("pid") && node.value("type", "") != "workspace") {
    WaylandSession::Window window;
    if (node["name"].is_string()) window.title = node["name"];
    if (node.contains("app_id") && node["app_id"].is_string()) window.appId = node["app_id"];
    const auto& rect = node["rect"];
    window.rect = {rect["x"], rect["y"], rect["width"], rect["height"]};
    window.focused = node.value("focused", false);
    windows.push_back(window);
  }
  for (const char* children : {"nodes", "floating_nodes"}) {
    if (node.contains(children)) {
      for (const auto& child : node[children]) CollectWindows(child, windows);
    }
  }
}

}  // namespace

std::string WaylandSession::Unavailable(Compositor compositor) {
  const std::vector<std::string> programs =
      compositor == Compositor::Sway ? std::vector<std::string>{"sway", "swaymsg", "grim"}
      : compositor == Compositor::KWin
          ? std::vector<std::string>{"kwin_wayland", "dbus-run-session"}
          : std::vector<std::string>{"weston"};
  for (const std::string& program : programs) {
    if (Sh("command -v " + program).empty()) return program + " is not installed";
  }
  return "";
}

WaylandSession::WaylandSession(Compositor compositor, const std::vector<std::string>& config)
    : compositor_(compositor) {
  if (::geteuid() == 0) {
    user_ = kUser;
    Sh("id " + user_ + " >/dev/null 2>&1 || useradd --create-home --shell /usr/sbin/nologin " +
       user_);
  }
  char pattern[] = "/tmp/kavo-wayland-XXXXXX";
  if (!::mkdtemp(pattern)) throw std::runtime_error("no runtime folder");
  runtime_ = pattern;
  if (compositor == Compositor::Sway) {
    std::string lines =
        "xwayland disable\n"
        "output HEADLESS-1 resolution 1280x800 position 0 0\n"
        "focus_follows_mouse no\n";
    for (const std::string& line : config) lines += line + "\n";
    test::WriteBytes(runtime_ + "/config", lines);
    GiveFolder(runtime_);
    compositorProcess_ =
        Start({"sway", "-c", runtime_ + "/config"}, runtime_,
              {"WLR_BACKENDS=headless", "WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1"});
  } else if (compositor == Compositor::KWin) {
    std::string layout = "[Layout]\nUse=true\n";
    for (const std::string& line : config) layout += line + "\n";
    std::filesystem::create_directories(runtime_ + "/.config");
    std::filesystem::create_directories(runtime_ + "/.local/share/applications");
    test::WriteBytes(runtime_ + "/.config/kxkbrc", layout);
    // The installed binary carries a file capability that a sandbox may refuse to exec; a copy
    // carries none.
    std::filesystem::copy_file(Sh("command -v kwin_wayland"), runtime_ + "/kwin_wayland");
    GiveFolder(runtime_);
    const std::string script = "echo \"$DBUS_SESSION_BUS_ADDRESS\" > " + Quoted(runtime_ + "/bus") +
                               "; exec " + Quoted(runtime_ + "/kwin_wayland") +
                               " --virtual --socket kavo-kwin --width 1280 --height 800"
                               " --no-lockscreen --no-global-shortcuts --no-kactivities";
    compositorProcess_ = Start({"dbus-run-session", "--", "sh", "-c", script}, runtime_);
  } else {
    GiveFolder(runtime_);
    // --debug lets its screenshot tool work.
    compositorProcess_ = Start({"weston", "--backend=headless-backend.so", "--use-pixman",
                                "--width=1280", "--height=800", "--idle-time=0", "--debug"},
                               runtime_);
  }
  const auto socketNamed = [&](const std::string& prefix) {
    for (const auto& entry : std::filesystem::directory_iterator(runtime_)) {
      const std::string name = entry.path().filename();
      if (name.starts_with(prefix) && entry.is_socket()) return entry.path().string();
    }
    return std::string();
  };
  if (!WaitUntil([&] {
        display_ = socketNamed(compositor == Compositor::KWin ? "kavo-kwin" : "wayland-");
        ipc_ = socketNamed("sway-ipc.");
        bus_ = test::ReadBytes(runtime_ + "/bus");
        while (!bus_.empty() && bus_.back() == '\n') bus_.pop_back();
        switch (compositor) {
          case Compositor::Sway:
            return !display_.empty() && !ipc_.empty();
          case Compositor::KWin:
            return !display_.empty() && !bus_.empty();
          case Compositor::Weston:
            break;
        }
        return !display_.empty();
      })) {
    throw std::runtime_error("the compositor did not start: " + compositorProcess_->Errors());
  }
}

WaylandSession::~WaylandSession() {
  compositorProcess_.reset();
  std::error_code ec;
  std::filesystem::remove_all(runtime_, ec);
}

std::unique_ptr<Process> WaylandSession::Start(const std::vector<std::string>& argv,
                                               const std::string& folder,
                                               std::vector<std::string> env) const {
  std::vector<std::string> full;
  if (!user_.empty()) {
    full = {"setpriv", "--reuid=" + user_, "--regid=" + user_, "--clear-groups"};
  }
  full.insert(full.end(), argv.begin(), argv.end());
  env.insert(env.begin(),
             {"XDG_RUNTIME_DIR=" + runtime_, "HOME=" + (folder.empty() ? runtime_ : folder)});
  // Not for sway itself, which would take a display to mean it runs nested.
  if (!display_.empty()) env.insert(env.begin(), "WAYLAND_DISPLAY=" + display_);
  if (!ipc_.empty()) env.insert(env.begin(), "SWAYSOCK=" + ipc_);
  if (!bus_.empty()) env.insert(env.begin(), "DBUS_SESSION_BUS_ADDRESS=" + bus_);
  return std::make_unique<Process>(full, folder, env);
}

void WaylandSession::GiveFolder(const std::string& folder) const {
  if (!user_.empty()) Sh("chown -R " + user_ + ": " + Quoted(folder));
}

void WaylandSession::Authorize(const std::string& program, const std::string& waylandInterfaces,
                               const std::string& dbusInterfaces) const {
  std::string entry = "[Desktop Entry]\nType=Application\nName=" +
                      std::filesystem::path(program).filename().string() + "\nExec=" + program +
                      "\nX-KDE-Wayland-Interfaces=" + waylandInterfaces + "\n";
  if (!dbusInterfaces.empty()) entry += "X-KDE-DBUS-Restricted-Interfaces=" + dbusInterfaces + "\n";
  const std::string file = runtime_ + "/.local/share/applications/" +
                           std::filesystem::path(program).filename().string() + ".desktop";
  test::WriteBytes(file, entry);
  GiveFolder(file);
}

std::string WaylandSession::Swaymsg(const std::string& arguments) const {
  return Sh("SWAYSOCK=" + Quoted(ipc_) + " swaymsg " + arguments);
}

std::vector<WaylandSession::Window> WaylandSession::Windows() const {
  std::vector<Window> windows;
  const auto tree = nlohmann::json::parse(Swaymsg("-r -t get_tree"), nullptr, false);
  if (!tree.is_discarded()) CollectWindows(tree, windows);
  return windows;
}

WaylandSession::Window WaylandSession::Find(const std::string& title) const {
  for (const Window& window : Windows()) {
    if (window.title == title) return window;
  }
  return {};
}

std::string WaylandSession::Focused() const {
  for (const Window& window : Windows()) {
    if (window.focused) return window.title;
  }
  return "";
}

bool WaylandSession::Command(const std::string& command) const {
  const auto replies = nlohmann::json::parse(Swaymsg("-r " + Quoted(command)), nullptr, false);
  if (replies.is_discarded() || !replies.is_array() || replies.empty()) return false;
  for (const auto& reply : replies) {
    if (!reply.value("success", false)) return false;
  }
  return true;
}

void WaylandSession::Screenshot(const std::string& path) const {
  if (compositor_ == Compositor::Sway) {
    Sh("WAYLAND_DISPLAY=" + Quoted(display_) + " grim " + Quoted(path));
    return;
  }
  // Weston's tool writes a file of its own naming into the folder it runs in.
  const std::string folder = runtime_ + "/shots";
  std::filesystem::create_directory(folder);
  GiveFolder(folder);
  auto tool = Start({"weston-screenshooter"}, folder);
  tool->Wait(std::chrono::seconds(10));
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::filesystem::rename(entry.path(), path);
  }
}

int WaylandSession::CountPixels(const Geometry& area, const std::string& colour) const {
  const std::string geometry = std::to_string(area.x) + "," + std::to_string(area.y) + " " +
                               std::to_string(area.width) + "x" + std::to_string(area.height);
  const std::string shot = runtime_ + "/area.png";
  Sh("WAYLAND_DISPLAY=" + Quoted(display_) + " grim -g " + Quoted(geometry) + " " + Quoted(shot));
  return CountColour(shot, colour);
}

int CountColour(const std::string& png, const std::string& colour) {
  // The colour white and the rest black: the mean times the area counts it.
  const std::string count =
      Sh("convert " + Quoted(png) + " -alpha off -fill black +opaque '" + colour +
         "' -fill white -opaque '" + colour + "' -format '%[fx:round(mean*w*h)]' info:");
  return count.empty() ? 0 : std::stoi(count);
}

}  // namespace kavo::e2e
