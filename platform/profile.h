// Private-profile (INI) files: reads and writes of one value.
//
// A file name without a directory means the file of that name in the
// Windows directory (see platform/system_dirs.h); any other name is used as
// it stands. Behaviour both implementations share, as far as the program
// can tell:
//  - section and key names match without regard to ASCII case; the first
//    matching section counts, and in it the first matching key;
//  - blanks (spaces, tabs) around section names, keys and values are
//    dropped, and a value enclosed in a pair of matching quotes loses them;
//  - a missing file, section or key gives the default, which loses its
//    trailing spaces and enclosing quotes as a value would; a null section,
//    key or file gives the default as it stands;
//  - a value is cut to size - 1 characters and always zero-terminated; the
//    result is the number of characters copied;
//  - an integer is the optional sign and the digits the value starts with:
//    decimal, or after a lower-case 0x, 0o or 0b hexadecimal, octal or
//    binary; 0 when there are none; a missing or empty value gives the
//    default. Beyond the range of int the POSIX side clamps, Windows wraps;
//  - a write creates the file, the section and the key as needed, keeps
//    every other line, and a null value deletes the key (nothing to delete
//    is success). A name or value that would not read back as written (a
//    line break anywhere, an empty name, '=' in a key or ';' or '[' first,
//    ']' in a section name) is refused with false and nothing written.
//    Lines are read with either line end; the POSIX side writes CRLF, keeps
//    the bytes of the lines it does not change and replaces the file as a
//    whole, so a failed write leaves the old file intact;
//  - lines starting with ';' are comments. Ask for no key that starts with
//    ';': under Wine such a key finds the comment line.
#ifndef TARNWICK_PLATFORM_PROFILE_H
#define TARNWICK_PLATFORM_PROFILE_H

int ProfileReadString(const char* section, const char* key, const char* defaultValue, char* buffer,
                      int size, const char* file);
int ProfileReadInt(const char* section, const char* key, int defaultValue, const char* file);
// Returns false when the file could not be written.
bool ProfileWriteString(const char* section, const char* key, const char* value, const char* file);

#endif
