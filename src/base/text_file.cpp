#include "base/text_file.h"

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

std::vector<std::u16string> SplitLines(std::u16string_view text) {
  if (const auto nul = text.find(u'\0'); nul != std::u16string_view::npos) {
    text = text.substr(0, nul);
  }
  std::vector<std::u16string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of(u"\r\n", pos);
    if (end == std::u16string_view::npos) end = text.size();
    lines.emplace_back(text.substr(pos, end - pos));
    pos = end;
    if (pos < text.size() && text[pos] == u'\r') ++pos;
    if (pos < text.size() && text[pos] == u'\n') ++pos;
  }
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
  if (auto bytes = codePage.Encode(text)) return std::move(*bytes);
  return Utf8WithSignature(text);
}

}  // namespace kavo
