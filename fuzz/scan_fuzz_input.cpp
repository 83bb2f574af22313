#include "fuzz/scan_fuzz_input.h"

#include <cstring>

#include "usage/usage_records.h"

namespace scancompare {
namespace {

// Few letters, so that names share beginnings and endings; the dot, digits
// and signs; an upper-case letter (lowered on collection); bytes outside
// ASCII, alone and as UTF-8.
constexpr char kAlphabet[] = "fobar.dlfo.b3_-~!K\xE9\xC3\xA9";
constexpr std::size_t kAlphabetSize = sizeof kAlphabet - 1;
constexpr std::uint8_t kEscape = 0xFF;
constexpr int kKinds[] = {REF_EXE_32BIT, REF_NT_REGISTRY, REF_W95_REGISTRY, REF_EXE_16BIT};

std::string Base(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return text;
}

void Append(std::vector<std::uint8_t>& out, const std::string& text, bool wide, std::size_t zeros) {
  for (char c : text) {
    out.push_back(static_cast<std::uint8_t>(c));
    if (wide) out.push_back(0);
  }
  out.insert(out.end(), zeros, 0);
}

void AppendForm(std::vector<std::uint8_t>& out, const std::string& name, int form) {
  switch (form) {
    case kNameTerminated: Append(out, name, false, 1); break;
    case kBaseTerminated: Append(out, Base(name), false, 1); break;
    case kNameAlone: Append(out, name, false, 0); break;
    case kUpperNameTerminated: Append(out, Upper(name), false, 1); break;
    case kWideNameTerminated: Append(out, name, true, 2); break;
    case kWideBaseTerminated: Append(out, Base(name), true, 2); break;
    case kWideNameOneZero: Append(out, name, true, 1); break;
    case kWideUpperBaseOneZero: Append(out, Upper(Base(name)), true, 1); break;
    case kMixedCaseName: {
      std::string mixed = name;
      for (std::size_t i = 0; i < mixed.size(); i += 2) mixed[i] = Upper(mixed.substr(i, 1))[0];
      Append(out, mixed, false, 1);
      break;
    }
    case kFirstCharacterThrice: Append(out, std::string(3, name[0]), false, 0); break;
    case kBaseAndShortExtension: Append(out, Base(name) + ".dl", false, 1); break;
    default: Append(out, name, true, 0); break;
  }
}

const char* const kPaths[] = {"prog.exe", "dir/", "DIR\\", "x"};

}  // namespace

ScanInput DecodeScanFuzzInput(const std::uint8_t* data, std::size_t size) {
  ScanInput input;
  if (size == 0) return input;
  std::size_t at = 0;
  const std::uint8_t counts = data[at++];
  const int candidates = 1 + (counts & 7);
  const int regions = 1 + ((counts >> 3) & 3);
  for (int c = 0; c < candidates && at < size; ++c) {
    const std::size_t length = 1 + data[at++] % 24;
    std::string name;
    for (std::size_t i = 0; i < length && at < size; ++i) name += kAlphabet[data[at++] % kAlphabetSize];
    input.candidates.push_back(name);
  }
  if (input.candidates.empty()) return input;
  for (int r = 0; r < regions && at + 3 <= size; ++r) {
    const std::uint8_t header = data[at++];
    std::size_t length = data[at] | (static_cast<std::size_t>(data[at + 1]) << 8);
    at += 2;
    if (length > size - at) length = size - at;
    ScannedRegion region;
    region.referenceKind = kKinds[header & 3];
    region.path = kPaths[(header >> 2) & 3];
    if ((header >> 2 & 3) == 1) region.path += input.candidates.front();
    if ((header >> 2 & 3) == 2) region.path += Upper(input.candidates.back());
    const std::size_t end = at + length;
    while (at < end) {
      const std::uint8_t byte = data[at++];
      if (byte != kEscape || at == end) {
        region.bytes.push_back(byte);
        continue;
      }
      const std::uint8_t code = data[at++];
      if (code == kEscape) {
        region.bytes.push_back(kEscape);
        continue;
      }
      const std::string& name = input.candidates[(code & 7) % input.candidates.size()];
      AppendForm(region.bytes, name, (code >> 3) % kScanFuzzForms);
    }
    input.regions.push_back(std::move(region));
  }
  return input;
}

ScanFuzzInputWriter::ScanFuzzInputWriter(std::vector<std::string> candidates, int regions) {
  out_.push_back(static_cast<std::uint8_t>(((candidates.size() - 1) & 7) | (((regions - 1) & 3) << 3)));
  for (const std::string& name : candidates) {
    out_.push_back(static_cast<std::uint8_t>(name.size() - 1));
    for (char c : name) {
      const char* found = static_cast<const char*>(std::memchr(kAlphabet, c, kAlphabetSize));
      out_.push_back(static_cast<std::uint8_t>(found != nullptr ? found - kAlphabet : 0));
    }
  }
}

ScanFuzzInputWriter& ScanFuzzInputWriter::Region(int kindIndex, int pathIndex) {
  CloseRegion();
  out_.push_back(static_cast<std::uint8_t>((kindIndex & 3) | ((pathIndex & 3) << 2)));
  regionLengthAt_ = out_.size();
  out_.push_back(0);
  out_.push_back(0);
  inRegion_ = true;
  return *this;
}

ScanFuzzInputWriter& ScanFuzzInputWriter::Bytes(const std::string& bytes) {
  for (char c : bytes) {
    out_.push_back(static_cast<std::uint8_t>(c));
    if (static_cast<std::uint8_t>(c) == kEscape) out_.push_back(kEscape);
  }
  return *this;
}

ScanFuzzInputWriter& ScanFuzzInputWriter::Name(int candidate, ScanFuzzForm form) {
  out_.push_back(kEscape);
  out_.push_back(static_cast<std::uint8_t>((candidate & 7) | (form << 3)));
  return *this;
}

void ScanFuzzInputWriter::CloseRegion() {
  if (!inRegion_) return;
  const std::size_t length = out_.size() - regionLengthAt_ - 2;
  out_[regionLengthAt_] = static_cast<std::uint8_t>(length & 0xFF);
  out_[regionLengthAt_ + 1] = static_cast<std::uint8_t>(length >> 8);
  inRegion_ = false;
}

std::vector<std::uint8_t> ScanFuzzInputWriter::Finish() {
  CloseRegion();
  return out_;
}

}  // namespace scancompare
