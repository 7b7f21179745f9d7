#pragma once
// The key list: the ordered binding lines, and the encoding of the last file loaded into it,
// which every save writes in.

#include <cstdint>
#include <string>
#include <vector>

#include "files/text_file.h"

namespace kavo {

class KeyList {
 public:
  int Count() const { return static_cast<int>(lines_.size()); }

  // A copy of line i; EStringListError outside 0 to Count() - 1.
  std::u16string Line(int i) const;
  // Copies of every line, in order.
  std::vector<std::u16string> Lines() const;

  void Add(std::u16string_view line);
  // Removes line i; EStringListError (list unchanged) outside the list.
  void Delete(int i);
  // Takes the line at current and puts it back so that it stands at newIndex. Equal indexes do
  // nothing at all; a current index outside the list is EStringListError; a new index outside
  // the list is brought to its nearest end, so the line is never lost.
  void Move(int current, int newIndex);
  void Clear();

  // Replaces the lines with those of the file. The encoding found is remembered as soon as the
  // file is open, even when decoding then fails (EEncodingError, lines unchanged); a file that
  // cannot be opened is EFOpenError and changes nothing.
  void LoadFromFile(std::u16string_view path);
  // Writes every line followed by CR LF, in the remembered encoding (ANSI when none).
  void SaveToFile(std::u16string_view path) const;

  TextEncoding Encoding() const { return encoding_; }

  // Changes with every change of the lines, and differs between lists: whoever built something
  // from the lines can tell whether they still stand as they were.
  std::uint64_t Generation() const { return generation_; }

 private:
  void Changed();
  void CheckIndex(int i) const;
  std::u16string_view View(std::size_t i) const {
    return std::u16string_view(text_).substr(lines_[i].first, lines_[i].length);
  }

  // Every line's units live in one text, as read from the file: a key file of many thousand
  // lines then costs one allocation, not one per line. Deleted lines leave their units behind
  // until the text is compacted.
  std::u16string text_;
  std::vector<LineSpan> lines_;
  std::size_t liveUnits_ = 0;
  TextEncoding encoding_ = TextEncoding::None;
  std::uint64_t generation_ = 0;
};

// The four bindings a bar starts with when no key file exists.
const std::vector<std::u16string>& DefaultBindings();

// Loads the key file into the list; where no file is there, the list gets the default bindings.
void LoadOrDefaults(KeyList& list, std::u16string_view path);

}  // namespace kavo
