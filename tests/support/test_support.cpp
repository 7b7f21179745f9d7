#include "test_support.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "base/errors.h"
#include "base/text_codec.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/files.h"
#else
#include <unistd.h>
#endif

namespace kavo::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::mt19937 rng(std::random_device{}());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate =
        fs::temp_directory_path() / ("kavo-test-" + std::to_string(rng() % 100000000));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate.string();
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  // Give back write permission a test may have taken away, so everything can go.
  for (const auto& entry : fs::recursive_directory_iterator(path_, ec)) {
    fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(path_, ec);
}

std::string TempDir::Native(std::string_view name) const {
  return (fs::path(path_) / fs::path(std::string(name))).make_preferred().string();
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

void SetReadOnly(const std::string& path, bool readOnly) {
  const auto write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(path, readOnly ? write : fs::perms::owner_write,
                  readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

#ifdef _WIN32

bool IsPrivileged() {
  return false;
}

std::string FailureText(Failure failure) {
  DWORD code = ERROR_ACCESS_DENIED;
  if (failure == Failure::NoSuchFile) code = ERROR_FILE_NOT_FOUND;
  if (failure == Failure::NoSuchFolder) code = ERROR_PATH_NOT_FOUND;
  if (failure == Failure::NotAFile) code = ERROR_NOT_SUPPORTED;
  if (failure == Failure::TooLarge) code = ERROR_FILE_TOO_LARGE;
  if (failure == Failure::LinkLoop) code = ERROR_CANT_RESOLVE_FILENAME;
  return ToUtf8(TrimSystemText(platform::ErrorText(static_cast<platform::ErrorCode>(code))));
}

#else

bool IsPrivileged() {
  return ::geteuid() == 0;
}

std::string FailureText(Failure failure) {
  switch (failure) {
    case Failure::NoSuchFile:
    case Failure::NoSuchFolder:
      return "No such file or directory";
    case Failure::Denied:
      return "Permission denied";
    case Failure::OpenFolder:
    case Failure::ReplaceFolder:
      return "Is a directory";
    case Failure::NotAFile:
      return "Operation not supported";
    case Failure::TooLarge:
      return "File too large";
    case Failure::LinkLoop:
      return "Too many levels of symbolic links";
  }
  return "";
}

#endif

}  // namespace kavo::test
