// The walk of the live registry behind VisitInstallationRegistry, with the
// bytes read ahead of the visitor as a parameter (the tests make it small).
#ifndef TARNWICK_PLATFORM_WIN32_REGISTRY_WALK_H
#define TARNWICK_PLATFORM_WIN32_REGISTRY_WALK_H

#include <cstddef>

#include "platform/registry.h"

// What the reading threads may hold for later subtrees at most; the subtree
// being delivered may hold as much again.
constexpr std::size_t kRegistryReadAheadBytes = 24u << 20;

// Walks HKEY_LOCAL_MACHINE, then HKEY_USERS, with `threads` reading threads
// (the calling thread among them), as VisitInstallationRegistry does.
void WalkLiveRegistry(RegistryVisitor& visitor, int threads, std::size_t readAheadBytes);

#endif
