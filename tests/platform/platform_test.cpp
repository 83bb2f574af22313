// Behaviour both platform layers share: listing, text conversion and the
// installation's directories.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/directory.h"
#include "platform/system_dirs.h"
#include "platform/text.h"
#include "tests/support/test_installation.h"

namespace testbuild {
namespace {

TEST(PlatformTest, ListingShowsNamesAndKindsInAStableOrder) {
  TestInstallation installation;
  installation.WriteFile("list/File.DLL", Ascii("x"));
  installation.WriteFile("list/.profile", Ascii("x"));
  installation.WriteFile("list/sub/inner.dll", Ascii("x"));
  std::vector<DirectoryEntry> first, second;
  ASSERT_TRUE(ListDirectory(installation.Folder("list"), &first));
  ASSERT_TRUE(ListDirectory(installation.Folder("list") + kPathSeparator, &second));
  std::vector<std::string> names;
  for (const DirectoryEntry& entry : first) {
    if (entry.name == "." || entry.name == "..") continue;
    names.push_back(entry.name);
    EXPECT_EQ(entry.isDirectory, entry.name == "sub") << entry.name;
    EXPECT_EQ(entry.isRegularFile, entry.name != "sub") << entry.name;
    EXPECT_FALSE(entry.isLink);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".profile", "File.DLL", "sub"}));
  ASSERT_EQ(first.size(), second.size());
  for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(first[i].name, second[i].name);

  std::vector<DirectoryEntry> none;
  EXPECT_FALSE(ListDirectory(installation.Folder("list") + kPathSeparator + "absent", &none));
  EXPECT_TRUE(none.empty());
}

TEST(PlatformTest, AsciiConvertsToTheSameUtf16Units) {
  EXPECT_EQ(AnsiToUtf16("kernel32.dll"), u"kernel32.dll");
  EXPECT_EQ(AnsiToUtf16(""), u"");
}

TEST(PlatformTest, InstallationDirectoriesNest) {
  TestInstallation installation;
  const std::string windows = WindowsDirectory();
  const std::string system = SystemDirectory();
  ASSERT_FALSE(windows.empty());
  EXPECT_EQ(system.substr(0, windows.size() + 1), windows + kPathSeparator);
  EXPECT_FALSE(CurrentDirectory().empty());
  EXPECT_FALSE(IsNativeDirectory("CDEFGH"));
}

}  // namespace
}  // namespace testbuild
