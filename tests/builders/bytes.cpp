#include "tests/builders/bytes.h"

namespace testbuild {

void PadTo(Bytes& bytes, std::size_t size) {
  if (bytes.size() < size) bytes.resize(size, 0);
}

std::size_t AlignUp(std::size_t value, std::size_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

void Put8(Bytes& bytes, std::size_t offset, std::uint8_t value) {
  PadTo(bytes, offset + 1);
  bytes[offset] = value;
}

void Put16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
  Put8(bytes, offset, static_cast<std::uint8_t>(value));
  Put8(bytes, offset + 1, static_cast<std::uint8_t>(value >> 8));
}

void Put32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  Put16(bytes, offset, static_cast<std::uint16_t>(value));
  Put16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

void Put64(Bytes& bytes, std::size_t offset, std::uint64_t value) {
  Put32(bytes, offset, static_cast<std::uint32_t>(value));
  Put32(bytes, offset + 4, static_cast<std::uint32_t>(value >> 32));
}

void PutBytes(Bytes& bytes, std::size_t offset, const Bytes& value) {
  PadTo(bytes, offset + value.size());
  for (std::size_t i = 0; i < value.size(); ++i) bytes[offset + i] = value[i];
}

void PutText(Bytes& bytes, std::size_t offset, const std::string& text) {
  PutBytes(bytes, offset, Ascii(text, false));
}

std::uint16_t Get16(const Bytes& bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes.at(offset) | (bytes.at(offset + 1) << 8));
}

std::uint32_t Get32(const Bytes& bytes, std::size_t offset) {
  return Get16(bytes, offset) | (static_cast<std::uint32_t>(Get16(bytes, offset + 2)) << 16);
}

Bytes Ascii(const std::string& text, bool terminate) {
  Bytes out(text.begin(), text.end());
  if (terminate) out.push_back(0);
  return out;
}

Bytes Utf16(const std::string& text, bool terminate) {
  Bytes out;
  for (unsigned char c : text) {
    out.push_back(c);
    out.push_back(0);
  }
  if (terminate) {
    out.push_back(0);
    out.push_back(0);
  }
  return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

}  // namespace testbuild
