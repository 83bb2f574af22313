// A Windows installation that is not a Wine prefix: the folder that holds
// its drive C:, as a disk or an image mounted on POSIX shows it. Set once at
// startup; while it is empty the installation is the Wine prefix.
#ifndef TARNWICK_PLATFORM_POSIX_MOUNTED_ROOT_H
#define TARNWICK_PLATFORM_POSIX_MOUNTED_ROOT_H

#include <string>

// folder: an absolute path without a trailing '/', or empty for the prefix.
void SetMountedDriveC(const std::string& folder);
const std::string& MountedDriveC();

#endif
