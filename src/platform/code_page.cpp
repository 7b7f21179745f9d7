#include "platform/code_page.h"

#include <stdexcept>
#include <string>

#include "base/text_codec.h"
#include "base/utf16.h"

namespace kavo::platform {
namespace {

const CodePage* g_pinned = nullptr;

class Utf8CodePage final : public CodePage {
 public:
  unsigned Id() const override { return kUtf8CodePage; }
  std::u16string Decode(std::string_view bytes) const override { return FromUtf8Lossy(bytes); }
  std::optional<std::string> Encode(std::u16string_view text) const override {
    // Only an unpaired surrogate has no UTF-8 form.
    for (std::size_t i = 0; i < text.size();) {
      const CodePoint point = ReadCodePoint(text, i);
      if (IsSurrogate(point.value)) return std::nullopt;
      i += point.units;
    }
    return ToUtf8(text);
  }
};

}  // namespace

std::unique_ptr<CodePage> MakeUtf8CodePage() {
  return std::make_unique<Utf8CodePage>();
}

const CodePage& LegacyCodePage() {
  return g_pinned ? *g_pinned : SystemCodePage();
}

ScopedCodePage::ScopedCodePage(unsigned id) : pinned_(MakeCodePage(id)), previous_(g_pinned) {
  if (!pinned_) throw std::invalid_argument("code page " + std::to_string(id) + " unavailable");
  g_pinned = pinned_.get();
}

ScopedCodePage::ScopedCodePage(const CodePage& page) : previous_(g_pinned) {
  g_pinned = &page;
}

ScopedCodePage::~ScopedCodePage() {
  g_pinned = previous_;
}

}  // namespace kavo::platform
