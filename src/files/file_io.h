#pragma once
// Whole-file reading and safe replacing, raising the file error kinds.

#include <string>
#include <string_view>

namespace kavo {

// The file's bytes; EFOpenError when it cannot be opened or read.
std::string ReadFileBytes(std::u16string_view path);

// Replaces the file with bytes; EFCreateError or EWriteError on failure, the old file untouched.
void WriteFileBytes(std::u16string_view path, std::string_view bytes);

}  // namespace kavo
