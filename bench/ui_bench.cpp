// The bar's own work, on the offscreen platform: rebuilding the bar and re-flowing it.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <fstream>

#include "base/text_codec.h"
#include "figure_reporter.h"
#include "platform/fake/fake_desktop.h"
#include "ui/Unit1.h"

namespace {

namespace fs = std::filesystem;

// A home folder whose key file holds this many bindings.
std::u16string HomeWith(int bindings) {
  const fs::path home = fs::temp_directory_path() /
                        ("kavo-ui-bench-" + std::to_string(QCoreApplication::applicationPid()) +
                         "-" + std::to_string(bindings));
  fs::create_directories(home);
  std::ofstream keys(home / "KavoKey.txt", std::ios::binary);
  for (int i = 0; i < bindings; ++i) keys << "B" << i << ",Ctrl,Z\r\n";
  return kavo::FromUtf8Lossy(home.string() + "/");
}

// A bar on screen with this many bindings, at its usual size or as large as a bar may be:
// 4096 x 4096 holds 12,000 buttons of the default size, so every one is built.
struct ShownBar {
  explicit ShownBar(int bindings, bool largest = false) : form(input, HomeWith(bindings)) {
    if (largest) form.resize(kavo::TForm1::kMaxSide, kavo::TForm1::kMaxSide);
    form.show();
    QApplication::processEvents();
    // Painting 4096 x 4096 pixels would be all that is measured.
    if (largest) form.setUpdatesEnabled(false);
  }
  kavo::platform::FakeDesktop input;
  kavo::TForm1 form;
};

// Rebuilding a bar where every binding's button can be seen: the buttons made, placed by one
// re-flow, and the old ones deleted, without painting.
void BM_RefreshBtn(benchmark::State& state) {
  ShownBar bar(static_cast<int>(state.range(0)), true);
  for (auto _ : state) {
    bar.form.RefreshBtn();
    QApplication::processEvents();
  }
  state.counters["buttons"] = static_cast<double>(bar.form.Buttons().size());
}
BENCHMARK(BM_RefreshBtn)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Rebuilding a bar of the usual size: only the buttons that fit are built, however long the
// key file.
void BM_RefreshBtnUsualSize(benchmark::State& state) {
  ShownBar bar(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    bar.form.RefreshBtn();
    QApplication::processEvents();
  }
  state.counters["buttons"] = static_cast<double>(bar.form.Buttons().size());
}
BENCHMARK(BM_RefreshBtnUsualSize)->Arg(4)->Arg(100000)->Unit(benchmark::kMillisecond);

// Resizing the window: re-flows all 1,000 buttons, then paints.
void BM_ReflowOnResize(benchmark::State& state) {
  ShownBar bar(1000, true);
  bool wide = false;
  for (auto _ : state) {
    bar.form.resize(wide ? 600 : 400, 400);
    QApplication::processEvents();
    wide = !wide;
  }
}
BENCHMARK(BM_ReflowOnResize)->Unit(benchmark::kMillisecond);

// The re-flow alone: 1,000 buttons placed for a new width, without painting.
void BM_Reflow1000(benchmark::State& state) {
  ShownBar bar(1000, true);
  bool wide = false;
  for (auto _ : state) {
    bar.form.FlowLayout1->setGeometry(QRect(0, 0, wide ? 4000 : 3000, 4000));
    wide = !wide;
  }
  state.counters["buttons"] = static_cast<double>(bar.form.Buttons().size());
}
BENCHMARK(BM_Reflow1000)->Unit(benchmark::kMillisecond);

// Switching sets: the target changes between a program with a 100-line set and one without,
// and each time the bar loads and shows the other key file (rebuilt and re-flowed).
void BM_SwitchProgramSet(benchmark::State& state) {
  ShownBar bar(4);
  {
    std::ofstream set(kavo::ToUtf8(bar.form.HomePath) + "KavoKey.paint.txt", std::ios::binary);
    for (int i = 0; i < 100; ++i) set << "Paint" << i << ",Ctrl,Shift,Z\r\n";
  }
  bar.input.programs = {{1001, u"Paint"}, {1002, u"Editor"}};
  bar.input.titles = {{1001, u"Canvas"}, {1002, u"Notes"}};
  bar.form.Timer1->stop();
  bool paint = false;
  for (auto _ : state) {
    paint = !paint;
    bar.form.ReAcquireClick();
    bar.input.foreground = paint ? 1001 : 1002;
    bar.form.Timer1Timer();  // acquires the target; the set follows on the next turn
    QApplication::processEvents();
    QApplication::processEvents();
  }
  state.counters["buttons"] = static_cast<double>(bar.form.Buttons().size());
}
BENCHMARK(BM_SwitchProgramSet)->Unit(benchmark::kMillisecond);

// The rebuild and re-flow figures the targets are about.
class TargetReporter : public kavo::bench::FigureReporter {
  void PrintFigures() override {
    Ratio("rebuild, 10,000 vs 1,000 buttons (target: within 12x)", "BM_RefreshBtn/10000",
          "BM_RefreshBtn/1000");
    Ratio("rebuild, 100,000 vs 4 bindings at the usual size", "BM_RefreshBtnUsualSize/100000",
          "BM_RefreshBtnUsualSize/4");
    Time("re-flow of 1,000 buttons (target: under 2 ms)", "BM_Reflow1000");
  }
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  TargetReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(fs::temp_directory_path(), ec)) {
    if (e.path().filename().string().starts_with(
            "kavo-ui-bench-" + std::to_string(QCoreApplication::applicationPid()))) {
      fs::remove_all(e.path(), ec);
    }
  }
  return 0;
}
