// Case folding of the ASCII letters A to Z only: names are compared the way
// Windows compares them in the places this program cares about, and no
// other byte changes.
#ifndef TARNWICK_PLATFORM_ASCII_H
#define TARNWICK_PLATFORM_ASCII_H

inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline unsigned char LowerAsciiByte(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline bool EqualIgnoringAsciiCase(const char* a, const char* b) {
  for (; *a != 0 && LowerAscii(*a) == LowerAscii(*b); ++a, ++b) {
  }
  return LowerAscii(*a) == LowerAscii(*b);
}

#endif
