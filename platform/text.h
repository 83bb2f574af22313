// Conversion between the system's 8-bit (ANSI) text and UTF-16.
//
// Windows converts with the ANSI code page (CP_ACP). On POSIX the 8-bit
// text is UTF-8, and a byte that does not begin a valid sequence becomes
// U+FFFD. Either way a text never needs more UTF-16 units than it has bytes.
// Back to 8-bit text, a character the code page lacks becomes the code
// page's default character on Windows; on POSIX an unpaired surrogate
// becomes U+FFFD. Zero units pass through as zero bytes.
#ifndef TARNWICK_PLATFORM_TEXT_H
#define TARNWICK_PLATFORM_TEXT_H

#include <string>

std::u16string AnsiToUtf16(const char* text);
std::string Utf16ToAnsi(const std::u16string& text);

// 8-bit text read the other way this platform meets it, as 8-bit text of
// the system: on Windows a text that is valid UTF-8 converted to the ANSI
// code page; on POSIX a text that is not valid UTF-8 read as Windows-1252
// (the code page of Western Windows) and converted to UTF-8. Empty when the
// text is plain ASCII or has no other reading.
std::string OtherReadingOf8BitText(const std::string& text);

#endif
