// Win32 private-profile files: the system's own functions. A bare file name
// passes through unchanged, so Windows looks for it in its Windows directory.
#include "platform/profile.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/profile_names.h"

using namespace profile_names;

int ProfileReadString(const char* section, const char* key, const char* defaultValue, char* buffer, int size,
                      const char* file) {
  if (buffer == nullptr || size <= 0) return 0;
  // Copied first: the caller may pass its buffer as the default.
  const std::string fallback = defaultValue != nullptr ? defaultValue : "";
  if (section == nullptr || key == nullptr || file == nullptr) return CopyOut(fallback.c_str(), buffer, size);
  // One byte more than the caller has: Wine, removing the quotes of a value
  // that exactly fills the buffer, drops one character too many; with the
  // extra byte that case lies beyond what the caller gets.
  std::vector<char> scratch(static_cast<std::size_t>(size) + 1, '\0');
  GetPrivateProfileStringA(section, key, fallback.c_str(), scratch.data(), static_cast<DWORD>(scratch.size()),
                           file);
  return CopyOut(scratch.data(), buffer, size);
}

int ProfileReadInt(const char* section, const char* key, int defaultValue, const char* file) {
  if (section == nullptr || key == nullptr || file == nullptr) return defaultValue;
  return static_cast<int>(GetPrivateProfileIntA(section, key, defaultValue, file));
}

bool ProfileWriteString(const char* section, const char* key, const char* value, const char* file) {
  std::string sectionName, keyName;
  if (file == nullptr || !PrepareWrite(section, key, value, &sectionName, &keyName)) return false;
  return WritePrivateProfileStringA(sectionName.c_str(), keyName.c_str(), value, file) != FALSE;
}
