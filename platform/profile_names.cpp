#include "platform/profile_names.h"

#include <algorithm>
#include <cstring>

namespace profile_names {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string Trim(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

namespace {

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

bool IsWritableSection(const std::string& name) {
  return !name.empty() && !HasLineBreak(name) && name.find(']') == std::string::npos;
}

bool IsWritableKey(const std::string& name) {
  return !name.empty() && !HasLineBreak(name) && name.find('=') == std::string::npos && name[0] != ';' &&
         name[0] != '[';
}

}  // namespace

bool PrepareWrite(const char* section, const char* key, const char* value, std::string* sectionName,
                  std::string* keyName) {
  if (section == nullptr || key == nullptr) return false;
  *sectionName = Trim(section);
  *keyName = Trim(key);
  return IsWritableSection(*sectionName) && IsWritableKey(*keyName) && (value == nullptr || !HasLineBreak(value));
}

int CopyOut(std::string_view text, char* buffer, int size) {
  const std::size_t count = std::min(text.size(), static_cast<std::size_t>(size) - 1);
  std::memmove(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}

}  // namespace profile_names
