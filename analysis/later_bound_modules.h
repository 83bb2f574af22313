// The modules a PE32 or PE32+ file binds to later than through its import
// table: the target module of every export forwarder ("module.Function",
// "module.#ordinal") and every delay-load import. The loader brings such a
// module in when the forwarded export or the delay-loaded function is first
// used, so the module is used as surely as an imported one.
#ifndef TARNWICK_ANALYSIS_LATER_BOUND_MODULES_H
#define TARNWICK_ANALYSIS_LATER_BOUND_MODULES_H

#include <cstdint>

class FileReader;
class PointerList;

// Adds each such module name to the sink, lower-cased and allocated with
// malloc (a name the sink refuses is freed). h is the offset of the "PE\0\0"
// signature. Virtual addresses are mapped through the section table; a
// table or name that lies outside the file is passed over, and whatever
// the file holds never changes the caller's result.
void CollectLaterBoundModules(const FileReader& in, std::uint64_t h, PointerList* sink);

#endif
