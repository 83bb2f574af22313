#include "platform/cache_ahead.h"

// Win32 has no call that fills the file cache without copying the bytes
// out, and the system reads ahead of a sequential reader by itself; a second
// copy of every byte would cost the warm search more than it could win.
bool CacheAheadAvailable() { return false; }

std::uint64_t CacheFileAhead(const char*, std::uint64_t) { return 0; }
