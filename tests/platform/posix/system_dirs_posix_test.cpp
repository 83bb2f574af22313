// The Wine-style prefix: where the installation lies and how Windows-form
// paths map onto it and back.
#include "platform/system_dirs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/text.h"
#include "tests/support/test_installation.h"

namespace fs = std::filesystem;

namespace testbuild {
namespace {

std::string Prefix() { return std::getenv("WINEPREFIX"); }

TEST(SystemDirsPosixTest, DirectoriesLieInThePrefix) {
  TestInstallation installation;
  EXPECT_EQ(WindowsDirectory(), Prefix() + "/drive_c/windows");
  EXPECT_EQ(SystemDirectory(), Prefix() + "/drive_c/windows/system32");
  EXPECT_EQ(installation.SettingsFile(), WindowsDirectory() + "/tarnwick.ini");
  setenv("WINEPREFIX", "", 1);
  EXPECT_EQ(WindowsDirectory(), std::string(std::getenv("HOME")) + "/.wine/drive_c/windows");
}

TEST(SystemDirsPosixTest, WindowsFormPathsGoThroughTheDriveLinksCaseBlind) {
  TestInstallation installation;
  const std::string root = fs::canonical(Prefix() + "/drive_c").string();
  EXPECT_EQ(NativePath("C:\\WINDOWS\\SYSTEM32"), root + "/windows/system32");
  EXPECT_EQ(NativePath("c:\\Windows\\System\\"), root + "/windows/system/");
  EXPECT_EQ(NativePath("C:\\windows\\New Folder\\Deeper"), root + "/windows/New Folder/Deeper");
  EXPECT_EQ(NativePath("Z:\\tmp"), "/tmp");
  EXPECT_EQ(NativePath("Q:\\x"), Prefix() + "/dosdevices/q:/x") << "an unknown drive leads nowhere";
  // Native paths keep their form; only the case-blind lookup applies.
  EXPECT_EQ(NativePath(Prefix() + "/DRIVE_C/Windows"), Prefix() + "/drive_c/windows");
}

TEST(SystemDirsPosixTest, ExactNameWinsOverCaseVariants) {
  TestInstallation installation;
  const std::string windows = WindowsDirectory();
  fs::create_directories(windows + "/Fonts");
  fs::create_directories(windows + "/fonts");
  fs::create_directories(windows + "/FONTS");
  const std::string root = fs::canonical(Prefix() + "/drive_c").string();
  EXPECT_EQ(NativePath("C:\\windows\\fonts"), root + "/windows/fonts");
  EXPECT_EQ(NativePath("C:\\windows\\fOnTs"), root + "/windows/FONTS") << "first in byte order";
}

TEST(SystemDirsPosixTest, SettingsPathsUseTheLongestDriveElseZ) {
  TestInstallation installation;
  const std::string data = installation.Folder("data");
  fs::create_directory_symlink(data, Prefix() + "/dosdevices/d:");
  EXPECT_EQ(SettingsPath(WindowsDirectory() + "/"), "C:\\windows\\");
  EXPECT_EQ(SettingsPath(data + "/backup/"), "D:\\backup\\");
  EXPECT_EQ(SettingsPath("/srv/not/there"), "Z:\\srv\\not\\there");
  EXPECT_EQ(SettingsPath("relative/path"), "relative/path");
  // And back again.
  EXPECT_EQ(NativePath(SettingsPath(data + "/backup/")), fs::canonical(data).string() + "/backup/");
}

TEST(SystemDirsPosixTest, Utf8ConvertsAndBadBytesBecomeReplacementCharacters) {
  EXPECT_EQ(AnsiToUtf16("\xC3\xA9t\xC3\xA9.dll"), u"\u00E9t\u00E9.dll");
  EXPECT_EQ(AnsiToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(AnsiToUtf16("a\xFF" "b\xC3"), u"a\uFFFDb\uFFFD");
  EXPECT_EQ(AnsiToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD") << "an overlong form is not valid";
  EXPECT_EQ(AnsiToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD") << "nor is a surrogate";
  EXPECT_TRUE(IsNativeDirectory("/srv"));
}

}  // namespace
}  // namespace testbuild
