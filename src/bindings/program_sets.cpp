#include "bindings/program_sets.h"

#include "platform/files.h"

namespace kavo {

std::u16string ProgramName(std::u16string_view raw) {
  std::u16string name;
  name.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    char16_t c = raw[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    const bool kept =
        (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'.' || c == u'_' || c == u'-';
    name += kept ? c : u'_';
    // A character outside the basic plane is one character, two code units.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < raw.size() && raw[i + 1] >= 0xDC00 &&
        raw[i + 1] <= 0xDFFF) {
      ++i;
    }
  }
  return name;
}

std::u16string SetFileName(std::u16string_view program) {
  return u"KavoKey." + std::u16string(program) + u".txt";
}

std::u16string KeyFileForProgram(std::u16string_view home, std::u16string_view program,
                                 std::u16string_view base) {
  if (!program.empty()) {
    std::u16string set = std::u16string(home) + SetFileName(program);
    if (platform::IsExistingFile(set)) return set;
  }
  return std::u16string(base);
}

std::optional<std::u16string> KeySetChoice::ForProgram(std::u16string_view raw,
                                                       std::u16string_view current) {
  std::u16string program = ProgramName(raw);
  if (program == program_) return std::nullopt;
  program_ = std::move(program);
  std::u16string wanted = KeyFileForProgram(home_, program_, base_);
  if (wanted == current) return std::nullopt;
  return wanted;
}

std::u16string KeySetChoice::SetFileOfProgram() const {
  return program_.empty() ? std::u16string() : home_ + SetFileName(program_);
}

std::u16string KeySetChoice::SetShown(std::u16string_view current) const {
  if (current == base_) return {};
  // A set's file name holds no separator of either kind.
  const std::size_t slash = current.find_last_of(u"/\\");
  return std::u16string(slash == std::u16string_view::npos ? current : current.substr(slash + 1));
}

}  // namespace kavo
