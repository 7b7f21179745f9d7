#pragma once
// UTF-8 and UTF-16 conversions between bytes and UTF-16 code units. Written here rather than
// taken from a library because the file rules need strict UTF-8 (no replacement, no overlongs,
// no surrogates) and exact control over unpaired surrogates, and the core must not call the OS.

#include <optional>
#include <string>
#include <string_view>

namespace kavo {

// Strict UTF-8 to UTF-16; nullopt on any byte sequence that is not valid UTF-8.
std::optional<std::u16string> DecodeUtf8Strict(std::string_view bytes);

// True when the bytes are strictly valid UTF-8.
bool IsValidUtf8(std::string_view bytes);

// UTF-8 to UTF-16, each invalid sequence becoming U+FFFD.
std::u16string FromUtf8Lossy(std::string_view bytes);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// Appends text as UTF-8 (unpaired surrogates as U+FFFD).
void AppendUtf8(std::string& out, std::u16string_view text);

// Two bytes per code unit; an odd last byte is ignored.
std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian);
void AppendUtf16(std::string& out, std::u16string_view text, bool bigEndian);

}  // namespace kavo
