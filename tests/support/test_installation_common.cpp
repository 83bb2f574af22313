#include <filesystem>

#include "tests/support/test_installation.h"

namespace testbuild {

void TestInstallation::WriteSettings(const std::string& text) const {
  testbuild::WriteFile(SettingsFile(), Ascii(text, false));
}

std::string TestInstallation::ReadSettings() const {
  const Bytes bytes = ReadFile(SettingsFile());
  return std::string(bytes.begin(), bytes.end());
}

bool TestInstallation::SettingsExist() const { return std::filesystem::exists(SettingsFile()); }

std::string TestInstallation::WriteFile(const std::string& relative, const Bytes& bytes) const {
  const std::filesystem::path path = std::filesystem::path(Folder(".")) / relative;
  std::filesystem::create_directories(path.parent_path());
  testbuild::WriteFile(path.string(), bytes);
  return std::filesystem::path(path).make_preferred().lexically_normal().string();
}

}  // namespace testbuild
