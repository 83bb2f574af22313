// Plausible library names that no installation holds: syllables of the kind
// system libraries are named with, put together anew, with letters that
// real names seldom combine so that they match nothing.
#ifndef TARNWICK_BENCH_MADE_UP_NAMES_H
#define TARNWICK_BENCH_MADE_UP_NAMES_H

#include <cstddef>
#include <set>
#include <string>
#include <vector>

// count distinct lower-case names ending in ".dll", none of them in taken;
// the same arguments give the same names.
std::vector<std::string> MadeUpLibraryNames(std::size_t count, const std::set<std::string>& taken,
                                            unsigned seed = 1);

#endif
