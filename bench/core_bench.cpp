// Core benchmarks: key files, the comma rule and the settings file, each beside a baseline of
// plain byte work measured in the same run; the ratios are printed at the end.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/text_codec.h"
#include "bindings/comma_rule.h"
#include "bindings/key_list.h"
#include "figure_reporter.h"
#include "platform/code_page.h"
#include "settings/ini_store.h"

namespace {

namespace fs = std::filesystem;
using kavo::TextEncoding;

const fs::path& Folder() {
  static const fs::path folder = [] {
    fs::path p = fs::temp_directory_path() / ("kavo-bench-" + std::to_string(::getpid()));
    fs::create_directories(p);
    return p;
  }();
  return folder;
}

std::u16string Path(const std::string& name) {
  return kavo::FromUtf8Lossy((Folder() / name).string());
}

std::string Slurp(const std::u16string& path) {
  std::ifstream in(kavo::ToUtf8(path), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

const char* EncodingName(TextEncoding e) {
  switch (e) {
    case TextEncoding::Utf8:
      return "utf8";
    case TextEncoding::Utf16LE:
      return "utf16le";
    case TextEncoding::Utf16BE:
      return "utf16be";
    default:
      return "ansi";
  }
}

// A 100,000-line key file in the given encoding, written once through the list itself.
std::u16string KeyFile(TextEncoding encoding) {
  const std::u16string path = Path(std::string("keys-") + EncodingName(encoding) + ".txt");
  if (fs::exists(kavo::ToUtf8(path))) return path;
  // The signature alone, so that the list remembers the encoding it then saves in.
  const char* seed = encoding == TextEncoding::Utf8      ? "\xEF\xBB\xBF"
                     : encoding == TextEncoding::Utf16LE ? "\xFF\xFE"
                     : encoding == TextEncoding::Utf16BE ? "\xFE\xFF"
                                                         : "";
  std::ofstream(kavo::ToUtf8(path), std::ios::binary) << seed;
  kavo::KeyList list;
  list.LoadFromFile(path);
  for (int i = 0; i < 100000; ++i) {
    list.Add(u"Binding number " + kavo::FromUtf8Lossy(std::to_string(i)) + u",Ctrl,Shift,Z");
  }
  list.SaveToFile(path);
  return path;
}

void BM_LoadKeyFile(benchmark::State& state, TextEncoding encoding) {
  kavo::platform::ScopedCodePage cp(1252);
  const std::u16string path = KeyFile(encoding);
  for (auto _ : state) {
    kavo::KeyList list;
    list.LoadFromFile(path);
    benchmark::DoNotOptimize(list.Count());
  }
}

// Baseline for loading: read the same bytes and count line ends with memchr.
void BM_BaselineReadCount(benchmark::State& state, TextEncoding encoding) {
  const std::string path = kavo::ToUtf8(KeyFile(encoding));
  std::string buffer;
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    buffer.resize(static_cast<std::size_t>(fs::file_size(path)));
    benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
    ::close(fd);
    std::size_t lines = 0;
    for (const char *p = buffer.data(), *end = p + buffer.size();
         (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p) {
      ++lines;
    }
    benchmark::DoNotOptimize(lines);
  }
}

void BM_SaveKeyFile(benchmark::State& state, TextEncoding encoding) {
  kavo::platform::ScopedCodePage cp(1252);
  kavo::KeyList list;
  list.LoadFromFile(KeyFile(encoding));
  const std::u16string out = Path(std::string("save-") + EncodingName(encoding) + ".txt");
  for (auto _ : state) list.SaveToFile(out);
}

// Baseline for saving: write the same number of bytes to a file, as plainly as possible.
void BM_BaselineWrite(benchmark::State& state, TextEncoding encoding) {
  const std::string bytes = Slurp(KeyFile(encoding));
  const std::string out = (Folder() / (std::string("plain-") + EncodingName(encoding))).string();
  for (auto _ : state) {
    const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
    ::close(fd);
  }
}

// Baseline for saving as a save must: the same bytes into a new file beside, flushed to the
// disk, then renamed over the old one, so that a crash leaves one whole file or the other.
void BM_BaselineSafeWrite(benchmark::State& state, TextEncoding encoding) {
  const std::string bytes = Slurp(KeyFile(encoding));
  const std::string out = (Folder() / (std::string("safe-") + EncodingName(encoding))).string();
  const std::string temp = out + ".tmp";
  for (auto _ : state) {
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
    benchmark::DoNotOptimize(::fdatasync(fd));
    ::close(fd);
    ::rename(temp.c_str(), out.c_str());
  }
}

void BM_CommaRuleMillionLines(benchmark::State& state) {
  const std::u16string lines[] = {u"Undo,Ctrl,Z", u"Redo,Ctrl,Shift,Z", u"\"a,b\",Ctrl,Z",
                                  u"Help,F1", u"Say \"hi\",Alt,Right"};
  for (auto _ : state) {
    std::size_t fields = 0;
    for (int i = 0; i < 1000000; ++i) fields += kavo::SplitFields(lines[i % 5]).size();
    benchmark::DoNotOptimize(fields);
  }
}

void BM_IniParseAndWrite10k(benchmark::State& state) {
  kavo::platform::ScopedCodePage cp(1252);
  const std::u16string path = Path("big.ini");
  std::string text;
  for (int s = 0; s < 1000; ++s) {
    text += "[Section" + std::to_string(s) + "]\r\n";
    for (int k = 0; k < 9; ++k)
      text += "Key" + std::to_string(k) + " = " + std::to_string(s * k) + "\r\n";
  }
  const std::string seed = text;
  for (auto _ : state) {
    state.PauseTiming();
    std::ofstream(kavo::ToUtf8(path), std::ios::binary | std::ios::trunc) << seed;
    state.ResumeTiming();
    kavo::TIniStore ini;
    ini.SetPath(path);
    benchmark::DoNotOptimize(ini.ReadInteger(u"Section999", u"Key8", 0));
    ini.UpdateIniFile();
  }
}

// The load and save figures beside their baselines.
class RatioReporter : public kavo::bench::FigureReporter {
  void PrintFigures() override {
    std::printf("Ratios to the baselines measured in this run (target: within 3x):\n");
    for (const std::string enc : {"ansi", "utf8", "utf16le", "utf16be"}) {
      Ratio("load " + enc, "BM_LoadKeyFile/" + enc, "BM_BaselineReadCount/" + enc);
      Ratio("save " + enc, "BM_SaveKeyFile/" + enc, "BM_BaselineSafeWrite/" + enc);
    }
    std::printf("Saves beside a plain write (no flush to the disk, no rename):\n");
    for (const std::string enc : {"ansi", "utf8", "utf16le", "utf16be"}) {
      Ratio("save " + enc, "BM_SaveKeyFile/" + enc, "BM_BaselineWrite/" + enc);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  for (const TextEncoding e :
       {TextEncoding::Ansi, TextEncoding::Utf8, TextEncoding::Utf16LE, TextEncoding::Utf16BE}) {
    const std::string name = EncodingName(e);
    benchmark::RegisterBenchmark(("BM_LoadKeyFile/" + name).c_str(), BM_LoadKeyFile, e)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("BM_BaselineReadCount/" + name).c_str(), BM_BaselineReadCount, e)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("BM_SaveKeyFile/" + name).c_str(), BM_SaveKeyFile, e)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("BM_BaselineWrite/" + name).c_str(), BM_BaselineWrite, e)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("BM_BaselineSafeWrite/" + name).c_str(), BM_BaselineSafeWrite, e)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("BM_CommaRuleMillionLines", BM_CommaRuleMillionLines)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_IniParseAndWrite10k", BM_IniParseAndWrite10k)
      ->Unit(benchmark::kMillisecond);

  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::error_code ec;
  fs::remove_all(Folder(), ec);
  return 0;
}
