// The Windows bar's start-up and memory under Wine, beside a bare Qt window built the same way
// (the toolkit's floor there), started in turns from the same folder on one Xvfb and openbox.
// Both pay for Wine alike; the figures compare the bar with the floor, not with Windows.
//
//   kavo_wine_bench PORTABLE_FOLDER REFERENCE_EXE   (make bench runs it where a Windows build
//                                                    exists; needs Wine)

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "desktop.h"
#include "window_observer.h"

namespace {

namespace fs = std::filesystem;
using kavo::e2e::Process;
using namespace kavo::bench;

struct Figures {
  std::vector<double> mappedMs, rssKb;
};

// One start: exec to the window being mapped, and resident memory once idle.
void StartOnce(const std::string& exe, const std::string& window, const std::string& folder,
               const std::vector<std::string>& env, Observer& observer, Figures& figures) {
  observer.Drain();
  const auto start = Clock::now();
  Process process({"wine", exe}, folder, env);
  if (observer.AwaitMapped(window, std::chrono::seconds(60))) {
    figures.mappedMs.push_back(Ms(Clock::now() - start));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  figures.rssKb.push_back(static_cast<double>(StatusField(process.pid(), "VmRSS")));
  process.Signal(SIGKILL);
  process.Wait(std::chrono::seconds(5));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s PORTABLE_FOLDER REFERENCE_EXE\n", argv[0]);
    return 2;
  }
  kavo::e2e::StartDesktop();
  const fs::path folder =
      fs::temp_directory_path() / ("kavo-wine-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  fs::copy(argv[1], folder / "Kavo", fs::copy_options::recursive);
  fs::copy_file(argv[2], folder / "Kavo" / "reference.exe");
  const fs::path prefix = folder / "wine-prefix";
  const std::vector<std::string> env = {"WINEPREFIX=" + prefix.string(), "WINEDEBUG=-all",
                                        "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d",
                                        "LC_ALL=C.UTF-8"};
  {
    Process boot({"wineboot", "-i"}, folder.string(), env);
    boot.Wait(std::chrono::seconds(120));
  }
  // The server stays up between starts, as it does on a desktop where Wine programs run.
  Process server({"wineserver", "-p"}, folder.string(), env);

  {
    Observer observer;
    const std::string home = (folder / "Kavo").string();
    Figures kavo, reference;
    // A first start of each loads the libraries from the disk; the figures are of later ones.
    Figures warmup;
    StartOnce(home + "/kavo.exe", "Form1", home, env, observer, warmup);
    StartOnce(home + "/reference.exe", "Reference bar", home, env, observer, warmup);
    constexpr int kStarts = 10;
    for (int run = 0; run < kStarts; ++run) {
      StartOnce(home + "/kavo.exe", "Form1", home, env, observer, kavo);
      StartOnce(home + "/reference.exe", "Reference bar", home, env, observer, reference);
    }
    std::printf("\nUnder Wine (the Windows build):   %14s %14s\n", "kavo.exe", "reference");
    std::printf("%-34s %11.1f ms %11.1f ms\n", "exec to mapped (median of 10)",
                Median(kavo.mappedMs), Median(reference.mappedMs));
    std::printf("%-34s %11.1f MB %11.1f MB\n", "resident memory, idle (median)",
                Median(kavo.rssKb) / 1024, Median(reference.rssKb) / 1024);
    std::printf("%-46s %5.2fx\n", "kavo / reference, start-up",
                Median(kavo.mappedMs) / Median(reference.mappedMs));
    std::printf("%-46s %5.2fx\n", "kavo / reference, resident memory",
                Median(kavo.rssKb) / Median(reference.rssKb));
  }

  Process({"wineserver", "-k"}, folder.string(), env).Wait(std::chrono::seconds(10));
  std::error_code ec;
  fs::remove_all(folder, ec);
  kavo::e2e::StopDesktop();
  return 0;
}
