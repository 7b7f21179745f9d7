#include "settings/ini_store.h"

#include "base/integer_text.h"
#include "files/file_io.h"
#include "files/text_file.h"
#include "platform/files.h"

namespace kavo {

void TIniStore::SetPath(std::u16string path) {
  if (path == path_) return;
  path_ = std::move(path);
  reopen_ = true;
}

void TIniStore::OpenIfNeeded() {
  if (!reopen_) return;
  document_.reset();
  IniDocument document;
  if (platform::IsExistingFile(path_)) {
    const std::string bytes = ReadFileBytes(path_);
    const DetectedEncoding detected = DetectEncoding(bytes);
    document = IniDocument::Parse(
        DecodeBody(std::string_view(bytes).substr(detected.signatureLength), detected.encoding));
  }
  document_ = std::move(document);
  reopen_ = false;
}

std::int32_t TIniStore::ReadInteger(std::u16string_view section, std::u16string_view name,
                                    std::int32_t def) {
  OpenIfNeeded();
  const auto text = document_->Value(section, name);
  if (!text) return def;
  return ParseInteger(*text).value_or(def);
}

bool TIniStore::ReadBool(std::u16string_view section, std::u16string_view name, bool def) {
  return ReadInteger(section, name, def ? 1 : 0) != 0;
}

void TIniStore::Write(std::u16string_view section, std::u16string_view name,
                      std::u16string_view text) {
  OpenIfNeeded();
  document_->SetValue(section, name, text);
  if (AutoUpdateIniFile) UpdateIniFile();
}

void TIniStore::WriteInteger(std::u16string_view section, std::u16string_view name,
                             std::int32_t value) {
  const std::string digits = std::to_string(value);
  Write(section, name, std::u16string(digits.begin(), digits.end()));
}

void TIniStore::WriteBool(std::u16string_view section, std::u16string_view name, bool value) {
  Write(section, name, value ? u"1" : u"0");
}

void TIniStore::UpdateIniFile() {
  OpenIfNeeded();
  WriteFileBytes(path_, EncodeFileText(document_->Text(), TextEncoding::Ansi));
}

}  // namespace kavo
