// Key files: any bytes load or raise an encoding error; a list that loaded comes back line for
// line from what a save writes, in every encoding a list may remember.

#include <memory>

#include "base/errors.h"
#include "files/text_file.h"
#include "fuzz_support.h"
#include "platform/code_page.h"

namespace kavo {
namespace {

std::vector<std::u16string> Load(std::string_view bytes) {
  const DetectedEncoding detected = DetectEncoding(bytes);
  return SplitLines(DecodeBody(bytes.substr(detected.signatureLength), detected.encoding));
}

// What a save of these lines writes in the encoding.
std::string Save(const std::vector<std::u16string>& lines, TextEncoding encoding) {
  std::u16string text;
  for (const auto& line : lines) text += line + u"\r\n";
  return EncodeFileText(text, encoding);
}

}  // namespace
}  // namespace kavo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kavo;
  if (size == 0) return 0;
  // The first byte picks the legacy code page: Western, Japanese or UTF-8, each made once.
  static const std::unique_ptr<platform::CodePage> kCodePages[] = {
      platform::MakeCodePage(1252), platform::MakeCodePage(932),
      platform::MakeCodePage(platform::kUtf8CodePage)};
  const platform::ScopedCodePage codePage(*kCodePages[data[0] % 3]);
  const std::string_view bytes = fuzz::Bytes(data + 1, size - 1);

  std::vector<std::u16string> lines;
  try {
    lines = Load(bytes);
  } catch (const EEncodingError&) {
    return 0;
  }
  bool unpaired = false;
  for (const auto& line : lines) {
    KAVO_FUZZ_CHECK(line.find_first_of(std::u16string_view(u"\r\n\0", 3)) == std::u16string::npos);
    unpaired = unpaired || fuzz::HasUnpairedSurrogate(line);
  }
  for (const TextEncoding encoding : {TextEncoding::None, TextEncoding::Ansi, TextEncoding::Utf8,
                                      TextEncoding::Utf16LE, TextEncoding::Utf16BE}) {
    // UTF-8 cannot hold a lone surrogate; only UTF-16 keeps one.
    const bool utf16 = encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
    if (unpaired && !utf16) continue;
    KAVO_FUZZ_CHECK(Load(Save(lines, encoding)) == lines);
  }
  return 0;
}
