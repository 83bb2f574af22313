#include "platform/registry.h"

#include <algorithm>
#include <fstream>

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
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) continue;
    // Read in one go: byte by byte through the stream took longer than parsing.
    std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(file.tellg(), 0)), '\0');
    file.seekg(0);
    file.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    read += (read.empty() ? "" : ", ") + path;
    if (!ParseRegFile(RegFileText(bytes), visitor)) break;
  }
  return read.empty() ? "no registry files" : read;
}
