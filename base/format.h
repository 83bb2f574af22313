// Formatting into a string sized to the result, so that a long path or name
// is never cut.
#ifndef TARNWICK_BASE_FORMAT_H
#define TARNWICK_BASE_FORMAT_H

#include <cstdarg>
#include <string>

// The text printf would write for the format and the arguments; empty when
// the format cannot be applied.
std::string FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatStringV(const char* format, va_list args);

#endif
