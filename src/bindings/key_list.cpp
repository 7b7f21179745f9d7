#include "bindings/key_list.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "base/errors.h"
#include "files/file_io.h"
#include "platform/files.h"

namespace kavo {

void KeyList::Changed() {
  static std::uint64_t changes = 0;
  generation_ = ++changes;
}

void KeyList::CheckIndex(int i) const {
  if (i < 0 || i >= Count()) throw EStringListError(i);
}

std::u16string KeyList::Line(int i) const {
  CheckIndex(i);
  return std::u16string(View(static_cast<std::size_t>(i)));
}

std::vector<std::u16string> KeyList::Lines() const {
  std::vector<std::u16string> lines;
  lines.reserve(lines_.size());
  for (std::size_t i = 0; i < lines_.size(); ++i) lines.emplace_back(View(i));
  return lines;
}

void KeyList::Add(std::u16string_view line) {
  // As any container past its size: 4 Gi code units is far beyond what a file can bring.
  if (text_.size() + line.size() > std::numeric_limits<std::uint32_t>::max()) {
    throw std::length_error("key list");
  }
  lines_.push_back(
      {static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(line.size())});
  text_ += line;
  liveUnits_ += line.size();
  Changed();
}

void KeyList::Delete(int i) {
  CheckIndex(i);
  liveUnits_ -= lines_[static_cast<std::size_t>(i)].length;
  lines_.erase(lines_.begin() + i);
  Changed();
  // Once most of the text is lines long deleted, keep only the live ones.
  if (text_.size() > 4096 && text_.size() > 2 * liveUnits_) {
    std::u16string live;
    live.reserve(liveUnits_);
    for (LineSpan& span : lines_) {
      const auto first = static_cast<std::uint32_t>(live.size());
      live.append(text_, span.first, span.length);
      span.first = first;
    }
    text_ = std::move(live);
  }
}

void KeyList::Clear() {
  text_.clear();
  lines_.clear();
  liveUnits_ = 0;
  Changed();
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
  Changed();
}

void KeyList::LoadFromFile(std::u16string_view path) {
  std::u16string text;
  {
    // The bytes go as soon as they are decoded: a large file then never needs its bytes, its
    // text and its line table at once.
    const std::string bytes = ReadFileBytes(path);
    const DetectedEncoding detected = DetectEncoding(bytes);
    encoding_ = detected.encoding;
    text = DecodeBody(std::string_view(bytes).substr(detected.signatureLength), detected.encoding);
  }
  std::vector<LineSpan> lines = FindLines(text);
  liveUnits_ = 0;
  for (const LineSpan& span : lines) liveUnits_ += span.length;
  text_ = std::move(text);
  lines_ = std::move(lines);
  Changed();
}

void KeyList::SaveToFile(std::u16string_view path) const {
  std::u16string text;
  text.reserve(liveUnits_ + 2 * lines_.size());
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    text += View(i);
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
