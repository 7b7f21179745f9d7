#pragma once
// Small helpers for the core's tests: a temporary folder, raw file bytes, UTF-8 literals.

#include <string>
#include <string_view>

namespace kavo::test {

// A fresh folder, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string Native(std::string_view name) const { return path_ + "/" + std::string(name); }
  std::u16string File(std::string_view name) const;

 private:
  std::string path_;
};

std::u16string U16(std::string_view utf8);
std::string U8(std::u16string_view text);

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, std::string_view bytes);

}  // namespace kavo::test
