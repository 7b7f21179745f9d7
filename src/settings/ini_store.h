#pragma once
// The settings store: typed values in an INI file, read once at first use and written whole
// after every change.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/ini_document.h"

namespace kavo {

class TIniStore {
 public:
  const std::u16string& Path() const { return path_; }
  // A different path marks the store for reopening; the same path does nothing.
  void SetPath(std::u16string path);

  bool AutoUpdateIniFile = true;

  // The key's value, or def where the section or key is missing, valueless or not an integer.
  std::int32_t ReadInteger(std::u16string_view section, std::u16string_view name, std::int32_t def);
  bool ReadBool(std::u16string_view section, std::u16string_view name, bool def);
  void WriteInteger(std::u16string_view section, std::u16string_view name, std::int32_t value);
  void WriteBool(std::u16string_view section, std::u16string_view name, bool value);

  // Writes the whole in-memory copy to Path in the legacy code page.
  void UpdateIniFile();

  // The in-memory copy, once opened.
  const IniDocument* Document() const { return document_ ? &*document_ : nullptr; }

 private:
  void OpenIfNeeded();
  void Write(std::u16string_view section, std::u16string_view name, std::u16string_view text);

  std::u16string path_;
  bool reopen_ = true;
  std::optional<IniDocument> document_;
};

}  // namespace kavo
