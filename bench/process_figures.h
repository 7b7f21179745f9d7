#pragma once
// Figures of a whole process the benchmarks read from /proc, and the arithmetic they share.

#include <sys/types.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kavo::bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

inline long StatusField(pid_t pid, const std::string& field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
  }
  return -1;
}

// Calls read with an open file of each thread of the process (status, schedstat, ...).
template <typename Read>
void ForEachThread(pid_t pid, const char* file, Read read) {
  std::error_code ec;
  for (const auto& task :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
    std::ifstream in(task.path() / file);
    read(in);
  }
}

// CPU time of every thread of the process so far, from the scheduler's own count.
inline double CpuMs(pid_t pid) {
  double ns = 0;
  ForEachThread(pid, "schedstat", [&](std::ifstream& in) {
    double onCpu = 0;
    if (in >> onCpu) ns += onCpu;
  });
  return ns / 1e6;
}

// Context switches of every thread of the process so far: each is a wake-up.
inline long Wakeups(pid_t pid) {
  long total = 0;
  ForEachThread(pid, "status", [&](std::ifstream& in) {
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0 ||
          line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
        total += std::stol(line.substr(line.find(':') + 1));
      }
    }
  });
  return total;
}

}  // namespace kavo::bench
