// Where the Windows installation lies. On POSIX it is a Wine prefix, or a
// disk or image mounted somewhere that holds its drive C:. On Windows the
// installation is the running system: there is no Wine prefix and no mounted
// drive C:, and the POSIX-only callers (the console edition) are not built.
#ifndef TARNWICK_PLATFORM_INSTALLATION_ROOT_H
#define TARNWICK_PLATFORM_INSTALLATION_ROOT_H

#include <string>

// The Wine prefix folder: $WINEPREFIX, else ~/.wine, without a trailing '/'.
std::string WinePrefix();

// A Windows installation that is not a Wine prefix: the folder that holds
// its drive C:. Set once at startup; while it is empty the installation is
// the Wine prefix.
// folder: an absolute path without a trailing '/', or empty for the prefix.
void SetMountedDriveC(const std::string& folder);
const std::string& MountedDriveC();

#endif
