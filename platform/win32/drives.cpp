#include "platform/drives.h"

#include <windows.h>

std::string DriveRoot(char letter) { return std::string(1, letter) + ":\\"; }

bool IsFixedDrive(char letter) { return GetDriveTypeA(DriveRoot(letter).c_str()) == DRIVE_FIXED; }

bool IsVirtualFileSystem(const std::string&) { return false; }
