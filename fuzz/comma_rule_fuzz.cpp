// The comma rule: any line splits; fields joined by the writer split back into the same fields.

#include "bindings/comma_rule.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kavo;
  const std::u16string text = fuzz::Units(fuzz::Bytes(data, size));

  // A line as a file holds it: whatever it splits into is written back as the same fields.
  const std::vector<std::u16string> fields = SplitFields(text);
  for (const auto& field : fields) KAVO_FUZZ_CHECK(field.find(u'\0') == std::u16string::npos);
  if (!(fields.size() == 1 && fields[0].empty())) {
    KAVO_FUZZ_CHECK(SplitFields(JoinFields(fields)) == fields);
  }

  // Fields as the settings window gives them (a caption and three key names, any text but
  // U+0000), separated here by U+0000 in the input.
  std::vector<std::u16string> typed(1);
  for (const char16_t u : text) {
    if (u == 0) {
      typed.emplace_back();
    } else {
      typed.back() += u;
    }
  }
  // A single empty field is an empty line, which has no fields at all.
  if (typed.size() == 1 && typed[0].empty()) return 0;
  KAVO_FUZZ_CHECK(SplitFields(JoinFields(typed)) == typed);
  return 0;
}
