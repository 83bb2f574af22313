#include "platform/drives.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <cstdint>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>

#include "platform/ascii.h"
#include "platform/installation_root.h"

namespace {

// A mounted installation has drive C: alone, its folder; a path under
// /dev/null never exists.
std::string DriveLink(char letter) {
  const std::string& mounted = MountedDriveC();
  if (!mounted.empty()) return LowerAscii(letter) == 'c' ? mounted : "/dev/null/" + std::string(1, LowerAscii(letter));
  return WinePrefix() + "/dosdevices/" + LowerAscii(letter) + ":";
}

// File systems that show the system rather than hold files, by the magic
// number statfs reports.
bool IsVirtualMagic(std::uint64_t magic) {
  static const std::uint64_t kMagics[] = {
      0x9fa0,      // proc
      0x62656572,  // sysfs
      0x1cd1,      // devpts
      0x27e0eb,    // cgroup
      0x63677270,  // cgroup2
      0x64626720,  // debugfs
      0x74726163,  // tracefs
      0x73636673,  // securityfs
      0x6165676c,  // pstore
      0xcafe4a11,  // bpf
      0x62656570,  // configfs
      0x65735543,  // fusectl
      0x19800202,  // mqueue
      0x42494e4d,  // binfmt_misc
      0x0187,      // autofs
      0xf97cff8c,  // selinuxfs
      0xde5e81e4,  // efivarfs
      0x6e736673,  // nsfs
  };
  for (std::uint64_t known : kMagics) {
    if (magic == known) return true;
  }
  return false;
}

// devtmpfs reports the magic of tmpfs, so it is known by its mount point.
const std::set<std::string>& DeviceMountPoints() {
  static std::set<std::string> points;
  static std::once_flag once;
  std::call_once(once, [] {
    std::ifstream mounts("/proc/self/mounts");
    for (std::string line; std::getline(mounts, line);) {
      std::istringstream fields(line);
      std::string device, point, type;
      if (fields >> device >> point >> type && type == "devtmpfs") points.insert(point);
    }
  });
  return points;
}

}  // namespace

std::string DriveRoot(char letter) {
  char resolved[PATH_MAX];
  if (realpath(DriveLink(letter).c_str(), resolved) == nullptr) return DriveLink(letter) + "/";
  std::string root = resolved;
  if (root.back() != '/') root += '/';
  return root;
}

bool IsFixedDrive(char letter) {
  struct stat st;
  return stat(DriveLink(letter).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsVirtualFileSystem(const std::string& directory) {
  struct statfs fs;
  if (statfs(directory.c_str(), &fs) == 0 && IsVirtualMagic(static_cast<std::uint64_t>(fs.f_type))) return true;
  char resolved[PATH_MAX];
  if (realpath(directory.c_str(), resolved) == nullptr) return false;
  return DeviceMountPoints().count(resolved) != 0;
}
