#pragma once
// Text files as the key file and the settings file store them: a signature naming the encoding
// (or none, for the legacy code page), then the text; lines end in CR LF, CR or LF.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kavo {

enum class TextEncoding { None, Ansi, Utf8, Utf16LE, Utf16BE };

struct DetectedEncoding {
  TextEncoding encoding;
  std::size_t signatureLength;
};

// By the first bytes: EF BB BF, FF FE, FE FF, else ANSI without signature.
DetectedEncoding DetectEncoding(std::string_view bytes);

// The text of a body in the given encoding (ANSI in the legacy code page). EEncodingError for a
// UTF-8 body that is not strictly valid, or a UTF-16 body of a single byte.
std::u16string DecodeBody(std::string_view body, TextEncoding encoding);

// Where a line stands in a text: its first code unit and its length, line end excluded. Files
// are read up to 64 MiB, so 32 bits hold both, and a long key file's table takes half the room.
struct LineSpan {
  std::uint32_t first;
  std::uint32_t length;
  bool operator==(const LineSpan&) const = default;
};

// Lines end at CR, LF or CR LF; U+0000 ends the whole text; a line end at the very end of the
// text does not add an empty line.
std::vector<LineSpan> FindLines(std::u16string_view text);
std::vector<std::u16string> SplitLines(std::u16string_view text);

// The bytes of a file holding text in the encoding (None counts as ANSI), signature included.
// ANSI gets the UTF-8 signature when the legacy code page is UTF-8. ANSI text that the legacy
// code page cannot represent exactly, or whose bytes would begin like a signature, is written as
// UTF-8 with its signature instead, so that nothing is silently replaced or misread; readers
// detect it by the signature.
std::string EncodeFileText(std::u16string_view text, TextEncoding encoding);

}  // namespace kavo
