// Where the Windows installation lies, and how its paths are spelled.
//
// On Windows these are the system's own directories and paths pass
// unchanged. On POSIX the installation is laid out as Wine lays it out, in
// a prefix folder: $WINEPREFIX, else ~/.wine. The Windows directory is
// <prefix>/drive_c/windows, the system directory
// <prefix>/drive_c/windows/system32. A path in Windows form (X:\dir\sub) is
// translated through <prefix>/dosdevices/x: (the link or folder Wine keeps
// there), and each component is matched without regard to ASCII case when
// the exact name does not exist, as Wine does.
#ifndef TARNWICK_PLATFORM_SYSTEM_DIRS_H
#define TARNWICK_PLATFORM_SYSTEM_DIRS_H

#include <string>

// The separator that AppendBackslash adds: '\\' on Windows, '/' on POSIX.
extern const char kPathSeparator;

// Both are empty for a mounted installation without a Windows directory.
std::string SystemDirectory();
std::string WindowsDirectory();
std::string CurrentDirectory();

// A path as the settings file or the user wrote it, as this platform opens
// it. Windows: unchanged. POSIX: a Windows-form path is translated as
// above; any other path only gets the case-blind lookup of its components.
std::string NativePath(const std::string& path);

// A path of this platform as the settings file stores it. Windows:
// unchanged. POSIX: in Windows form, through the dosdevices drive whose
// folder holds it (the longest match), else through Z:, which Wine maps to
// the root; so the file stays right for the Windows build in the same prefix.
// A mounted installation: through C: when inside its folder, else Z:.
std::string SettingsPath(const std::string& nativePath);

// True when a "searchdrives" value names a directory in this platform's own
// form: on POSIX an absolute path, on Windows never (there the second
// character is a colon).
bool IsNativeDirectory(const char* value);

#endif
