// Drive letters and drive types.
//
// Windows: the root of drive X is "X:\", and a drive is searched when
// GetDriveTypeA calls it DRIVE_FIXED. POSIX: drives C: to Z: are the entries
// <prefix>/dosdevices/x: of the Wine prefix; a drive is fixed when its entry
// leads to a directory, and its root is that directory with a trailing '/'.
// A mounted installation (platform/system_dirs.h) has drive C: alone.
#ifndef TARNWICK_PLATFORM_DRIVES_H
#define TARNWICK_PLATFORM_DRIVES_H

#include <string>

std::string DriveRoot(char letter);
bool IsFixedDrive(char letter);

// True for a folder that holds no files of its own but a view of the
// system (POSIX: proc, sysfs, devtmpfs, devpts, cgroup and the like); a
// walk never enters one. Windows has none.
bool IsVirtualFileSystem(const std::string& directory);

#endif
