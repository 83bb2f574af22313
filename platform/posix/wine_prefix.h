// The Wine prefix folder that holds the Windows installation on POSIX:
// $WINEPREFIX, else ~/.wine, without a trailing '/'.
#ifndef TARNWICK_PLATFORM_POSIX_WINE_PREFIX_H
#define TARNWICK_PLATFORM_POSIX_WINE_PREFIX_H

#include <string>

std::string WinePrefix();

#endif
