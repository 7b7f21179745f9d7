#include "files/text_file.h"

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

// The first CR, LF or NUL at or after p, or end. Key files are long runs of text with no unit
// below U+000E, so four units at a time are checked for any such unit before looking closer.
const char16_t* FindLineEnd(const char16_t* p, const char16_t* end) {
  constexpr std::uint64_t kOnes = 0x0001000100010001ull, kHighs = 0x8000800080008000ull;
  for (; end - p >= 4; p += 4) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if (((word - kOnes * 0x0E) & ~word & kHighs) != 0) break;
  }
  while (p < end && (*p >= 0x0E || (*p != u'\r' && *p != u'\n' && *p != 0))) ++p;
  return p;
}

}  // namespace

std::vector<LineSpan> FindLines(std::u16string_view text) {
  std::vector<LineSpan> lines;
  const char16_t* const begin = text.data();
  const char16_t* const end = begin + text.size();
  const char16_t* p = begin;
  while (p < end && *p != 0) {
    const char16_t* const stop = FindLineEnd(p, end);
    lines.push_back({static_cast<std::uint32_t>(p - begin), static_cast<std::uint32_t>(stop - p)});
    if (stop < end && *stop == 0) break;
    p = stop;
    if (p < end && *p == u'\r') ++p;
    if (p < end && *p == u'\n') ++p;
  }
  return lines;
}

std::vector<std::u16string> SplitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  for (const LineSpan& span : FindLines(text))
    lines.emplace_back(text.substr(span.first, span.length));
  return lines;
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
