// A fresh directory under the system's temporary folder, removed with all
// its contents when the object goes.
#ifndef TARNWICK_TESTS_BUILDERS_SCRATCH_DIR_H
#define TARNWICK_TESTS_BUILDERS_SCRATCH_DIR_H

#include <string>

#include "tests/builders/bytes.h"

namespace testbuild {

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  // path() joined with a relative name (forward slashes are fine on both).
  std::string Join(const std::string& name) const;
  // Writes bytes to the relative name, making parent folders; returns the path.
  std::string Write(const std::string& name, const Bytes& bytes) const;

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);

}  // namespace testbuild

#endif
