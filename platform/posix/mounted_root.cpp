#include "platform/installation_root.h"

namespace {

std::string& DriveC() {
  static std::string folder;
  return folder;
}

}  // namespace

void SetMountedDriveC(const std::string& folder) {
  DriveC() = folder;
  while (DriveC().size() > 1 && DriveC().back() == '/') DriveC().pop_back();
}

const std::string& MountedDriveC() { return DriveC(); }
