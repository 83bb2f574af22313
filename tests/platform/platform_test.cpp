// Behaviour both platform layers share: listing, text conversion and the
// installation's directories.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/directory.h"
#include "platform/file_ops.h"
#include "platform/system_dirs.h"
#include "platform/text.h"
#include "tests/support/test_installation.h"
#include "usage/path_buffer.h"

namespace testbuild {
namespace {

TEST(PlatformTest, ListingShowsNamesAndKindsInAStableOrder) {
  TestInstallation installation;
  installation.WriteFile("list/File.DLL", Ascii("x"));
  installation.WriteFile("list/.profile", Ascii("x"));
  installation.WriteFile("list/sub/inner.dll", Ascii("x"));
  std::vector<DirectoryEntry> first, second;
  ASSERT_TRUE(ListDirectory(installation.Folder("list"), &first).ok());
  ASSERT_TRUE(ListDirectory(installation.Folder("list") + kPathSeparator, &second).ok());
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

}

TEST(PlatformTest, AFailedListingSaysWhy) {
  TestInstallation installation;
  installation.WriteFile("list/File.DLL", Ascii("x"));
  std::vector<DirectoryEntry> none{DirectoryEntry{}};
  const ListingResult absent = ListDirectory(installation.Folder("list") + kPathSeparator + "absent", &none);
  EXPECT_FALSE(absent.ok());
  EXPECT_NE(absent.code, 0);
  EXPECT_FALSE(SystemErrorText(absent.code).empty());
  EXPECT_TRUE(none.empty());
  const ListingResult file = ListDirectory(installation.Folder("list") + kPathSeparator + "File.DLL", &none);
  EXPECT_FALSE(file.ok());
  EXPECT_NE(file.code, 0);
  EXPECT_TRUE(none.empty());

  // The walk's own refusals carry a reason too.
  std::size_t length = 0;
  char empty[kPathCapacity] = "";
  EXPECT_EQ(ListFolder(empty, &length, &none).code, NoSuchFolderCode());
  char deep[kPathCapacity];
  std::string folder = installation.Folder("list");
  while (folder.size() < kPathCapacity - 3) folder += std::string(1, kPathSeparator) + "deeper";
  folder.resize(kPathCapacity - 3);
  std::snprintf(deep, sizeof deep, "%s", folder.c_str());
  EXPECT_EQ(ListFolder(deep, &length, &none).code, PathTooLongCode());
  EXPECT_TRUE(none.empty());
  char listed[kPathCapacity];
  std::snprintf(listed, sizeof listed, "%s", installation.Folder("list").c_str());
  EXPECT_TRUE(ListFolder(listed, &length, &none).ok());
  EXPECT_FALSE(none.empty());
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
