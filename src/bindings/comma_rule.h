#pragma once
// The comma rule: how a binding line splits into fields, and how fields are written so that
// they read back as they were.

#include <string>
#include <string_view>
#include <vector>

namespace kavo {

// Splits a line at commas. A field that begins with a double quote runs to the next lone double
// quote, pairs inside standing for one; blanks belong to the fields; U+0000 ends the line; an
// empty line has no fields at all.
std::vector<std::u16string> SplitFields(std::u16string_view line);

// The field as the comma rule reads it back: quoted, with inner double quotes doubled, only where
// it must be (it holds a comma, begins with a double quote or with a character the splitter passes
// over after a comma); as it stands otherwise.
std::u16string QuoteField(std::u16string_view field);

// Fields joined by commas, each quoted where it must be, so that SplitFields gives them back.
std::u16string JoinFields(const std::vector<std::u16string>& fields);

}  // namespace kavo
