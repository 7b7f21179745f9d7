#pragma once
// An INI file held in memory: sections of keyed ("key=value") and valueless lines, names compared
// without regard to letter case.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kavo {

struct IniLine {
  std::u16string text;       // key + "=" + value, or the valueless line's text
  std::u16string foldedKey;  // the key (or the whole valueless text) folded to upper case
  std::size_t keyLength = 0;
  bool hasValue = false;

  std::u16string_view Key() const { return std::u16string_view(text).substr(0, keyLength); }
  std::u16string_view Value() const {
    return hasValue ? std::u16string_view(text).substr(keyLength + 1) : std::u16string_view();
  }
};

struct IniSection {
  std::u16string name;
  std::vector<IniLine> lines;
};

class IniDocument {
 public:
  // Parses the text: lines trimmed of codes 0 to 32, ";" comments and blank lines skipped,
  // repeated sections merged, lines before the first header dropped.
  static IniDocument Parse(std::u16string_view text);

  // Each section as "[name]", its lines, then one empty line; every line ends in CR LF.
  std::u16string Text() const;

  // The value of the last line of the section that matches name; nullopt when there is no such
  // section or line, or when that line has no value.
  std::optional<std::u16string_view> Value(std::u16string_view section,
                                           std::u16string_view name) const;

  // Sets the last matching line to its own key text + "=" + value, or appends name=value at the
  // end of the section, which is appended under the name as passed when missing.
  void SetValue(std::u16string_view section, std::u16string_view name, std::u16string_view value);

  const std::vector<IniSection>& Sections() const { return sections_; }

 private:
  IniSection& SectionFor(std::u16string_view name);
  const IniSection* FindSection(std::u16string_view name) const;
  static std::optional<std::size_t> LastMatch(const IniSection& section,
                                              const std::u16string& foldedName);

  std::vector<IniSection> sections_;
  std::unordered_map<std::u16string, std::size_t> indexByFoldedName_;
};

}  // namespace kavo
