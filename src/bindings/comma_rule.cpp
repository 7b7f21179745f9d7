#include "bindings/comma_rule.h"

#include "base/unicode_props.h"
#include "base/utf16.h"

namespace kavo {
namespace {

// Length of the character at pos if the splitter passes over it after a comma (a low surrogate
// or a non-spacing mark), else 0.
std::size_t SkippedAfterComma(std::u16string_view text, std::size_t pos) {
  if (IsLowSurrogate(text[pos])) return 1;
  const CodePoint point = ReadCodePoint(text, pos);
  return IsNonSpacingMark(point.value) ? point.units : 0;
}

}  // namespace

std::vector<std::u16string> SplitFields(std::u16string_view line) {
  if (const auto nul = line.find(u'\0'); nul != std::u16string_view::npos) {
    line = line.substr(0, nul);
  }
  std::vector<std::u16string> fields;
  const std::size_t end = line.size();
  std::size_t pos = 0;
  while (pos < end) {
    std::u16string field;
    if (line[pos] == u'"') {
      ++pos;
      while (pos < end) {
        if (line[pos] == u'"') {
          if (pos + 1 < end && line[pos + 1] == u'"') {
            field.push_back(u'"');
            pos += 2;
            continue;
          }
          ++pos;  // the closing quote
          break;
        }
        field.push_back(line[pos++]);
      }
    } else {
      std::size_t comma = line.find(u',', pos);
      if (comma == std::u16string_view::npos) comma = end;
      field.assign(line.substr(pos, comma - pos));
      pos = comma;
    }
    fields.push_back(std::move(field));

    if (pos < end && line[pos] == u',') {
      std::size_t next = pos + 1;
      while (next < end) {
        const std::size_t skip = SkippedAfterComma(line, next);
        if (skip == 0) break;
        next += skip;
      }
      if (next == end) fields.emplace_back();
      pos = next;
    }
  }
  return fields;
}

std::u16string QuoteField(std::u16string_view field) {
  const bool mustQuote = field.find(u',') != std::u16string_view::npos ||
                         (!field.empty() && (field[0] == u'"' || SkippedAfterComma(field, 0)));
  if (!mustQuote) return std::u16string(field);
  std::u16string out = u"\"";
  for (const char16_t c : field) {
    if (c == u'"') out.push_back(u'"');
    out.push_back(c);
  }
  out.push_back(u'"');
  return out;
}

std::u16string JoinFields(const std::vector<std::u16string>& fields) {
  // A lone empty field would read back as no field at all.
  if (fields.size() == 1 && fields[0].empty()) return u"\"\"";
  std::u16string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line.push_back(u',');
    line += QuoteField(fields[i]);
  }
  return line;
}

}  // namespace kavo
