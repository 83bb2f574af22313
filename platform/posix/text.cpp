// UTF-8 to UTF-16, the POSIX side's ANSI conversion.
#include "platform/text.h"

#include <cstring>

namespace {

// Decodes one UTF-8 sequence at text; returns its length, or 0 when the
// bytes there are not a valid, shortest-form sequence of a scalar value.
int DecodeUtf8(const unsigned char* text, char32_t* out) {
  const unsigned char lead = text[0];
  int length;
  char32_t value;
  if (lead < 0x80) {
    *out = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
  } else {
    return 0;
  }
  for (int i = 1; i < length; ++i) {
    if ((text[i] & 0xC0) != 0x80) return 0;  // also stops at the terminating zero
    value = (value << 6) | (text[i] & 0x3F);
  }
  static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *out = value;
  return length;
}

}  // namespace

std::u16string AnsiToUtf16(const char* text) {
  std::u16string out;
  // Never more units than bytes; grown a unit at a time, a registry file's
  // text took a third of the time its reading took.
  out.reserve(std::strlen(text));
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p != 0) {
    char32_t value;
    const int length = DecodeUtf8(p, &value);
    if (length == 0) {
      out.push_back(u'\uFFFD');
      ++p;
      continue;
    }
    p += length;
    if (value >= 0x10000) {
      value -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (value >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (value & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(value));
    }
  }
  return out;
}

std::string Utf16ToAnsi(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t value = text[i];
    if (value >= 0xD800 && value <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      value = 0x10000 + ((value - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (value >= 0xD800 && value <= 0xDFFF) {
      value = 0xFFFD;
    }
    if (value < 0x80) {
      out.push_back(static_cast<char>(value));
    } else if (value < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (value >> 6)));
      out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (value >> 12)));
      out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (value >> 18)));
      out.push_back(static_cast<char>(0x80 | ((value >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    }
  }
  return out;
}

std::string OtherReadingOf8BitText(const std::string& text) {
  bool valid = true, ascii = true;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t i = 0; i < text.size() && valid;) {
    if (bytes[i] < 0x80) {
      ++i;
      continue;
    }
    ascii = false;
    char32_t value;
    // DecodeUtf8 stops at a zero byte; a zero inside a sequence ends it badly.
    const int length = DecodeUtf8(bytes + i, &value);
    if (length == 0 || i + static_cast<std::size_t>(length) > text.size()) valid = false;
    i += static_cast<std::size_t>(length > 0 ? length : 1);
  }
  if (ascii || valid) return std::string();
  // Windows-1252's letters and signs at 0x80 to 0x9F; the rest of the upper
  // half is Latin-1. Unassigned places become U+FFFD.
  static const char16_t kHigh[32] = {
      0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::u16string wide;
  wide.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = bytes[i];
    wide.push_back(c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : static_cast<char16_t>(c));
  }
  return Utf16ToAnsi(wide);
}
