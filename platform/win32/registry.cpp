#include "platform/registry.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/text.h"

namespace {

std::string Narrow(const wchar_t* text, std::size_t length) {
  return Utf16ToAnsi(std::u16string(reinterpret_cast<const char16_t*>(text), length));
}

class LiveWalk {
 public:
  explicit LiveWalk(RegistryVisitor& visitor) : visitor_(visitor) {}

  // Visits the open key and everything below it; false once the visitor
  // ended the walk.
  bool Walk(HKEY key, const std::string& path, const std::string& name) {
    DWORD subkeys = 0, longestSubkey = 0, values = 0, longestValueName = 0, longestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values,
                         &longestValueName, &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
      return true;
    }
    RegistryKey visited;
    visited.path = path;
    visited.texts.push_back(name);
    ReadValues(key, values, longestValueName, longestData, &visited.texts);
    if (!visitor_.Visit(visited)) return false;

    std::vector<std::wstring> names;
    std::wstring buffer(static_cast<std::size_t>(longestSubkey) + 2, L'\0');
    for (DWORD i = 0;; ++i) {
      DWORD length = static_cast<DWORD>(buffer.size());
      const LONG status = RegEnumKeyExW(key, i, &buffer[0], &length, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_MORE_DATA) {
        buffer.resize(buffer.size() * 2 + 256);
        --i;
        continue;
      }
      if (status != ERROR_SUCCESS) break;
      names.emplace_back(buffer.data(), length);
    }
    for (const std::wstring& subkeyName : names) {
      HKEY subkey;
      // A link (CurrentControlSet, the redirected class keys) is opened as
      // itself, so the keys it points at are met once, where they are stored.
      if (RegOpenKeyExW(key, subkeyName.c_str(), REG_OPTION_OPEN_LINK, KEY_READ, &subkey) != ERROR_SUCCESS) {
        continue;
      }
      const std::string narrowName = Narrow(subkeyName.data(), subkeyName.size());
      const bool goOn = Walk(subkey, path + "\\" + narrowName, narrowName);
      RegCloseKey(subkey);
      if (!goOn) return false;
    }
    return true;
  }

 private:
  void ReadValues(HKEY key, DWORD values, DWORD longestName, DWORD longestData, std::vector<std::string>* texts) {
    std::wstring name(static_cast<std::size_t>(longestName) + 2, L'\0');
    std::vector<BYTE> data(static_cast<std::size_t>(longestData) + 4);
    for (DWORD i = 0; i < values; ++i) {
      DWORD nameLength = static_cast<DWORD>(name.size());
      DWORD dataSize = static_cast<DWORD>(data.size());
      DWORD type = 0;
      const LONG status = RegEnumValueW(key, i, &name[0], &nameLength, nullptr, &type, data.data(), &dataSize);
      if (status == ERROR_MORE_DATA) {
        // The value changed since the key was measured: measure again.
        name.resize(name.size() * 2 + 256);
        data.resize(data.size() * 2 + 256);
        --i;
        continue;
      }
      if (status != ERROR_SUCCESS) break;
      if (nameLength > 0) texts->push_back(Narrow(name.data(), nameLength));
      if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        std::size_t units = dataSize / sizeof(wchar_t);
        const auto* text = reinterpret_cast<const wchar_t*>(data.data());
        while (units > 0 && text[units - 1] == L'\0') --units;
        texts->push_back(Narrow(text, units));
      }
    }
  }

  RegistryVisitor& visitor_;
};

}  // namespace

std::string VisitInstallationRegistry(RegistryVisitor& visitor) {
  LiveWalk walk(visitor);
  if (walk.Walk(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKEY_LOCAL_MACHINE")) {
    walk.Walk(HKEY_USERS, "HKEY_USERS", "HKEY_USERS");
  }
  return "the live registry";
}
