#pragma once
// Prints each benchmark as Google Benchmark does and, at the end, the figures a target is about,
// each beside what it is measured against in the same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace kavo::bench {

class FigureReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n");
    PrintFigures();
  }

 protected:
  virtual void PrintFigures() = 0;

  // "label  measured ms vs base ms = ratio", where both were run.
  void Ratio(const std::string& label, const std::string& measured, const std::string& base) {
    if (!times_.count(measured) || !times_.count(base)) return;
    std::printf("  %-56s %8.3f ms vs %8.3f ms = %5.1fx\n", label.c_str(), times_[measured],
                times_[base], times_[measured] / times_[base]);
  }
  // "label  time ms", where it was run.
  void Time(const std::string& label, const std::string& name) {
    if (times_.count(name)) std::printf("  %-56s %8.3f ms\n", label.c_str(), times_[name]);
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace kavo::bench
