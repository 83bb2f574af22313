// The installation's registry, read for the names it holds.
//
// Both sides hand the visitor the same thing for every key, depth first,
// a key before its subkeys: the key's full path from its root
// ("HKEY_LOCAL_MACHINE\Software\...", "HKEY_USERS\.Default\..."), its own
// name, the name of each value and the text of each string value
// (REG_SZ, REG_EXPAND_SZ and every string of a REG_MULTI_SZ), all as 8-bit
// text (platform/text.h). Links between keys are not followed, so every
// key is met once, under the path it is stored at.
//
// Windows reads the live registry under HKEY_LOCAL_MACHINE and HKEY_USERS
// (the classes and every loaded user) through the wide registry functions;
// a key that cannot be opened is passed over. With several threads it
// reads disjoint subtrees at once, a bounded amount ahead of the visitor,
// yet calls the visitor on the calling thread alone, with the same keys in
// the same order as one thread would, and ends every thread soon after the
// visitor ended the walk; what a reading thread threw is thrown to the
// caller.
//
// POSIX reads the text files Wine keeps in the prefix's root, which hold
// the same keys: system.reg (HKEY_LOCAL_MACHINE), userdef.reg and user.reg
// (HKEY_USERS); a missing file is passed over. A mounted installation
// (platform/system_dirs.h) has no such files: nothing is read.
#ifndef TARNWICK_PLATFORM_REGISTRY_H
#define TARNWICK_PLATFORM_REGISTRY_H

#include <string>
#include <vector>

struct RegistryKey {
  std::string path;
  // The key's own name first, then its value names and string values.
  std::vector<std::string> texts;
};

class RegistryVisitor {
 public:
  virtual ~RegistryVisitor() = default;
  // Returns false to end the walk.
  virtual bool Visit(const RegistryKey& key) = 0;
};

// Walks the installation's registry with up to `threads` reading threads, 8
// at most (1: the calling thread alone; POSIX reads its files on the calling
// thread whatever the count); returns what was read, for the log ("the live
// registry", or the files read).
std::string VisitInstallationRegistry(RegistryVisitor& visitor, int threads);

#endif
