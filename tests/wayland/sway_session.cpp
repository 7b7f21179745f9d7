#include "sway_session.h"

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

void CollectWindows(const nlohmann::json& node, std::vector<SwaySession::Window>& windows) {
  if (node.contains("pid") && node.value("type", "") != "workspace") {
    SwaySession::Window window;
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

std::string SwaySession::Unavailable() {
  if (Sh("command -v sway").empty()) return "sway is not installed";
  if (Sh("command -v swaymsg").empty()) return "swaymsg is not installed";
  return "";
}

SwaySession::SwaySession(const std::vector<std::string>& config) {
  if (::geteuid() == 0) {
    user_ = kUser;
    Sh("id " + user_ + " >/dev/null 2>&1 || useradd --create-home --shell /usr/sbin/nologin " +
       user_);
  }
  char pattern[] = "/tmp/kavo-sway-XXXXXX";
  if (!::mkdtemp(pattern)) throw std::runtime_error("no runtime folder");
  runtime_ = pattern;
  std::string lines =
      "xwayland disable\n"
      "output HEADLESS-1 resolution 1280x800 position 0 0\n"
      "focus_follows_mouse no\n";
  for (const std::string& line : config) lines += line + "\n";
  WriteFile(runtime_ + "/config", lines);
  GiveFolder(runtime_);
  sway_ = Start({"sway", "-c", runtime_ + "/config"}, runtime_,
                {"WLR_BACKENDS=headless", "WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1"});
  const auto socketNamed = [&](const std::string& prefix) {
    for (const auto& entry : std::filesystem::directory_iterator(runtime_)) {
      const std::string name = entry.path().filename();
      if (name.starts_with(prefix) && entry.is_socket()) return entry.path().string();
    }
    return std::string();
  };
  if (!WaitUntil([&] {
        display_ = socketNamed("wayland-");
        ipc_ = socketNamed("sway-ipc.");
        return !display_.empty() && !ipc_.empty();
      })) {
    throw std::runtime_error("sway did not start: " + sway_->Errors());
  }
}

SwaySession::~SwaySession() {
  sway_.reset();
  std::error_code ec;
  std::filesystem::remove_all(runtime_, ec);
}

std::unique_ptr<Process> SwaySession::Start(const std::vector<std::string>& argv,
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
  if (!display_.empty()) env.insert(env.begin(), {"WAYLAND_DISPLAY=" + display_, "SWAYSOCK=" + ipc_});
  return std::make_unique<Process>(full, folder, env);
}

void SwaySession::GiveFolder(const std::string& folder) const {
  if (!user_.empty()) Sh("chown -R " + user_ + ": " + Quoted(folder));
}

std::string SwaySession::Swaymsg(const std::string& arguments) const {
  return Sh("SWAYSOCK=" + Quoted(ipc_) + " swaymsg " + arguments);
}

std::vector<SwaySession::Window> SwaySession::Windows() const {
  std::vector<Window> windows;
  const auto tree = nlohmann::json::parse(Swaymsg("-r -t get_tree"), nullptr, false);
  if (!tree.is_discarded()) CollectWindows(tree, windows);
  return windows;
}

SwaySession::Window SwaySession::Find(const std::string& title) const {
  for (const Window& window : Windows()) {
    if (window.title == title) return window;
  }
  return {};
}

std::string SwaySession::Focused() const {
  for (const Window& window : Windows()) {
    if (window.focused) return window.title;
  }
  return "";
}

bool SwaySession::Command(const std::string& command) const {
  const auto replies = nlohmann::json::parse(Swaymsg("-r " + Quoted(command)), nullptr, false);
  if (replies.is_discarded() || !replies.is_array() || replies.empty()) return false;
  for (const auto& reply : replies) {
    if (!reply.value("success", false)) return false;
  }
  return true;
}

void SwaySession::Screenshot(const std::string& path) const {
  Sh("WAYLAND_DISPLAY=" + Quoted(display_) + " grim " + Quoted(path));
}


int SwaySession::CountPixels(const Geometry& area, const std::string& colour) const {
  const std::string geometry = std::to_string(area.x) + "," + std::to_string(area.y) + " " +
                               std::to_string(area.width) + "x" + std::to_string(area.height);
  const std::string count = Sh("WAYLAND_DISPLAY=" + Quoted(display_) + " grim -g " +
                               Quoted(geometry) + " - | convert png:- -depth 8 txt:- | grep -c '" +
                               colour + "'");
  return count.empty() ? 0 : std::stoi(count);
}

}  // namespace kavo::e2e
