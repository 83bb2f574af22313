// The Windows installation as Wine lays it out in a prefix folder.
#include "platform/system_dirs.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <initializer_list>
#include <cstdlib>
#include <vector>

#include "platform/ascii.h"
#include "platform/installation_root.h"

const char kPathSeparator = '/';

namespace {

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && ::EqualIgnoringAsciiCase(a.c_str(), b.c_str());
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Join(const std::string& directory, const std::string& name) {
  if (directory.empty() || directory.back() == '/') return directory + name;
  return directory + "/" + name;
}

// The entry of directory named like name: the exact name when it exists,
// else the first, in byte order, that equals it without regard to ASCII
// case, else name itself.
std::string FindCaseBlind(const std::string& directory, const std::string& name) {
  if (name == "." || name == ".." || Exists(Join(directory, name))) return name;
  DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return name;
  std::vector<std::string> matches;
  while (const dirent* entry = readdir(dir)) {
    if (EqualIgnoringAsciiCase(entry->d_name, name)) matches.push_back(entry->d_name);
  }
  closedir(dir);
  if (matches.empty()) return name;
  return *std::min_element(matches.begin(), matches.end());
}

// base joined with the components of rest (separated by '/' or '\\'), each
// looked up case-blind while the path so far exists.
std::string ResolveComponents(std::string base, const std::string& rest) {
  bool resolving = true;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find_first_of("/\\", start);
    if (end == std::string::npos) end = rest.size();
    const std::string component = rest.substr(start, end - start);
    if (!component.empty()) {
      resolving = resolving && IsDirectory(base.empty() ? "." : base);
      base = Join(base, resolving ? FindCaseBlind(base, component) : component);
    }
    start = end + 1;
  }
  if (!rest.empty() && (rest.back() == '/' || rest.back() == '\\') && (base.empty() || base.back() != '/')) {
    base += '/';
  }
  return base;
}

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return std::string();
  return resolved;
}

// The canonical form of an absolute path whose tail may not exist yet: the
// longest existing ancestor is resolved, the rest appended as it stands.
std::string CanonicalLeading(const std::string& path) {
  std::string existing = path;
  std::string tail;
  while (!existing.empty()) {
    const std::string real = RealPath(existing);
    if (!real.empty()) return tail.empty() ? real : Join(real, tail);
    const std::size_t slash = existing.find_last_of('/');
    if (slash == std::string::npos) break;
    const std::string last = existing.substr(slash + 1);
    if (!last.empty()) tail = tail.empty() ? last : last + "/" + tail;
    existing = slash == 0 ? "/" : existing.substr(0, slash);
    if (existing == "/" && RealPath("/").empty()) break;
  }
  return path;
}

// The first of names that stands in directory as a folder, spelled as the
// directory spells it; empty when none does.
std::string FirstFolder(const std::string& directory, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    const std::string path = Join(directory, FindCaseBlind(directory, name));
    if (IsDirectory(path)) return path;
  }
  return std::string();
}

// The folder a drive letter stands for, or empty when there is no such drive.
std::string DriveFolder(char letter) {
  const std::string& mounted = MountedDriveC();
  if (mounted.empty()) {
    const std::string link = WinePrefix() + "/dosdevices/" + LowerAscii(letter) + ":";
    const std::string root = RealPath(link);
    return root.empty() ? link : root;
  }
  if (LowerAscii(letter) == 'c') return mounted;
  if (LowerAscii(letter) == 'z') return "/";
  return std::string();
}

bool IsDriveName(const char* name) {
  return name[0] >= 'a' && name[0] <= 'z' && name[1] == ':' && name[2] == 0;
}

}  // namespace

std::string WindowsDirectory() {
  if (MountedDriveC().empty()) return WinePrefix() + "/drive_c/windows";
  return FirstFolder(MountedDriveC(), {"Windows", "WINNT"});
}

std::string SystemDirectory() {
  if (MountedDriveC().empty()) return WinePrefix() + "/drive_c/windows/system32";
  const std::string windows = WindowsDirectory();
  return windows.empty() ? windows : FirstFolder(windows, {"System32", "System"});
}

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof buffer) == nullptr) return std::string();
  return buffer;
}

std::string NativePath(const std::string& path) {
  const bool windowsForm = path.size() >= 2 && path[1] == ':' &&
                           ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
  if (!windowsForm) {
    if (path.empty()) return path;
    if (path[0] == '/') return ResolveComponents("/", path.substr(1));
    return ResolveComponents(std::string(), path);
  }
  const std::string root = DriveFolder(path[0]);
  // A path under /dev/null never exists: a drive the installation lacks.
  if (root.empty()) return "/dev/null/" + std::string(1, LowerAscii(path[0])) + ":" + path.substr(2);
  return ResolveComponents(root, path.substr(2));
}

std::string SettingsPath(const std::string& nativePath) {
  if (nativePath.empty() || nativePath[0] != '/') return nativePath;
  const std::string canonical = CanonicalLeading(nativePath);

  char bestDrive = 'z';
  std::string bestRoot = "/";
  const std::string devices = WinePrefix() + "/dosdevices";
  const std::string mounted = MountedDriveC().empty() ? std::string() : RealPath(MountedDriveC());
  if (!mounted.empty()) {
    if (canonical == mounted || mounted == "/" ||
        (canonical.compare(0, mounted.size(), mounted) == 0 && canonical[mounted.size()] == '/')) {
      bestRoot = mounted;
      bestDrive = 'c';
    }
  } else if (DIR* dir = opendir(devices.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      if (!IsDriveName(entry->d_name)) continue;
      const std::string root = RealPath(devices + "/" + entry->d_name);
      if (root.empty()) continue;
      const bool inside = canonical == root || root == "/" ||
                          (canonical.compare(0, root.size(), root) == 0 && canonical[root.size()] == '/');
      const bool longer = root.size() > bestRoot.size() ||
                          (root.size() == bestRoot.size() && entry->d_name[0] < bestDrive);
      if (inside && longer) {
        bestRoot = root;
        bestDrive = entry->d_name[0];
      }
    }
    closedir(dir);
  }
  std::string rest = bestRoot == "/" ? canonical.substr(1) : canonical.substr(bestRoot.size());
  if (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
  if (nativePath.back() == '/' && (rest.empty() || rest.back() != '/')) rest += '/';
  std::replace(rest.begin(), rest.end(), '/', '\\');
  std::string out;
  out += static_cast<char>(bestDrive - 'a' + 'A');
  out += ":\\";
  return out + rest;
}

bool IsNativeDirectory(const char* value) { return value != nullptr && value[0] == '/'; }
