// Wine's own libraries: Wine's set-up places its libraries in the system
// folders of a prefix, each marked with the text "Wine builtin DLL" at offset
// 0x40 of its DOS header. They are not leftovers of installed programs, and
// Wine does not fall back to its own copy once such a file is gone, so the
// backup never moves them.
#ifndef TARNWICK_USAGE_WINE_BUILTIN_H
#define TARNWICK_USAGE_WINE_BUILTIN_H

#include <string>

// True when the file carries the marker. A file that cannot be read or is
// too short to hold the marker is not marked.
bool HasWineBuiltinMarker(const std::string& path);

#endif
