#pragma once
// The legacy code page: the 8-bit text encoding of files that carry no signature. On Windows it is
// the ANSI code page; elsewhere the locale's character set, with UTF-8 and plain ASCII counting
// as code page 65001.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kavo::platform {

constexpr unsigned kUtf8CodePage = 65001;

class CodePage {
 public:
  virtual ~CodePage() = default;
  // The code page's number (1252, 932, 65001, ...); 0 for a character set without one.
  virtual unsigned Id() const = 0;
  // Bytes to UTF-16. Never fails: what the code page cannot decode becomes a substitute.
  virtual std::u16string Decode(std::string_view bytes) const = 0;
  // UTF-16 to bytes; nullopt when some character has no exact representation.
  virtual std::optional<std::string> Encode(std::u16string_view text) const = 0;
};

// Backend: the code page with the given number, or nullptr where the platform lacks it.
std::unique_ptr<CodePage> MakeCodePage(unsigned id);

// Backend: the code page of this system, made once.
const CodePage& SystemCodePage();

// The legacy code page the core reads and writes with: the system's unless pinned.
const CodePage& LegacyCodePage();

// Pins the legacy code page for the lifetime of this object (a seam for tests).
class ScopedCodePage {
 public:
  explicit ScopedCodePage(unsigned id);
  // Pins a code page made beforehand, which must outlive this object: making one can take far
  // longer than what it then converts (the fuzz targets switch between three, input by input).
  explicit ScopedCodePage(const CodePage& page);
  ~ScopedCodePage();
  ScopedCodePage(const ScopedCodePage&) = delete;
  ScopedCodePage& operator=(const ScopedCodePage&) = delete;

 private:
  std::unique_ptr<CodePage> pinned_;
  const CodePage* previous_;
};

// Code page 65001, the same on every platform.
std::unique_ptr<CodePage> MakeUtf8CodePage();

}  // namespace kavo::platform
