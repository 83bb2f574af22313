// Conversion of the system's 8-bit (ANSI) text to UTF-16.
//
// Windows converts from the ANSI code page (CP_ACP). On POSIX the 8-bit
// text is UTF-8, and a byte that does not begin a valid sequence becomes
// U+FFFD. Either way a text never needs more UTF-16 units than it has bytes.
#ifndef TARNWICK_PLATFORM_TEXT_H
#define TARNWICK_PLATFORM_TEXT_H

#include <string>

std::u16string AnsiToUtf16(const char* text);

#endif
