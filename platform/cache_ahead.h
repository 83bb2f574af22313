// Reading a file into the system's file cache ahead of the thread that will
// read it, so that this thread finds its bytes there instead of waiting for
// the disk. A search from a cold cache that reads each file only when it
// examines it keeps the disk busy only while its threads are not examining;
// threads that read ahead keep the disk streaming meanwhile.
//
// Behaviour both implementations share:
//  - CacheAheadAvailable() tells whether CacheFileAhead reads anything on
//    this platform. Where it does not, a caller starts no thread for it.
//  - CacheFileAhead(path, limit) opens only a regular file (as
//    OpenReadable does: a FIFO would block), and brings its first `limit`
//    bytes (all of a shorter file) into the cache without copying them to
//    the caller: it may return before the disk has delivered them. It
//    returns how many bytes it read or asked the system to read: 0 when
//    the file cannot be opened, when the stretch is known to be cached
//    already, or where it is not available. The file is never changed;
//    what it holds when the examining thread reads it is that thread's
//    concern, as ever.
#ifndef TARNWICK_PLATFORM_CACHE_AHEAD_H
#define TARNWICK_PLATFORM_CACHE_AHEAD_H

#include <cstdint>

bool CacheAheadAvailable();
std::uint64_t CacheFileAhead(const char* path, std::uint64_t limit);

#endif
