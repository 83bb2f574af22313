#include "platform/registry.h"

#include <string>

#include "platform/file_start.h"
#include "platform/installation_root.h"
#include "platform/reg_file.h"

std::string VisitInstallationRegistry(RegistryVisitor& visitor, int /*threads*/) {
  // Wine's registry files lie in a prefix; a mounted installation has none
  // (its hive files are searched as files of drive C:).
  if (!MountedDriveC().empty()) return "no registry files (a mounted installation)";
  std::string read;
  // In the order the live registry is walked: the machine, then the users.
  for (const char* name : {"system.reg", "userdef.reg", "user.reg"}) {
    const std::string path = WinePrefix() + "/" + name;
    // Read in one go: byte by byte through a stream took longer than parsing.
    std::string bytes;
    if (!ReadFileStart(path, bytes.max_size(), &bytes)) continue;
    read += (read.empty() ? "" : ", ") + path;
    if (!ParseRegFile(RegFileText(bytes), visitor)) break;
  }
  return read.empty() ? "no registry files" : read;
}
