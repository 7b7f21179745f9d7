// Key names: any name gives a code, no code (only when empty) or the conversion error, the same
// each time; a name holding "Ctrl" is always the control key.

#include "base/errors.h"
#include "bindings/key_names.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kavo;
  const std::u16string name = fuzz::Units(fuzz::Bytes(data, size));
  std::optional<std::int32_t> code;
  try {
    code = KeyNameToCode(name);
  } catch (const EConvertError&) {
    KAVO_FUZZ_CHECK(name.size() > 1 && name.find(u"Ctrl") == std::u16string::npos);
    return 0;
  }
  KAVO_FUZZ_CHECK(code.has_value() == !name.empty());
  KAVO_FUZZ_CHECK(KeyNameToCode(name) == code);
  if (name.find(u"Ctrl") != std::u16string::npos) KAVO_FUZZ_CHECK(*code == 17);
  if (name.size() == 1) KAVO_FUZZ_CHECK(*code == static_cast<std::int32_t>(name[0]));
  return 0;
}
