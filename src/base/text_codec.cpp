#include "base/text_codec.h"

#include "base/ascii_blocks.h"
#include "base/utf16.h"

namespace kavo {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Reads one well-formed UTF-8 sequence at bytes[i]; returns its length, or 0 when the bytes
// there are not a valid sequence (overlong, surrogate, above U+10FFFF, truncated).
std::size_t ReadUtf8(std::string_view bytes, std::size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(bytes[i]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  std::size_t len;
  char32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, min = 0x80, cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, min = 0x800, cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, min = 0x10000, cp = b0 & 0x07;
  } else {
    return 0;
  }
  if (bytes.size() - i < len) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(bytes[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || IsSurrogate(cp)) return 0;
  return len;
}

}  // namespace

std::optional<std::u16string> DecodeUtf8Strict(std::string_view bytes) {
  const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
  // Never more code units than bytes: decode into a buffer of that size, then trim.
  std::u16string out(bytes.size(), u'\0');
  char16_t* dst = out.data();
  for (std::size_t i = 0; i < bytes.size();) {
    // Runs of ASCII, the usual text, widen eight bytes at a time.
    if (i + 8 <= bytes.size() && AsciiBytes8(bytes.data() + i)) {
      for (int k = 0; k < 8; ++k) dst[k] = src[i + k];
      dst += 8, i += 8;
      continue;
    }
    if (src[i] < 0x80) {
      *dst++ = src[i++];
      continue;
    }
    char32_t cp;
    const std::size_t len = ReadUtf8(bytes, i, cp);
    if (len == 0) return std::nullopt;
    dst = PutCodePoint(dst, cp);
    i += len;
  }
  out.resize(static_cast<std::size_t>(dst - out.data()));
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    // Skip ASCII eight bytes at a time.
    if (bytes.size() - i >= 8 && AsciiBytes8(bytes.data() + i)) {
      i += 8;
      continue;
    }
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    char32_t cp;
    const std::size_t len = ReadUtf8(bytes, i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::u16string FromUtf8Lossy(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp;
    const std::size_t len = ReadUtf8(bytes, i, cp);
    if (len == 0) {
      out.push_back(kReplacement);
      ++i;
    } else {
      AppendCodePoint(out, cp);
      i += len;
    }
  }
  return out;
}

void AppendUtf8(std::string& out, std::u16string_view text) {
  // Units below U+0080 four at a time: they are most of any key file.
  const auto asciiRun = [&](std::size_t i) {
    return i + 4 <= text.size() && AsciiUnits4(text.data() + i);
  };
  // The exact size first, so that the bytes are written in place.
  std::size_t size = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (asciiRun(i)) {
      size += 4, i += 4;
      continue;
    }
    const CodePoint point = ReadCodePoint(text, i);
    i += point.units;
    const char32_t cp = point.value;
    size += cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
  }
  const std::size_t start = out.size();
  out.resize(start + size);
  char* dst = out.data() + start;
  for (std::size_t i = 0; i < text.size();) {
    if (asciiRun(i)) {
      for (std::size_t k = 0; k < 4; ++k) dst[k] = static_cast<char>(text[i + k]);
      dst += 4, i += 4;
      continue;
    }
    const CodePoint point = ReadCodePoint(text, i);
    i += point.units;
    const char32_t cp = IsSurrogate(point.value) ? kReplacement : point.value;
    if (cp < 0x80) {
      *dst++ = static_cast<char>(cp);
      continue;
    }
    if (cp < 0x800) {
      *dst++ = static_cast<char>(0xC0 | (cp >> 6));
    } else if (cp < 0x10000) {
      *dst++ = static_cast<char>(0xE0 | (cp >> 12));
      *dst++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    } else {
      *dst++ = static_cast<char>(0xF0 | (cp >> 18));
      *dst++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      *dst++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    *dst++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendUtf8(out, text);
  return out;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string out(bytes.size() / 2, u'\0');
  for (std::size_t k = 0; k < out.size(); ++k) {
    const auto lo = static_cast<unsigned char>(bytes[2 * k + (bigEndian ? 1 : 0)]);
    const auto hi = static_cast<unsigned char>(bytes[2 * k + (bigEndian ? 0 : 1)]);
    out[k] = static_cast<char16_t>(hi << 8 | lo);
  }
  return out;
}

void AppendUtf16(std::string& out, std::u16string_view text, bool bigEndian) {
  const std::size_t start = out.size();
  out.resize(start + 2 * text.size());
  char* p = out.data() + start;
  for (const char16_t u : text) {
    const char lo = static_cast<char>(u & 0xFF);
    const char hi = static_cast<char>(u >> 8);
    *p++ = bigEndian ? hi : lo;
    *p++ = bigEndian ? lo : hi;
  }
}

}  // namespace kavo
