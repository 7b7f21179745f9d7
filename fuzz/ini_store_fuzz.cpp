// Settings files: any text parses; what the store writes parses back to the same document; a
// value it sets is the value read back after writing and parsing.

#include "base/errors.h"
#include "files/text_file.h"
#include "fuzz_support.h"
#include "platform/code_page.h"
#include "settings/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kavo;
  static const platform::ScopedCodePage codePage(1252);
  const std::string_view bytes = fuzz::Bytes(data, size);
  std::u16string text;
  try {
    const DetectedEncoding detected = DetectEncoding(bytes);
    text = DecodeBody(bytes.substr(detected.signatureLength), detected.encoding);
  } catch (const EEncodingError&) {
    return 0;
  }
  IniDocument document = IniDocument::Parse(text);
  const std::u16string written = document.Text();
  const IniDocument reparsed = IniDocument::Parse(written);
  KAVO_FUZZ_CHECK(reparsed.Text() == written);
  KAVO_FUZZ_CHECK(reparsed.Sections().size() == document.Sections().size());

  // The bar's own settings, set to a number and read back, whatever else the file holds.
  const std::u16string_view settings[][2] = {
      {u"Form", u"Top"}, {u"Form", u"Left"}, {u"Icon", u"Width"}, {u"Icon", u"Shadow"}};
  for (const auto& [section, name] : settings) {
    document.SetValue(section, name, u"-123");
    const IniDocument back = IniDocument::Parse(document.Text());
    const auto value = back.Value(section, name);
    KAVO_FUZZ_CHECK(value && *value == u"-123");
  }
  return 0;
}
