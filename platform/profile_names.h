// Text rules that both profile implementations share: what counts as a
// blank, and which section names, keys and values can be written so that
// they read back as written.
#ifndef TARNWICK_PLATFORM_PROFILE_NAMES_H
#define TARNWICK_PLATFORM_PROFILE_NAMES_H

#include <string>
#include <string_view>

namespace profile_names {

bool IsBlank(char c);
std::string Trim(std::string_view text);

// A line break starts a new line, '=' would end the key early, ']' the
// section name, and a key starting with ';' or '[' would be a comment or a
// section header: such writes are refused.
bool HasLineBreak(std::string_view text);
bool IsWritableSection(const std::string& name);
bool IsWritableKey(const std::string& name);

// Copies text into buffer, cut to size - 1 characters and zero-terminated;
// returns the characters copied. size must be at least 1.
int CopyOut(std::string_view text, char* buffer, int size);

}  // namespace profile_names

#endif
