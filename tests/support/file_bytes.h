#pragma once
// A file's bytes, read and written whole with the standard library alone, so that what a test
// checks never goes through the code under test.

#include <string>
#include <string_view>

namespace kavo::test {

// The file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
// Replaces the file's content with the bytes.
void WriteBytes(const std::string& path, std::string_view bytes);

}  // namespace kavo::test
