#include "tests/builders/scratch_dir.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testbuild {

ScratchDir::ScratchDir() {
  static std::atomic<unsigned> serial{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = fs::temp_directory_path() /
                         ("tarnwick-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = candidate.string();
      return;
    }
  }
  throw std::runtime_error("cannot make a scratch directory");
}

ScratchDir::~ScratchDir() {
  std::error_code error;
  fs::remove_all(path_, error);
}

std::string ScratchDir::Join(const std::string& name) const { return (fs::path(path_) / name).string(); }

std::string ScratchDir::Write(const std::string& name, const Bytes& bytes) const {
  const std::string full = Join(name);
  fs::create_directories(fs::path(full).parent_path());
  WriteFile(full, bytes);
  return full;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testbuild
