#include "bindings/key_list.h"

#include <algorithm>

#include "base/errors.h"
#include "base/file_io.h"
#include "platform/files.h"

namespace kavo {

void KeyList::CheckIndex(int i) const {
  if (i < 0 || i >= Count()) throw EStringListError(i);
}

std::u16string KeyList::Line(int i) const {
  CheckIndex(i);
  return lines_[static_cast<std::size_t>(i)];
}

void KeyList::Delete(int i) {
  CheckIndex(i);
  lines_.erase(lines_.begin() + i);
}

void KeyList::Move(int current, int newIndex) {
  if (current == newIndex) return;
  CheckIndex(current);
  newIndex = std::clamp(newIndex, 0, Count() - 1);
  const auto from = lines_.begin() + current;
  const auto to = lines_.begin() + newIndex;
  if (current < newIndex) {
    std::rotate(from, from + 1, to + 1);
  } else {
    std::rotate(to, from, from + 1);
  }
}

void KeyList::LoadFromFile(std::u16string_view path) {
  const std::string bytes = ReadFileBytes(path);
  const DetectedEncoding detected = DetectEncoding(bytes);
  encoding_ = detected.encoding;
  lines_ = DecodeLines(std::string_view(bytes).substr(detected.signatureLength), detected.encoding);
}

void KeyList::SaveToFile(std::u16string_view path) const {
  std::size_t size = 0;
  for (const auto& line : lines_) size += line.size() + 2;
  std::u16string text;
  text.reserve(size);
  for (const auto& line : lines_) {
    text += line;
    text += u"\r\n";
  }
  WriteFileBytes(path, EncodeFileText(text, encoding_));
}

const std::vector<std::u16string>& DefaultBindings() {
  static const std::vector<std::u16string> defaults = {u"Undo,Ctrl,Z", u"Cut,Ctrl,X",
                                                       u"Copy,Ctrl,C", u"Past,Ctrl,V"};
  return defaults;
}

void LoadOrDefaults(KeyList& list, std::u16string_view path) {
  if (platform::IsExistingFile(path)) {
    list.LoadFromFile(path);
  } else {
    for (const auto& line : DefaultBindings()) list.Add(line);
  }
}

}  // namespace kavo
