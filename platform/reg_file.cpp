#include "platform/reg_file.h"

#include <cstddef>
#include <vector>

#include "platform/text.h"

namespace {

enum class Dialect { kWine, kRegedit4, kRegedit5 };

bool StartsWith(const std::u16string& text, std::size_t at, const char* prefix) {
  for (std::size_t i = 0; prefix[i] != 0; ++i) {
    if (at + i >= text.size() || text[at + i] != static_cast<char16_t>(prefix[i])) return false;
  }
  return true;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Reads an escaped text from at up to the unescaped closing character;
// at ends after it. False when the line ends first.
bool Unescape(const std::u16string& line, std::size_t* at, char16_t closing, std::u16string* out) {
  out->clear();
  std::size_t i = *at;
  while (i < line.size()) {
    const char16_t c = line[i++];
    if (c == closing) {
      *at = i;
      return true;
    }
    if (c != u'\\' || i >= line.size()) {
      out->push_back(c);
      continue;
    }
    const char16_t e = line[i++];
    switch (e) {
      case u'a': out->push_back(7); break;
      case u'b': out->push_back(8); break;
      case u'e': out->push_back(27); break;
      case u'f': out->push_back(12); break;
      case u'n': out->push_back(10); break;
      case u'r': out->push_back(13); break;
      case u't': out->push_back(9); break;
      case u'v': out->push_back(11); break;
      case u'x': {
        unsigned value = 0;
        int digits = 0;
        for (; digits < 4 && i < line.size() && HexDigit(line[i]) >= 0; ++digits) value = value * 16 + HexDigit(line[i++]);
        out->push_back(digits == 0 ? u'x' : static_cast<char16_t>(value));
        break;
      }
      default:
        if (e >= u'0' && e <= u'7') {
          unsigned value = e - u'0';
          for (int digits = 1; digits < 3 && i < line.size() && line[i] >= u'0' && line[i] <= u'7'; ++digits) {
            value = value * 8 + (line[i++] - u'0');
          }
          out->push_back(static_cast<char16_t>(value));
        } else {
          out->push_back(e);
        }
    }
  }
  return false;
}

// The bytes of a hex value list ("41,00,42,00"), as far as they are well formed.
std::vector<unsigned char> HexBytes(const std::u16string& line, std::size_t at) {
  std::vector<unsigned char> bytes;
  int high = -1;
  for (; at < line.size(); ++at) {
    const int digit = HexDigit(line[at]);
    if (digit >= 0) {
      if (high < 0) {
        high = digit;
      } else {
        bytes.push_back(static_cast<unsigned char>(high * 16 + digit));
        high = -1;
      }
    } else if (line[at] == u',') {
      if (high >= 0) bytes.push_back(static_cast<unsigned char>(high));
      high = -1;
    } else if (line[at] != u' ' && line[at] != u'\t' && line[at] != u'\\') {
      break;
    }
  }
  if (high >= 0) bytes.push_back(static_cast<unsigned char>(high));
  return bytes;
}

std::u16string Lines(const std::u16string& text, std::size_t* at) {
  const std::size_t end = text.find(u'\n', *at);
  std::u16string line = text.substr(*at, end == std::u16string::npos ? std::u16string::npos : end - *at);
  *at = end == std::u16string::npos ? text.size() : end + 1;
  if (!line.empty() && line.back() == u'\r') line.pop_back();
  return line;
}

std::vector<std::u16string> SplitPath(const std::u16string& path) {
  std::vector<std::u16string> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == u'\\') {
      if (i > start) parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

// The root a Wine registry file names: "\Machine" or "\User\<name>", under
// "REGISTRY" in newer files.
std::u16string RootOf(const std::u16string& relative) {
  std::vector<std::u16string> parts = SplitPath(relative);
  if (!parts.empty() && (parts[0] == u"REGISTRY" || parts[0] == u"Registry")) parts.erase(parts.begin());
  std::u16string root;
  if (!parts.empty() && parts[0] == u"Machine") {
    root = u"HKEY_LOCAL_MACHINE";
  } else if (!parts.empty() && parts[0] == u"User") {
    root = u"HKEY_USERS";
  } else {
    return relative;
  }
  for (std::size_t i = 1; i < parts.size(); ++i) root += u'\\' + parts[i];
  return root;
}

class RegFileParser {
 public:
  explicit RegFileParser(RegistryVisitor& visitor) : visitor_(visitor) {}

  bool Parse(const std::u16string& text) {
    std::size_t at = 0;
    bool first = true;
    while (at < text.size()) {
      std::u16string line = Lines(text, &at);
      // A hex list goes on over the lines that follow a trailing backslash.
      while (!line.empty() && line.back() == u'\\' && at < text.size()) {
        line.pop_back();
        std::u16string next = Lines(text, &at);
        const std::size_t indent = next.find_first_not_of(u" \t");
        line += indent == std::u16string::npos ? u"" : next.substr(indent);
      }
      if (first && !line.empty() && line[0] == 0xFEFF) line.erase(0, 1);
      if (first) {
        first = false;
        if (StartsWith(line, 0, "WINE REGISTRY")) dialect_ = Dialect::kWine;
        if (StartsWith(line, 0, "REGEDIT4")) dialect_ = Dialect::kRegedit4;
        if (dialect_ != Dialect::kRegedit5) continue;
      }
      if (!Line(line)) return false;
    }
    return Flush();
  }

 private:
  bool Line(const std::u16string& line) {
    const std::size_t start = line.find_first_not_of(u" \t");
    if (start == std::u16string::npos) return true;
    if (StartsWith(line, start, ";; All keys relative to ")) {
      std::size_t at = start + 24;
      std::u16string relative;
      Unescape(line, &at, 0, &relative);
      root_ = RootOf(relative);
      return true;
    }
    if (line[start] == u'[') return Key(line, start + 1);
    if (line[start] == u'"' || line[start] == u'@') Value(line, start);
    return true;
  }

  bool Key(const std::u16string& line, std::size_t at) {
    if (!Flush()) return false;
    std::u16string path;
    if (dialect_ == Dialect::kWine) {
      if (!Unescape(line, &at, u']', &path)) return true;
    } else {
      const std::size_t close = line.rfind(u']');
      if (close == std::u16string::npos || close < at) return true;
      path = line.substr(at, close - at);
      if (!path.empty() && path[0] == u'-') return true;  // a key the file deletes
    }
    std::vector<std::u16string> parts = SplitPath(path);
    if (parts.empty()) return true;
    std::vector<std::u16string> full = root_.empty() ? std::vector<std::u16string>() : SplitPath(root_);
    full.insert(full.end(), parts.begin(), parts.end());
    // Keys without a line of their own: every level below the hive that the
    // keys before did not pass through.
    std::size_t common = 0;
    while (common < full.size() - 1 && common < visited_.size() && visited_[common] == full[common]) ++common;
    for (std::size_t level = common < 1 ? 1 : common; level + 1 < full.size(); ++level) {
      if (!Emit(full, level + 1, {full[level]})) return false;
    }
    key_ = full;
    texts_.assign(1, full.back());
    open_ = true;
    return true;
  }

  void Value(const std::u16string& line, std::size_t at) {
    if (!open_) return;
    std::u16string name;
    const bool named = line[at++] == u'"';
    if (named && !Unescape(line, &at, u'"', &name)) return;
    while (at < line.size() && (line[at] == u' ' || line[at] == u'\t')) ++at;
    if (at >= line.size() || line[at] != u'=') return;
    if (named) texts_.push_back(name);
    ++at;
    while (at < line.size() && (line[at] == u' ' || line[at] == u'\t')) ++at;
    std::u16string data;
    if (at < line.size() && line[at] == u'"') {
      ++at;
      if (Unescape(line, &at, u'"', &data)) texts_.push_back(data);
    } else if (StartsWith(line, at, "str(1):\"") || StartsWith(line, at, "str(2):\"") ||
               StartsWith(line, at, "str(7):\"")) {
      at += 8;
      if (Unescape(line, &at, u'"', &data)) texts_.push_back(data);
    } else if (StartsWith(line, at, "hex(1):") || StartsWith(line, at, "hex(2):") || StartsWith(line, at, "hex(7):")) {
      texts_.push_back(HexText(HexBytes(line, at + 7)));
    }
  }

  // String data in hex: UTF-16LE, but 8-bit text in a REGEDIT4 file.
  std::u16string HexText(const std::vector<unsigned char>& bytes) const {
    std::u16string text;
    if (dialect_ == Dialect::kRegedit4) {
      std::string narrow(bytes.begin(), bytes.end());
      for (std::size_t start = 0; start <= narrow.size();) {
        const std::size_t zero = narrow.find('\0', start);
        const std::size_t end = zero == std::string::npos ? narrow.size() : zero;
        text += AnsiToUtf16(narrow.substr(start, end - start).c_str());
        if (zero == std::string::npos) break;
        text.push_back(0);
        start = zero + 1;
      }
      return text;
    }
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
      text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return text;
  }

  bool Emit(const std::vector<std::u16string>& parts, std::size_t count, std::vector<std::u16string> texts) {
    RegistryKey key;
    for (std::size_t i = 0; i < count; ++i) {
      if (i > 0) key.path += '\\';
      key.path += Utf16ToAnsi(parts[i]);
    }
    for (const std::u16string& text : texts) key.texts.push_back(Utf16ToAnsi(text));
    visited_.assign(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(count));
    return visitor_.Visit(key);
  }

  bool Flush() {
    if (!open_) return true;
    open_ = false;
    return Emit(key_, key_.size(), texts_);
  }

  RegistryVisitor& visitor_;
  Dialect dialect_ = Dialect::kRegedit5;
  std::u16string root_;
  std::vector<std::u16string> visited_;
  std::vector<std::u16string> key_;
  std::vector<std::u16string> texts_;
  bool open_ = false;
};

}  // namespace

std::u16string RegFileText(const std::string& bytes) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const bool little = bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE;
  const bool big = bytes.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF;
  if (little || big) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text.push_back(static_cast<char16_t>(little ? byte(i) | (byte(i + 1) << 8) : (byte(i) << 8) | byte(i + 1)));
    }
    return text;
  }
  std::size_t start = 0;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
  // AnsiToUtf16 stops at a zero byte; a text file holds none where it matters.
  return AnsiToUtf16(bytes.c_str() + start);
}

bool ParseRegFile(const std::u16string& text, RegistryVisitor& visitor) {
  return RegFileParser(visitor).Parse(text);
}
