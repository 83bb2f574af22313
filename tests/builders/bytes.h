// Little-endian byte writing for the file builders. Every Put grows the
// buffer as needed, so a builder can lay out tables in any order.
#ifndef TARNWICK_TESTS_BUILDERS_BYTES_H
#define TARNWICK_TESTS_BUILDERS_BYTES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testbuild {

using Bytes = std::vector<std::uint8_t>;

void Put8(Bytes& bytes, std::size_t offset, std::uint8_t value);
void Put16(Bytes& bytes, std::size_t offset, std::uint16_t value);
void Put32(Bytes& bytes, std::size_t offset, std::uint32_t value);
void Put64(Bytes& bytes, std::size_t offset, std::uint64_t value);
void PutBytes(Bytes& bytes, std::size_t offset, const Bytes& value);
// The characters of text, without a terminator.
void PutText(Bytes& bytes, std::size_t offset, const std::string& text);
std::uint16_t Get16(const Bytes& bytes, std::size_t offset);
std::uint32_t Get32(const Bytes& bytes, std::size_t offset);

// Grows bytes with zeros to at least size.
void PadTo(Bytes& bytes, std::size_t size);
std::size_t AlignUp(std::size_t value, std::size_t alignment);

// text as 8-bit bytes, with a terminating 0 when terminate is set.
Bytes Ascii(const std::string& text, bool terminate = true);
// text (ASCII) as UTF-16LE, with a terminating 0 character when terminate is set.
Bytes Utf16(const std::string& text, bool terminate = true);
Bytes Concat(std::initializer_list<Bytes> parts);

}  // namespace testbuild

#endif
