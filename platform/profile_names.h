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

// Checks a write's section, key and value and gives the trimmed names;
// false when the write must be refused: a line break would start a new
// line, '=' would end the key early, ']' the section name, and a key
// starting with ';' or '[' would read back as a comment or a header.
bool PrepareWrite(const char* section, const char* key, const char* value, std::string* sectionName,
                  std::string* keyName);

// Copies text into buffer, cut to size - 1 characters and zero-terminated;
// returns the characters copied. size must be at least 1.
int CopyOut(std::string_view text, char* buffer, int size);

}  // namespace profile_names

#endif
