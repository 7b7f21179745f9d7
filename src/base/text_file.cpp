#include "base/text_file.h"

#include <cstdint>
#include <cstring>

#include "base/errors.h"
#include "base/text_codec.h"
#include "platform/code_page.h"

namespace kavo {
namespace {

constexpr std::string_view kUtf8Signature = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LESignature = "\xFF\xFE";
constexpr std::string_view kUtf16BESignature = "\xFE\xFF";

std::string Utf8WithSignature(std::u16string_view text) {
  std::string out(kUtf8Signature);
  out.reserve(kUtf8Signature.size() + text.size() + text.size() / 2);
  AppendUtf8(out, text);
  return out;
}

}  // namespace

DetectedEncoding DetectEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Signature)) return {TextEncoding::Utf8, kUtf8Signature.size()};
  if (bytes.starts_with(kUtf16LESignature)) return {TextEncoding::Utf16LE, 2};
  if (bytes.starts_with(kUtf16BESignature)) return {TextEncoding::Utf16BE, 2};
  return {TextEncoding::Ansi, 0};
}

std::u16string DecodeBody(std::string_view body, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8: {
      auto text = DecodeUtf8Strict(body);
      if (!text) throw EEncodingError();
      return std::move(*text);
    }
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
      if (body.size() == 1) throw EEncodingError();
      return DecodeUtf16(body, encoding == TextEncoding::Utf16BE);
    case TextEncoding::None:
    case TextEncoding::Ansi:
      break;
  }
  return platform::LegacyCodePage().Decode(body);
}

namespace {

// Splits n units, read by unit(i), at CR, LF and CR LF, stopping at a zero unit; each line is
// made by make(first, last) from unit indexes.
template <typename UnitAt, typename Make>
std::vector<std::u16string> SplitUnits(std::size_t n, UnitAt unit, Make make) {
  std::vector<std::u16string> lines;
  std::size_t i = 0;
  while (i < n && unit(i) != 0) {
    std::size_t stop = i;
    for (char16_t u; stop < n && (u = unit(stop)) != u'\r' && u != u'\n' && u != 0;) ++stop;
    lines.push_back(make(i, stop));
    if (stop < n && unit(stop) == 0) break;
    i = stop;
    if (i < n && unit(i) == u'\r') ++i;
    if (i < n && unit(i) == u'\n') ++i;
  }
  return lines;
}

// The first CR, LF or NUL byte at or after p, or end. Eight bytes at a time where none of the
// three can be among them: key files are long runs of plain text.
const char* FindLineEnd(const char* p, const char* end) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  auto hasByte = [](std::uint64_t word, std::uint64_t byte) {
    const std::uint64_t x = word ^ (kOnes * byte);
    return ((x - kOnes) & ~x & kHighs) != 0;
  };
  while (end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (hasByte(word, '\r') || hasByte(word, '\n') || hasByte(word, 0)) break;
    p += 8;
  }
  while (p < end && *p != '\r' && *p != '\n' && *p != 0) ++p;
  return p;
}

}  // namespace

std::vector<std::u16string> DecodeLines(std::string_view body, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8: {
      // The whole body must be valid, even past a U+0000 that ends the text. CR, LF and NUL
      // never occur inside a multi-byte sequence, so the bytes split like the text.
      if (!IsValidUtf8(body)) throw EEncodingError();
      std::vector<std::u16string> lines;
      const char* p = body.data();
      const char* const end = p + body.size();
      while (p < end && *p != 0) {
        const char* stop = FindLineEnd(p, end);
        lines.push_back(*DecodeUtf8Strict(std::string_view(p, static_cast<std::size_t>(stop - p))));
        if (stop < end && *stop == 0) break;
        p = stop;
        if (p < end && *p == '\r') ++p;
        if (p < end && *p == '\n') ++p;
      }
      return lines;
    }
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
      if (body.size() == 1) throw EEncodingError();
      const bool big = encoding == TextEncoding::Utf16BE;
      return SplitUnits(
          body.size() / 2,
          [&](std::size_t i) {
            const auto hi = static_cast<unsigned char>(body[2 * i + (big ? 0 : 1)]);
            const auto lo = static_cast<unsigned char>(body[2 * i + (big ? 1 : 0)]);
            return static_cast<char16_t>(hi << 8 | lo);
          },
          [&](std::size_t a, std::size_t b) {
            return DecodeUtf16(body.substr(2 * a, 2 * (b - a)), big);
          });
    }
    case TextEncoding::None:
    case TextEncoding::Ansi:
      break;
  }
  return SplitLines(DecodeBody(body, encoding));
}

std::vector<std::u16string> SplitLines(std::u16string_view text) {
  return SplitUnits(
      text.size(), [&](std::size_t i) { return text[i]; },
      [&](std::size_t a, std::size_t b) { return std::u16string(text.substr(a, b - a)); });
}

std::string EncodeFileText(std::u16string_view text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return Utf8WithSignature(text);
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
      const bool big = encoding == TextEncoding::Utf16BE;
      std::string out(big ? kUtf16BESignature : kUtf16LESignature);
      AppendUtf16(out, text, big);
      return out;
    }
    case TextEncoding::None:
    case TextEncoding::Ansi:
      break;
  }
  const platform::CodePage& codePage = platform::LegacyCodePage();
  if (codePage.Id() == platform::kUtf8CodePage) return Utf8WithSignature(text);
  // Bytes that begin like a signature ("ÿþ" in Windows-1252) would be read back in another
  // encoding: such text, too, goes out as UTF-8 with its signature.
  if (auto bytes = codePage.Encode(text)) {
    if (DetectEncoding(*bytes).encoding == TextEncoding::Ansi) return std::move(*bytes);
  }
  return Utf8WithSignature(text);
}

}  // namespace kavo
