#include "settings/ini_document.h"

#include "files/text_file.h"
#include "platform/text.h"

namespace kavo {
namespace {

bool IsBlank(char16_t c) {
  return c <= 32;
}

std::u16string_view TrimLeft(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::u16string_view TrimRight(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::u16string_view Trim(std::u16string_view s) {
  return TrimRight(TrimLeft(s));
}

IniLine KeyedLine(std::u16string_view key, std::u16string_view value) {
  IniLine line;
  line.text.reserve(key.size() + 1 + value.size());
  line.text.append(key).append(u"=").append(value);
  line.foldedKey = platform::UpperCase(key);
  line.keyLength = key.size();
  line.hasValue = true;
  return line;
}

}  // namespace

IniDocument IniDocument::Parse(std::u16string_view text) {
  IniDocument doc;
  IniSection* current = nullptr;
  for (const std::u16string& raw : SplitLines(text)) {
    const std::u16string_view line = Trim(raw);
    if (line.empty() || line.front() == u';') continue;
    if (line.front() == u'[' && line.back() == u']' && line.size() >= 2) {
      current = &doc.SectionFor(Trim(line.substr(1, line.size() - 2)));
      continue;
    }
    if (!current) continue;
    if (const auto eq = line.find(u'='); eq != std::u16string_view::npos) {
      current->lines.push_back(
          KeyedLine(TrimRight(line.substr(0, eq)), TrimLeft(line.substr(eq + 1))));
    } else {
      IniLine valueless;
      valueless.text.assign(line);
      valueless.foldedKey = platform::UpperCase(line);
      valueless.keyLength = line.size();
      current->lines.push_back(std::move(valueless));
    }
  }
  return doc;
}

std::u16string IniDocument::Text() const {
  std::u16string out;
  for (const IniSection& section : sections_) {
    out.append(u"[").append(section.name).append(u"]\r\n");
    for (const IniLine& line : section.lines) out.append(line.text).append(u"\r\n");
    out.append(u"\r\n");
  }
  return out;
}

IniSection& IniDocument::SectionFor(std::u16string_view name) {
  auto [it, added] = indexByFoldedName_.try_emplace(platform::UpperCase(name), sections_.size());
  if (added) sections_.push_back(IniSection{std::u16string(name), {}});
  return sections_[it->second];
}

const IniSection* IniDocument::FindSection(std::u16string_view name) const {
  const auto it = indexByFoldedName_.find(platform::UpperCase(name));
  return it == indexByFoldedName_.end() ? nullptr : &sections_[it->second];
}

std::optional<std::size_t> IniDocument::LastMatch(const IniSection& section,
                                                  const std::u16string& foldedName) {
  for (std::size_t i = section.lines.size(); i-- > 0;) {
    if (section.lines[i].foldedKey == foldedName) return i;
  }
  return std::nullopt;
}

std::optional<std::u16string_view> IniDocument::Value(std::u16string_view section,
                                                      std::u16string_view name) const {
  const IniSection* found = FindSection(section);
  if (!found) return std::nullopt;
  const auto match = LastMatch(*found, platform::UpperCase(name));
  if (!match || !found->lines[*match].hasValue) return std::nullopt;
  return found->lines[*match].Value();
}

void IniDocument::SetValue(std::u16string_view section, std::u16string_view name,
                           std::u16string_view value) {
  IniSection& target = SectionFor(section);
  const std::u16string folded = platform::UpperCase(name);
  if (const auto match = LastMatch(target, folded)) {
    IniLine& line = target.lines[*match];
    line = KeyedLine(std::u16string(line.Key()), value);
  } else {
    target.lines.push_back(KeyedLine(name, value));
  }
}

}  // namespace kavo
