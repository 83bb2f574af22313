// Prints the settings this build reads at start-up, paths in the settings
// file's (Windows) form, so that the POSIX and Windows layers can be
// compared on the same tarnwick.ini.
#include <cstdio>
#include <string>

#include "config/settings.h"
#include "platform/system_dirs.h"
#include "tests/support/no_prompts.h"
#include "usage/process_state.h"
#include "usage/startup.h"

int main() {
  ProcessState state;
  testbuild::NoPrompts prompts;
  if (StartupInit(state, prompts) == 0) return 1;
  const Settings& s = state.settings;
  std::printf("BackupDir=%s\n", SettingsPath(s.BackupDir).c_str());
  std::printf("Recurse=%d\n", s.Recurse);
  std::printf("LibraryDir32=%s\n", SettingsPath(s.LibraryDir32).c_str());
  std::printf("LibraryDir16=%s\n", SettingsPath(s.LibraryDir16).c_str());
  std::printf("LibraryKindMask=0x%x\n", s.LibraryKindMask);
  std::printf("DriveSelection=%s\n", s.DriveSelection);
  std::string table;
  for (const std::string& extension : s.ExtensionTable) {
    if (extension.empty()) break;
    table += "[" + extension + "]";
  }
  std::printf("ExtensionTable=%s\n", table.c_str());
  std::printf("SearchRoot=%s\n", state.SearchRoot[0] != 0 ? SettingsPath(state.SearchRoot).c_str() : "");
  return 0;
}
