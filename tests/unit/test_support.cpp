#include "test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/text_codec.h"

namespace kavo::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kavo-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Give back write permission a test may have taken away, so everything can go.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ec)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(path_, ec);
}

std::u16string TempDir::File(std::string_view name) const {
  return U16(Native(name));
}

std::u16string U16(std::string_view utf8) {
  return FromUtf8Lossy(utf8);
}
std::string U8(std::u16string_view text) {
  return ToUtf8(text);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kavo::test
