// The legacy code page on POSIX systems: the locale's character set, converted through iconv.

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <string>

#include "platform/code_page.h"

namespace kavo::platform {
namespace {

struct KnownCodePage {
  unsigned id;
  const char* iconvName;
};

// Windows code page numbers for the character sets a locale may name.
constexpr KnownCodePage kKnown[] = {
    {874, "CP874"},         {932, "CP932"},        {936, "CP936"},        {949, "CP949"},
    {950, "CP950"},         {1250, "CP1250"},      {1251, "CP1251"},      {1252, "CP1252"},
    {1253, "CP1253"},       {1254, "CP1254"},      {1255, "CP1255"},      {1256, "CP1256"},
    {1257, "CP1257"},       {1258, "CP1258"},      {20866, "KOI8-R"},     {20932, "EUC-JP"},
    {28591, "ISO-8859-1"},  {28592, "ISO-8859-2"}, {28595, "ISO-8859-5"}, {28597, "ISO-8859-7"},
    {28605, "ISO-8859-15"}, {51949, "EUC-KR"},     {54936, "GB18030"},    {936, "GBK"},
    {950, "BIG5"},          {932, "SHIFT_JIS"},    {20936, "GB2312"},
};

class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (ok()) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

class IconvCodePage final : public CodePage {
 public:
  IconvCodePage(unsigned id, std::string name) : id_(id), name_(std::move(name)) {}

  unsigned Id() const override { return id_; }

  std::u16string Decode(std::string_view bytes) const override {
    IconvHandle cd("UTF-16LE", name_.c_str());
    std::u16string out;
    if (!cd.ok()) return out;
    out.reserve(bytes.size());
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::string buffer(4096, '\0');
    while (inLeft > 0) {
      char* dst = buffer.data();
      std::size_t dstLeft = buffer.size();
      const std::size_t rc = iconv(cd.get(), &in, &inLeft, &dst, &dstLeft);
      AppendUnits(out, buffer.data(), buffer.size() - dstLeft);
      if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
        // An invalid or cut-off sequence: one substitute, then go on after its first byte.
        out.push_back(u'\uFFFD');
        ++in, --inLeft;
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
      }
    }
    return out;
  }

  std::optional<std::string> Encode(std::u16string_view text) const override {
    IconvHandle cd(name_.c_str(), "UTF-16LE");
    if (!cd.ok()) return std::nullopt;
    std::string src;
    src.reserve(text.size() * 2);
    for (const char16_t u : text) {
      src.push_back(static_cast<char>(u & 0xFF));
      src.push_back(static_cast<char>(u >> 8));
    }
    std::string out(text.size() * 2 + 16, '\0');
    char* in = src.data();
    std::size_t inLeft = src.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    while (true) {
      const std::size_t rc = iconv(cd.get(), &in, &inLeft, &dst, &dstLeft);
      if (rc != static_cast<std::size_t>(-1)) break;
      if (errno != E2BIG) return std::nullopt;  // no exact representation
      const std::size_t used = out.size() - dstLeft;
      out.resize(out.size() * 2);
      dst = out.data() + used;
      dstLeft = out.size() - used;
    }
    // Flush any shift state of stateful encodings.
    iconv(cd.get(), nullptr, nullptr, &dst, &dstLeft);
    out.resize(out.size() - dstLeft);
    return out;
  }

 private:
  static void AppendUnits(std::u16string& out, const char* bytes, std::size_t n) {
    for (std::size_t i = 0; i + 1 < n; i += 2) {
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
  }

  unsigned id_;
  std::string name_;
};

std::unique_ptr<CodePage> MakeFromCodeset(const char* codeset) {
  if (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "ANSI_X3.4-1968") == 0 ||
      std::strcmp(codeset, "ASCII") == 0) {
    return MakeUtf8CodePage();
  }
  for (const auto& known : kKnown) {
    if (strcasecmp(known.iconvName, codeset) == 0) {
      return std::make_unique<IconvCodePage>(known.id, known.iconvName);
    }
  }
  if (IconvHandle("UTF-16LE", codeset).ok()) return std::make_unique<IconvCodePage>(0, codeset);
  return MakeUtf8CodePage();
}

}  // namespace

std::unique_ptr<CodePage> MakeCodePage(unsigned id) {
  if (id == kUtf8CodePage) return MakeUtf8CodePage();
  for (const auto& known : kKnown) {
    if (known.id == id && IconvHandle("UTF-16LE", known.iconvName).ok()) {
      return std::make_unique<IconvCodePage>(known.id, known.iconvName);
    }
  }
  return nullptr;
}

const CodePage& SystemCodePage() {
  static const std::unique_ptr<CodePage> system = [] {
    std::setlocale(LC_ALL, "");
    return MakeFromCodeset(nl_langinfo(CODESET));
  }();
  return *system;
}

}  // namespace kavo::platform
