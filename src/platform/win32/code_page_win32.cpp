// The legacy code page on Windows: the ANSI code page, converted by the system.

#include <windows.h>

#include "platform/code_page.h"
#include "platform/win32/wide.h"

namespace kavo::platform {
namespace {

class Win32CodePage final : public CodePage {
 public:
  explicit Win32CodePage(unsigned id) : id_(id) {}

  unsigned Id() const override { return id_; }

  std::u16string Decode(std::string_view bytes) const override {
    if (bytes.empty()) return u"";
    const int n =
        MultiByteToWideChar(id_, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(id_, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return win32::Narrow(wide);
  }

  std::optional<std::string> Encode(std::u16string_view text) const override {
    if (text.empty()) return std::string();
    const std::wstring wide = win32::Wide(text);
    const int length = static_cast<int>(wide.size());
    // No best fit: a character without its own byte sequence is reported, not approximated.
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(id_, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0,
                                      nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(id_, WC_NO_BEST_FIT_CHARS, wide.data(), length, bytes.data(), n, nullptr,
                        &usedDefault);
    if (usedDefault) return std::nullopt;
    return bytes;
  }

 private:
  unsigned id_;
};

}  // namespace

std::unique_ptr<CodePage> MakeCodePage(unsigned id) {
  if (id == kUtf8CodePage) return MakeUtf8CodePage();
  if (!IsValidCodePage(id)) return nullptr;
  return std::make_unique<Win32CodePage>(id);
}

const CodePage& SystemCodePage() {
  static const std::unique_ptr<CodePage> system = [] {
    auto page = MakeCodePage(GetACP());
    return page ? std::move(page) : MakeUtf8CodePage();
  }();
  return *system;
}

}  // namespace kavo::platform
