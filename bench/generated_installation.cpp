#include "bench/generated_installation.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "tests/builders/exe_builders.h"
#include "tests/builders/scratch_dir.h"

namespace fs = std::filesystem;
using testbuild::Bytes;

namespace {

constexpr std::size_t kLibraries = 400;
constexpr std::size_t kLibraries16 = 20;
constexpr std::size_t kMegabyte = 1024 * 1024;

// Fast deterministic bytes.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  std::uint64_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  std::size_t Below(std::size_t bound) { return static_cast<std::size_t>(Next() % bound); }

 private:
  std::uint64_t state_;
};

// Bytes with roughly the make-up of compiled code and data: about a third
// zeros, many ASCII bytes, and a string every few hundred bytes.
Bytes ProgramBytes(std::size_t size, Random& random) {
  static const char* const kWords[] = {"Get", "Set", "Create", "Open", "Close", "Query", "Reg", "Value", "File",
                                       "Window", "Message", "Proc", "Address", "Module", "Handle", "Ex", "W", "A"};
  std::uint8_t table[256];
  for (unsigned i = 0; i < 256; ++i) {
    if (i < 84) {
      table[i] = 0;
    } else if (i < 150) {
      table[i] = static_cast<std::uint8_t>(0x20 + (i * 37) % 95);
    } else {
      table[i] = static_cast<std::uint8_t>(i * 73);
    }
  }
  Bytes out(size);
  for (std::size_t i = 0; i < size; i += 8) {
    std::uint64_t word = random.Next();
    for (std::size_t k = 0; k < 8 && i + k < size; ++k, word >>= 8) out[i + k] = table[word & 0xFF];
  }
  for (std::size_t at = random.Below(512); at + 64 < size; at += 256 + random.Below(512)) {
    std::string word;
    for (std::size_t n = 1 + random.Below(4); n > 0; --n) word += kWords[random.Below(std::size(kWords))];
    const Bytes text = random.Below(5) == 0 ? testbuild::Utf16(word) : testbuild::Ascii(word);
    std::copy(text.begin(), text.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
  }
  return out;
}

std::vector<std::string> LibraryNames(std::size_t count, const char* suffix, unsigned seed) {
  static const char* const kStarts[] = {"ms", "win", "sh", "ole", "net", "d3d", "dx", "crypt", "user", "gdi",
                                        "adv", "comm", "rich", "url", "mf", "wl", "nt", "api", "mm", "ws"};
  static const char* const kMiddles[] = {"core", "lg", "svc", "dlg", "ctl", "prov", "mon", "img", "vid",
                                         "srv", "edit", "cfg", "ext", "util", "res", "hlp", "rt", "ui"};
  static const char* const kEnds[] = {"", "32", "64", "2", "ex", "api", "lib", "w", "a", "16"};
  std::mt19937 random(seed);
  std::vector<std::string> names;
  while (names.size() < count) {
    std::string name = std::string(kStarts[random() % std::size(kStarts)]) + kMiddles[random() % std::size(kMiddles)] +
                       kEnds[random() % std::size(kEnds)] + suffix;
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return text;
}

std::string BaseName(const std::string& name) { return name.substr(0, name.rfind('.')); }

// Puts each text at its own place in bytes, spread over the whole.
void Scatter(Bytes& bytes, const std::vector<Bytes>& texts, Random& random) {
  if (texts.empty()) return;
  const std::size_t stride = bytes.size() / texts.size();
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (stride < texts[i].size() + 2) break;
    const std::size_t at = i * stride + random.Below(stride - texts[i].size() - 1);
    std::copy(texts[i].begin(), texts[i].end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
  }
}

void Write(const fs::path& path, const Bytes& bytes) {
  fs::create_directories(path.parent_path());
  testbuild::WriteFile(path.string(), bytes);
}

// Lines of settings-like text.
Bytes TextBytes(std::size_t size, Random& random) {
  static const char* const kLines[] = {"[Settings]\r\n", "Enabled=1\r\n", "Path=C:\\Program Files\\Common\r\n",
                                       "<item name=\"value\" />\r\n", "Version=10.0.19041.1\r\n",
                                       "; generated file, do not edit\r\n", "Language=0409\r\n"};
  Bytes out;
  out.reserve(size);
  while (out.size() < size) {
    const std::string line = kLines[random.Below(std::size(kLines))];
    out.insert(out.end(), line.begin(), line.end());
  }
  out.resize(size);
  return out;
}

struct Usage {
  const std::vector<std::string>& imported;
  const std::vector<Bytes>& named;
  std::size_t nextImport = 0;
  std::size_t nextName = 0;
};

// A program of about size bytes that imports four of the imported
// libraries and names up to six of the named ones in its data.
Bytes Program(std::size_t size, Usage& usage, Random& random) {
  testbuild::PeImage pe;
  pe.imports = {"KERNEL32.dll", "USER32.dll"};
  for (std::size_t n = 0; n < 4 && !usage.imported.empty(); ++n) {
    pe.imports.push_back(Upper(usage.imported[usage.nextImport++ % usage.imported.size()]));
  }
  pe.code = ProgramBytes(size * 7 / 10, random);
  pe.data = ProgramBytes(size - pe.code.size(), random);
  std::vector<Bytes> texts;
  for (std::size_t n = 0; n < 6 && !usage.named.empty(); ++n) {
    texts.push_back(usage.named[usage.nextName++ % usage.named.size()]);
  }
  Scatter(pe.data, texts, random);
  return pe.Build();
}

// The many-files mix described in the header, after the system folders.
void WriteManyFiles(const fs::path& root, std::size_t budget, std::size_t files, std::size_t written,
                    std::size_t count, Usage& usage, Random& random) {
  static const char* const kOtherKinds[] = {".ini", ".txt", ".xml", ".png", ".cab", ".dat"};
  constexpr std::size_t kKilobyte = 1024;
  for (std::size_t index = 0; written < budget || count < files; ++index, ++count) {
    const bool sizeReached = written >= budget;
    const bool program = index % 10 < 6;
    std::size_t size;
    if (sizeReached) {
      size = program ? 4 * kKilobyte + random.Below(28 * kKilobyte) : 512 + random.Below(8 * kKilobyte);
    } else if (index == 0) {
      size = budget / 8;
    } else if (index % 2000 == 1999) {
      size = 16 * kMegabyte + random.Below(64 * kMegabyte);
    } else if (index % 50 == 49) {
      size = 256 * kKilobyte + random.Below(3 * kMegabyte);
    } else {
      size = program ? 4 * kKilobyte + random.Below(60 * kKilobyte) : 1 * kKilobyte + random.Below(32 * kKilobyte);
    }
    // Folders of a few dozen files each, two and three levels down.
    const std::size_t folder = index / 40;
    const fs::path directory = folder % 4 == 3
                                   ? root / "windows" / "winsxs" / ("component" + std::to_string(folder))
                                   : root / "Program Files" / ("Vendor" + std::to_string(folder % 97)) /
                                         ("Product" + std::to_string(folder));
    Bytes bytes;
    std::string name;
    if (program) {
      bytes = Program(size, usage, random);
      name = (index % 3 == 0 ? "app" : "lib") + std::to_string(index) + (index % 3 == 0 ? ".exe" : ".dll");
    } else {
      const char* kind = kOtherKinds[index % std::size(kOtherKinds)];
      bytes = kind[1] == 'i' || kind[1] == 't' || kind[1] == 'x' ? TextBytes(size, random) : ProgramBytes(size, random);
      name = "file" + std::to_string(index) + kind;
    }
    Write(directory / name, bytes);
    written += bytes.size();
  }
}

}  // namespace

GeneratedInstallation WriteGeneratedInstallation(const std::string& directory, std::size_t megabytes,
                                                 std::size_t files) {
  const fs::path root = fs::path(directory) / "drive_c";
  GeneratedInstallation result{root.string(), (root / "windows" / "system32").string(),
                               (root / "windows" / "system").string()};
  const fs::path marker = fs::path(directory) / ("complete-" + std::to_string(megabytes) + "MB" +
                                                 (files > 0 ? "-" + std::to_string(files) + "files" : ""));
  if (fs::exists(marker)) return result;
  std::error_code ignored;
  fs::remove_all(directory, ignored);

  Random random(megabytes);
  const std::vector<std::string> libraries = LibraryNames(kLibraries, ".dll", 7);
  const std::vector<std::string> libraries16 = LibraryNames(kLibraries16, ".dll", 11);
  const std::size_t budget = megabytes * kMegabyte;
  std::size_t written = 0;

  // How the programs use the libraries: by the index modulo 10, 0 to 3 by
  // import table, 4 by 8-bit name, 5 by UTF-16 name, 6 in a registry, 7 by
  // base name alone, 8 and 9 not at all (only near misses name them).
  std::vector<std::string> imported;
  std::vector<Bytes> named;
  std::vector<Bytes> registryNt, registry95;
  for (std::size_t i = 0; i < libraries.size(); ++i) {
    const std::string& name = libraries[i];
    switch (i % 10) {
      case 4: named.push_back(testbuild::Ascii(i % 20 == 4 ? Upper(name) : name)); break;
      case 5: named.push_back(testbuild::Utf16(name)); break;
      case 6:
        if (i % 20 == 6) {
          registryNt.push_back(testbuild::Utf16("C:\\WINDOWS\\SYSTEM32\\" + Upper(name)));
        } else {
          registry95.push_back(testbuild::Ascii(name));
        }
        break;
      case 7: named.push_back(testbuild::Ascii(BaseName(name))); break;
      case 8: named.push_back(testbuild::Ascii(name + "x")); break;
      case 9: named.push_back(testbuild::Ascii(BaseName(name) + "_old.dll")); break;
      default: imported.push_back(name); break;
    }
  }

  // The libraries themselves import only from outside the candidates.
  for (const std::string& name : libraries) {
    testbuild::PeImage pe;
    pe.imports = {"KERNEL32.dll", "ntdll.dll"};
    pe.code = ProgramBytes(16 * 1024 + random.Below(64 * 1024), random);
    pe.data = ProgramBytes(4096 + random.Below(16 * 1024), random);
    const Bytes bytes = pe.Build();
    written += bytes.size();
    Write(fs::path(result.systemDirectory) / name, bytes);
  }
  for (std::size_t i = 0; i < libraries16.size(); ++i) {
    testbuild::NeImage ne;
    ne.modules = {"KERNEL", "USER"};
    ne.segments = {{0, 0x800}};
    ne.body = ProgramBytes(8 * 1024, random);
    Write(fs::path(result.system16Directory) / Upper(libraries16[i]), ne.Build());
  }

  // Registry files, each naming its share.
  const std::size_t registrySize = std::max<std::size_t>(budget / 50, kMegabyte);
  Bytes hive = ProgramBytes(registrySize, random);
  Scatter(hive, registryNt, random);
  std::copy_n("regf", 4, hive.begin());
  Write(root / "windows" / "system32" / "config" / "SOFTWARE", hive);
  Bytes registry = ProgramBytes(registrySize / 4, random);
  Scatter(registry, registry95, random);
  std::copy_n("CREG", 4, registry.begin());
  Write(root / "windows" / "SYSTEM.DAT", registry);
  written += hive.size() + registry.size();

  // 16-bit programs naming every other 16-bit library anywhere in their code.
  for (std::size_t k = 0; k < 5; ++k) {
    testbuild::NeImage ne;
    ne.modules = {"KERNEL", "GDI", "USER"};
    ne.segments = {{0, 0x1000}};
    ne.body = ProgramBytes(64 * 1024, random);
    std::vector<Bytes> texts;
    for (std::size_t i = k * 2; i < libraries16.size(); i += 10) {
      texts.push_back(testbuild::Ascii("call " + Upper(BaseName(libraries16[i])) + "!Entry", false));
    }
    Scatter(ne.body, texts, random);
    Write(root / "windows" / ("prog16_" + std::to_string(k) + ".exe"), ne.Build());
  }

  Usage usage{imported, named};
  if (files > 0) {
    const std::size_t count = libraries.size() + libraries16.size() + 2 + 5;
    WriteManyFiles(root, budget, files, written, count, usage, random);
    Write(marker, Bytes{});
    return result;
  }

  // Programs until the size is reached: the first one a quarter of it.
  std::size_t program = 0;
  while (written < budget) {
    const std::size_t left = budget - written;
    std::size_t size = program == 0 ? budget / 4 : 64 * 1024 + random.Below(8 * kMegabyte);
    size = std::min(size, std::max<std::size_t>(left, 64 * 1024));
    const Bytes bytes = Program(size, usage, random);
    const fs::path folder = root / "Program Files" / ("Vendor" + std::to_string(program % 40));
    Write(folder / ("app" + std::to_string(program) + ".exe"), bytes);
    written += bytes.size();
    if (program % 8 == 7) {
      const Bytes data = ProgramBytes(256 * 1024, random);
      Write(folder / ("data" + std::to_string(program) + ".bin"), data);
      written += data.size();
    }
    ++program;
  }
  Write(marker, Bytes{});
  return result;
}
