#pragma once
// Small helpers for the core's tests: a temporary folder, raw file bytes, UTF-8 literals, and
// the few things that differ between the systems the tests run on.

#include <string>
#include <string_view>

#include "file_bytes.h"

namespace kavo::test {

// A fresh folder, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // The path of an entry of the folder, with the system's separators.
  std::string Native(std::string_view name) const;
  std::u16string File(std::string_view name) const;

 private:
  std::string path_;
};

std::u16string U16(std::string_view utf8);
std::string U8(std::u16string_view text);

// Makes a file read-only (or writable again).
void SetReadOnly(const std::string& path, bool readOnly = true);

// True where permissions do not stop the tests (root on POSIX systems).
bool IsPrivileged();

// The system's own description of a failure, as the file messages quote it.
enum class Failure {
  NoSuchFile,     // opening a file that does not exist
  NoSuchFolder,   // creating a file in a folder that does not exist
  Denied,         // a read-only or unreadable file
  OpenFolder,     // opening a folder as a file
  ReplaceFolder,  // saving over a folder
  NotAFile,       // reading a FIFO or a device
  TooLarge,       // reading a file beyond the bound
  LinkLoop,       // saving through symbolic links that point at each other (POSIX)
};
std::string FailureText(Failure failure);

}  // namespace kavo::test
