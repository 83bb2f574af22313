// The running system's own directories; paths pass unchanged.
#include "platform/system_dirs.h"

#include <windows.h>

const char kPathSeparator = '\\';

std::string SystemDirectory() {
  char buffer[MAX_PATH];
  const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

std::string WindowsDirectory() {
  char buffer[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

std::string CurrentDirectory() {
  char buffer[MAX_PATH];
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

std::string NativePath(const std::string& path) { return path; }

std::string SettingsPath(const std::string& nativePath) { return nativePath; }

bool IsNativeDirectory(const char*) { return false; }
