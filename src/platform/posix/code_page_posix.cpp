// The legacy code page on POSIX systems: the locale's character set, converted through iconv.

#include <iconv.h>
#include <langinfo.h>

#include <bit>
#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>

#include "base/ascii_blocks.h"
#include "platform/code_page.h"

namespace kavo::platform {
namespace {

// iconv speaks UTF-16LE straight into char16_t buffers.
static_assert(std::endian::native == std::endian::little);

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

// A character set converted through iconv. Single-byte code pages (the common legacy case) are
// read into a 256-entry table once, since iconv's per-call cost dominates short texts.
class IconvCodePage final : public CodePage {
 public:
  IconvCodePage(unsigned id, std::string name) : id_(id), name_(std::move(name)) {
    BuildSingleByteTable();
  }

  unsigned Id() const override { return id_; }

  std::u16string Decode(std::string_view bytes) const override {
    if (singleByte_) {
      std::u16string out(bytes.size(), u'\0');
      const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
      std::size_t i = 0;
      // Eight bytes at a time: a run of ASCII in an ASCII-compatible code page widens as it is.
      for (; asciiCompatible_ && i + 8 <= bytes.size(); i += 8) {
        if (AsciiBytes8(bytes.data() + i)) {
          for (std::size_t k = i; k < i + 8; ++k) out[k] = in[k];
        } else {
          for (std::size_t k = i; k < i + 8; ++k) out[k] = decode_[in[k]];
        }
      }
      for (; i < bytes.size(); ++i) out[i] = decode_[in[i]];
      return out;
    }
    return DecodeWithIconv(bytes);
  }

  std::optional<std::string> Encode(std::u16string_view text) const override {
    if (singleByte_) {
      std::string out(text.size(), '\0');
      for (std::size_t i = 0; i < text.size(); ++i) {
        // Four units below U+0080 at a time, as ASCII-compatible code pages keep them.
        while (asciiCompatible_ && i + 4 <= text.size() && AsciiUnits4(text.data() + i)) {
          for (std::size_t k = i; k < i + 4; ++k) out[k] = static_cast<char>(text[k]);
          i += 4;
        }
        if (i == text.size()) break;
        const char16_t u = text[i];
        if (u < 0x80 && asciiCompatible_) {
          out[i] = static_cast<char>(u);
          continue;
        }
        const auto it = encode_.find(u);
        if (it == encode_.end()) return std::nullopt;
        out[i] = static_cast<char>(it->second);
      }
      return out;
    }
    return EncodeWithIconv(text);
  }

 private:
  void BuildSingleByteTable() {
    IconvHandle cd("UTF-16LE", name_.c_str());
    if (!cd.ok()) return;
    bool ascii = true;
    for (unsigned b = 0; b < 256; ++b) {
      char in[1] = {static_cast<char>(b)};
      char outBytes[8];
      char* src = in;
      std::size_t srcLeft = 1;
      char* dst = outBytes;
      std::size_t dstLeft = sizeof outBytes;
      iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
      const std::size_t rc = iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft);
      if (rc == static_cast<std::size_t>(-1) && errno == EINVAL) return;  // a lead byte
      if (rc == static_cast<std::size_t>(-1) || sizeof outBytes - dstLeft != 2) {
        decode_[b] = u'\uFFFD';
        continue;
      }
      decode_[b] = static_cast<char16_t>(static_cast<unsigned char>(outBytes[0]) |
                                         static_cast<unsigned char>(outBytes[1]) << 8);
      if (b < 0x80 && decode_[b] != b) ascii = false;
      if (decode_[b] >= 0x80 || !ascii) encode_.emplace(decode_[b], static_cast<unsigned char>(b));
    }
    asciiCompatible_ = ascii;
    singleByte_ = true;
  }

  std::u16string DecodeWithIconv(std::string_view bytes) const {
    IconvHandle cd("UTF-16LE", name_.c_str());
    std::u16string out;
    if (!cd.ok()) return out;
    // Up to two code units per byte covers every multi-byte legacy encoding.
    out.resize(bytes.size() * 2);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* dst = reinterpret_cast<char*>(out.data());
    std::size_t dstLeft = out.size() * 2;
    while (inLeft > 0) {
      if (iconv(cd.get(), &in, &inLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1)) break;
      // An invalid or cut-off sequence: one substitute, then go on after its first byte.
      const char16_t substitute = u'\uFFFD';
      std::memcpy(dst, &substitute, 2);
      dst += 2, dstLeft -= 2;
      ++in, --inLeft;
      iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(static_cast<std::size_t>(dst - reinterpret_cast<char*>(out.data())) / 2);
    return out;
  }

  std::optional<std::string> EncodeWithIconv(std::u16string_view text) const {
    IconvHandle cd(name_.c_str(), "UTF-16LE");
    if (!cd.ok()) return std::nullopt;
    std::string src(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    std::string out(text.size() * 4 + 16, '\0');
    char* in = src.data();
    std::size_t inLeft = src.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    if (iconv(cd.get(), &in, &inLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
      return std::nullopt;  // no exact representation
    }
    iconv(cd.get(), nullptr, nullptr, &dst, &dstLeft);  // flush any shift state
    out.resize(out.size() - dstLeft);
    // Some mappings go one way only (CP932 writes the yen sign as the backslash's byte, "¬" as
    // the bytes of "￢"): only bytes that read back as the text hold it exactly.
    if (DecodeWithIconv(out) != text) return std::nullopt;
    return out;
  }

  unsigned id_;
  std::string name_;
  bool singleByte_ = false;
  bool asciiCompatible_ = false;
  char16_t decode_[256] = {};
  std::unordered_map<char16_t, unsigned char> encode_;
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
