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

  // The bar's own settings, set to numbers and read back, whatever else the file holds: all of
  // them written at once, as the bar writes them.
  const std::u16string_view settings[][3] = {{u"Form", u"Top", u"-123"},
                                             {u"Form", u"Left", u"0"},
                                             {u"Icon", u"Width", u"2147483647"},
                                             {u"Icon", u"Shadow", u"1"}};
  for (const auto& [section, name, value] : settings) document.SetValue(section, name, value);
  const IniDocument back = IniDocument::Parse(document.Text());
  for (const auto& [section, name, value] : settings) {
    const auto read = back.Value(section, name);
    KAVO_FUZZ_CHECK(read && *read == value);
  }
  return 0;
}
