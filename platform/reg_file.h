// The text form of the registry: Wine's own registry files
// ("WINE REGISTRY Version 2", key paths relative to the root named in the
// ";; All keys relative to" line, names escaped) and exported .reg files
// ("REGEDIT4", "Windows Registry Editor Version 5.00": absolute key paths
// written as they are). Every key is handed to the visitor as
// platform/registry.h describes; a key that has subkeys but no line of its
// own is visited, with its name alone, before the first of its subkeys.
// Lines the parser does not understand are passed over.
#ifndef TARNWICK_PLATFORM_REG_FILE_H
#define TARNWICK_PLATFORM_REG_FILE_H

#include <string>

#include "platform/registry.h"

// The file's bytes as text: UTF-16 (little or big endian) after its
// byte-order mark, UTF-8 after its mark, else 8-bit text of the system
// (platform/text.h).
std::u16string RegFileText(const std::string& bytes);

// Parses the text and visits its keys. Returns false when the visitor ended
// the walk.
bool ParseRegFile(const std::u16string& text, RegistryVisitor& visitor);

#endif
