// POSIX private-profile files. Every call reads and parses the whole file;
// a write builds the new contents line by line, keeping the bytes of every
// line it does not change, and replaces the file through a temporary file
// in the same directory, so that a reader never sees half a file and a
// failed write leaves the old one as it was.
#include "platform/profile.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ascii.h"
#include "platform/profile_names.h"
#include "platform/system_dirs.h"

namespace {

using namespace profile_names;

std::mutex gProfileMutex;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

std::string StripQuotes(const std::string& value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

enum class LineKind { kOther, kSection, kKey };

struct Line {
  std::string raw;  // without its line end
  LineKind kind = LineKind::kOther;
  std::string name;   // section or key, without the blanks around it
  std::string value;  // of a key, without the blanks around it
};

struct Profile {
  bool bom = false;
  std::vector<Line> lines;
};

Line Classify(std::string raw) {
  Line line;
  line.raw = std::move(raw);
  const std::string_view text = line.raw;
  std::size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  if (start == text.size() || text[start] == ';') return line;
  if (text[start] == '[') {
    // A header without its ']' is no header, and its line no key either.
    const std::size_t close = text.find(']', start + 1);
    if (close != std::string_view::npos) {
      line.kind = LineKind::kSection;
      line.name = Trim(text.substr(start + 1, close - start - 1));
    }
    return line;
  }
  const std::size_t equals = text.find('=', start);
  if (equals != std::string_view::npos) {
    line.kind = LineKind::kKey;
    line.name = Trim(text.substr(start, equals - start));
    line.value = Trim(text.substr(equals + 1));
  }
  return line;
}

Profile Parse(std::string_view content) {
  Profile profile;
  if (content.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    profile.bom = true;
    content.remove_prefix(kUtf8Bom.size());
  }
  while (!content.empty()) {
    std::size_t end = content.find('\n');
    std::string_view text = content.substr(0, end);
    content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    profile.lines.push_back(Classify(std::string(text)));
  }
  return profile;
}

std::string Serialize(const Profile& profile) {
  std::string out = profile.bom ? std::string(kUtf8Bom) : std::string();
  for (const Line& line : profile.lines) out += line.raw + "\r\n";
  return out;
}

// The lines of the first section of that name, as [begin, end); the keys
// before the first header form a section without a name.
struct Span {
  std::size_t header = kNone;
  std::size_t begin = 0;
  std::size_t end = 0;
};

std::optional<Span> FindSection(const std::vector<Line>& lines, const std::string& name) {
  Span span;
  for (std::size_t i = 0; i <= lines.size(); ++i) {
    if (i < lines.size() && lines[i].kind != LineKind::kSection) continue;
    span.end = i;
    if (SameName(span.header == kNone ? std::string() : lines[span.header].name, name)) return span;
    span.header = i;
    span.begin = i + 1;
  }
  return std::nullopt;
}

std::size_t FindKey(const std::vector<Line>& lines, const Span& span, const std::string& name) {
  for (std::size_t i = span.begin; i < span.end; ++i) {
    if (lines[i].kind == LineKind::kKey && SameName(lines[i].name, name)) return i;
  }
  return kNone;
}

// A Windows-form name goes through the prefix's drives, and a bare name is
// looked up in the Windows directory without regard to case, as Wine does.
std::string ProfilePath(const std::string& file) {
  if (file.find('/') != std::string::npos) return file;
  if (file.find('\\') != std::string::npos || (file.size() >= 2 && file[1] == ':')) return NativePath(file);
  return NativePath(WindowsDirectory() + "/" + file);
}

// 0 and the contents, or the errno of the failure.
int ReadWholeFile(const std::string& path, std::string& content) {
  content.clear();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  char chunk[8192];
  int error = 0;
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got > 0) {
      content.append(chunk, static_cast<std::size_t>(got));
    } else if (got == 0) {
      break;
    } else if (errno != EINTR) {
      error = errno;
      break;
    }
  }
  close(fd);
  return error;
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

// The temporary file gets the old file's permissions (a new one those the
// umask allows), and a symbolic link keeps pointing at the updated file.
bool ReplaceFile(const std::string& path, const std::string& bytes) {
  std::string target = path;
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) != nullptr) target = resolved;
  }
  const bool existed = stat(target.c_str(), &st) == 0;
  const std::size_t slash = target.rfind('/');
  const std::string directory = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = target.substr(slash == std::string::npos ? 0 : slash + 1);

  static unsigned serial = 0;
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = directory + "." + base + "." + std::to_string(getpid()) + "." + std::to_string(serial++) + ".tmp";
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes) && (!existed || fchmod(fd, st.st_mode & 07777) == 0) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

// The value of the key, quotes removed, or nothing when the file, the
// section or the key is missing.
std::optional<std::string> LookUp(const char* section, const char* key, const char* file) {
  const std::string path = ProfilePath(file);
  std::lock_guard<std::mutex> lock(gProfileMutex);
  std::string content;
  if (ReadWholeFile(path, content) != 0) return std::nullopt;
  const Profile profile = Parse(content);
  const std::optional<Span> span = FindSection(profile.lines, Trim(section));
  if (!span) return std::nullopt;
  const std::size_t index = FindKey(profile.lines, *span, Trim(key));
  if (index == kNone) return std::nullopt;
  return StripQuotes(profile.lines[index].value);
}

// As Windows does: trailing spaces of a default are dropped (the Windows
// documentation warns of them), and quotes go as they do from a value.
std::string DefaultAsRead(std::string value) {
  while (!value.empty() && value.back() == ' ') value.pop_back();
  return StripQuotes(value);
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

// Sign, then digits: decimal, or after a lower-case 0x, 0o or 0b prefix
// hexadecimal, octal or binary, as the Windows side reads them. A number
// beyond the range of int is clamped rather than wrapped around.
int ParseInt(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i + 1 < text.size() && text[i] == '0') {
    const char prefix = text[i + 1];
    base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
    if (base != 10) i += 2;
  }
  constexpr std::uint64_t kCap = std::uint64_t{1} << 32;
  std::uint64_t magnitude = 0;
  for (; i < text.size() && DigitValue(text[i]) < base; ++i) {
    magnitude = std::min(kCap, magnitude * base + DigitValue(text[i]));
  }
  if (negative) return magnitude > std::uint64_t{INT_MAX} ? INT_MIN : -static_cast<int>(magnitude);
  return magnitude > std::uint64_t{INT_MAX} ? INT_MAX : static_cast<int>(magnitude);
}

}  // namespace

int ProfileReadString(const char* section, const char* key, const char* defaultValue, char* buffer, int size,
                      const char* file) {
  if (buffer == nullptr || size <= 0) return 0;
  // Copied before anything is written: the buffer may hold the default.
  std::string result = defaultValue != nullptr ? defaultValue : "";
  if (section == nullptr || key == nullptr || file == nullptr) return CopyOut(result, buffer, size);
  const std::optional<std::string> found = LookUp(section, key, file);
  return CopyOut(found ? *found : DefaultAsRead(result), buffer, size);
}

int ProfileReadInt(const char* section, const char* key, int defaultValue, const char* file) {
  if (section == nullptr || key == nullptr || file == nullptr) return defaultValue;
  const std::optional<std::string> found = LookUp(section, key, file);
  if (!found || found->empty()) return defaultValue;
  return ParseInt(*found);
}

bool ProfileWriteString(const char* section, const char* key, const char* value, const char* file) {
  std::string sectionName, keyName;
  if (file == nullptr || !PrepareWrite(section, key, value, &sectionName, &keyName)) return false;
  const std::string path = ProfilePath(file);
  std::lock_guard<std::mutex> lock(gProfileMutex);
  std::string content;
  const int error = ReadWholeFile(path, content);
  if (error != 0 && error != ENOENT && error != ENOTDIR) return false;
  Profile profile = Parse(content);
  std::vector<Line>& lines = profile.lines;

  const std::optional<Span> span = FindSection(lines, sectionName);
  const std::size_t index = span ? FindKey(lines, *span, keyName) : kNone;
  if (value == nullptr) {
    if (index == kNone) return true;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(index));
  } else if (index != kNone) {
    lines[index] = Classify(lines[index].name + "=" + value);
  } else if (span) {
    std::size_t at = span->begin;
    for (std::size_t i = span->begin; i < span->end; ++i) {
      if (lines[i].kind == LineKind::kKey) at = i + 1;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Classify(keyName + "=" + value));
  } else {
    if (!lines.empty() && !Trim(lines.back().raw).empty()) lines.push_back(Line());
    lines.push_back(Classify("[" + sectionName + "]"));
    lines.push_back(Classify(keyName + "=" + value));
  }

  const std::string updated = Serialize(profile);
  if (error == 0 && updated == content) return true;
  return ReplaceFile(path, updated);
}
