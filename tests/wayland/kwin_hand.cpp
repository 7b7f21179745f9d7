#include "kwin_hand.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace kavo::e2e {
namespace {

using namespace std::chrono_literals;

std::size_t CountDone(const std::string& answers) {
  std::size_t count = 0;
  for (std::size_t at = answers.find("done\n"); at != std::string::npos;
       at = answers.find("done\n", at + 1)) {
    ++count;
  }
  return count;
}

}  // namespace

KWinHand::KWinHand(const WaylandSession& session, const std::string& driverPath)
    : session_(session), folder_(session.RuntimeFolder() + "/hand") {
  std::filesystem::create_directories(folder_);
  // KWin knows a program by the path it runs from: a copy of the session's own.
  const std::string driver = folder_ + "/kavo_kwin_driver";
  std::filesystem::copy_file(driverPath, driver);
  commands_ = folder_ + "/commands";
  answers_ = folder_ + "/answers";
  if (::mkfifo(commands_.c_str(), 0600) != 0) throw std::runtime_error("no pipe for the driver");
  test::WriteBytes(answers_, "");
  session.GiveFolder(folder_);
  session.Authorize(driver, "org_kde_plasma_window_management,org_kde_kwin_fake_input",
                    "org.kde.KWin.ScreenShot2");
  // KWin reads a new desktop file within about a second; until then it hides the interfaces
  // from the driver, which then ends at once: it is started again.
  const bool started = WaitUntil([&] {
    driver_ = session.Start({driver, commands_, answers_}, folder_, {"QT_QPA_PLATFORM=offscreen"});
    std::this_thread::sleep_for(500ms);
    return driver_->Wait(0ms) == -1;
  });
  if (!started) throw std::runtime_error("KWin refused the test driver: " + driver_->Errors());
  commandsFd_ = ::open(commands_.c_str(), O_WRONLY);
  Do("windows");
}

KWinHand::~KWinHand() {
  if (commandsFd_ >= 0) ::close(commandsFd_);
  driver_.reset();
}

std::string KWinHand::Do(const std::string& command) {
  const std::string line = command + "\n";
  if (::write(commandsFd_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
    throw std::runtime_error("the driver is gone: " + driver_->Errors());
  }
  ++done_;
  std::string answers;
  if (!WaitUntil([&] {
        answers = test::ReadBytes(answers_);
        return CountDone(answers) >= done_;
      })) {
    throw std::runtime_error("the driver did not do " + command + ": " + driver_->Errors());
  }
  // What this command printed: the lines after the previous "done".
  std::size_t end = answers.rfind("done\n");
  std::size_t start = end == 0 ? 0 : answers.rfind("done\n", end - 1);
  start = start == std::string::npos ? 0 : start + 5;
  return answers.substr(start, end - start);
}

void KWinHand::MoveTo(int x, int y) {
  Do("move " + std::to_string(x) + " " + std::to_string(y));
}

long long KWinHand::Button(bool down) {
  const std::string at = Do(down ? "button 1" : "button 0");
  return at.starts_with("at ") ? std::stoll(at.substr(3)) : 0;
}

void KWinHand::Click(int x, int y) {
  MoveTo(x, y);
  std::this_thread::sleep_for(100ms);
  Button(true);
  Button(false);
}

void KWinHand::Drag(int x0, int y0, int x1, int y1) {
  MoveTo(x0, y0);
  std::this_thread::sleep_for(100ms);
  Button(true);
  for (int step = 1; step <= 4; ++step) {
    MoveTo(x0 + (x1 - x0) * step / 4, y0 + (y1 - y0) * step / 4);
    std::this_thread::sleep_for(30ms);
  }
  Button(false);
}

void KWinHand::TapKey(int evdevCode) {
  Do("key " + std::to_string(evdevCode) + " 1");
  Do("key " + std::to_string(evdevCode) + " 0");
}

std::vector<KWinHand::Window> KWinHand::Windows() {
  std::vector<Window> windows;
  std::istringstream in(Do("windows"));
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    Window window;
    std::string active, rect;
    std::getline(fields, window.title, '\t');
    std::getline(fields, window.appId, '\t');
    std::getline(fields, active, '\t');
    std::getline(fields, rect);
    window.active = active == "1";
    std::istringstream(rect) >> window.rect.x >> window.rect.y >> window.rect.width >>
        window.rect.height;
    windows.push_back(window);
  }
  return windows;
}

KWinHand::Window KWinHand::Find(const std::string& title) {
  for (const Window& window : Windows()) {
    if (window.title == title) return window;
  }
  return {};
}

std::string KWinHand::Active() {
  for (const Window& window : Windows()) {
    if (window.active) return window.title;
  }
  return "";
}

void KWinHand::Activate(const std::string& title) {
  Do("activate " + title);
}

void KWinHand::Shot(const Geometry& area, const std::string& path) {
  const std::string shot = folder_ + "/shot.png";
  const std::string error =
      Do("shot " + std::to_string(area.x) + " " + std::to_string(area.y) + " " +
         std::to_string(area.width) + " " + std::to_string(area.height) + " " + shot);
  if (!error.empty()) throw std::runtime_error("no screenshot: " + error);
  std::filesystem::copy_file(shot, path, std::filesystem::copy_options::overwrite_existing);
}

int KWinHand::CountPixels(const Geometry& area, const std::string& colour) {
  const std::string shot = folder_ + "/area.png";
  Shot(area, shot);
  return CountColour(shot, colour);
}

}  // namespace kavo::e2e
