// What the POSIX side alone promises about private-profile files: the exact
// bytes it writes, how it replaces the file, and where a bare name lives.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <string>

#include "platform/profile.h"
#include "tests/builders/scratch_dir.h"

namespace testbuild {
namespace {

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

const char kOriginal[] =
    "; settings\n"
    "[Main]\r\n"
    "  KeyName =  old  \n"
    "Other=1\n"
    "; trailing comment\r\n"
    "\n"
    "[Next]\n"
    "x=y";

TEST(ProfilePosixTest, ReplacingAKeyRewritesOnlyItsLineAndEndsEveryLineWithCrLf) {
  ScratchDir dir;
  const std::string file = dir.Write("a.ini", Ascii(kOriginal, false));
  ASSERT_TRUE(ProfileWriteString("main", "keyname", "new", file.c_str()));
  EXPECT_EQ(Text(ReadFile(file)),
            "; settings\r\n[Main]\r\nKeyName=new\r\nOther=1\r\n; trailing comment\r\n\r\n[Next]\r\nx=y\r\n");
}

TEST(ProfilePosixTest, NewKeyFollowsTheLastKeyOfItsSection) {
  ScratchDir dir;
  const std::string file = dir.Write("a.ini", Ascii(kOriginal, false));
  ASSERT_TRUE(ProfileWriteString("Main", "Added", "2", file.c_str()));
  EXPECT_EQ(Text(ReadFile(file)),
            "; settings\r\n[Main]\r\n  KeyName =  old  \r\nOther=1\r\nAdded=2\r\n; trailing comment\r\n\r\n"
            "[Next]\r\nx=y\r\n");
}

TEST(ProfilePosixTest, DeletingRemovesExactlyTheKeyLine) {
  ScratchDir dir;
  const std::string file = dir.Write("a.ini", Ascii(kOriginal, false));
  ASSERT_TRUE(ProfileWriteString("Main", "KEYNAME", nullptr, file.c_str()));
  EXPECT_EQ(Text(ReadFile(file)),
            "; settings\r\n[Main]\r\nOther=1\r\n; trailing comment\r\n\r\n[Next]\r\nx=y\r\n");
}

TEST(ProfilePosixTest, NewSectionFollowsOneBlankLine) {
  ScratchDir dir;
  const std::string file = dir.Join("new.ini");
  ASSERT_TRUE(ProfileWriteString(" First ", " a ", "1", file.c_str()));
  ASSERT_TRUE(ProfileWriteString("Second", "b", "2", file.c_str()));
  EXPECT_EQ(Text(ReadFile(file)), "[First]\r\na=1\r\n\r\n[Second]\r\nb=2\r\n");

  const std::string blankEnd = dir.Write("blank-end.ini", Ascii("[First]\na=1\n\n", false));
  ASSERT_TRUE(ProfileWriteString("Second", "b", "2", blankEnd.c_str()));
  EXPECT_EQ(Text(ReadFile(blankEnd)), "[First]\r\na=1\r\n\r\n[Second]\r\nb=2\r\n") << "no second blank line";
}

TEST(ProfilePosixTest, ByteOrderMarkStaysAndIsNoPartOfTheFirstLine) {
  ScratchDir dir;
  const std::string file = dir.Write("bom.ini", Ascii("\xEF\xBB\xBF[Main]\r\nk=1\r\n", false));
  char buffer[8];
  EXPECT_EQ(ProfileReadString("Main", "k", "", buffer, sizeof buffer, file.c_str()), 1);
  ASSERT_TRUE(ProfileWriteString("Main", "k", "2", file.c_str()));
  EXPECT_EQ(Text(ReadFile(file)), "\xEF\xBB\xBF[Main]\r\nk=2\r\n");
}

TEST(ProfilePosixTest, FailedWriteCreatesNothing) {
  ScratchDir dir;
  EXPECT_FALSE(ProfileWriteString("Main", "k", "1", dir.Join("missing/x.ini").c_str()));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

  const std::string directory = dir.Join("a-directory");
  std::filesystem::create_directory(directory);
  EXPECT_FALSE(ProfileWriteString("Main", "k", "1", directory.c_str()));
  EXPECT_TRUE(std::filesystem::is_directory(directory));
}

TEST(ProfilePosixTest, ReplacedFileKeepsItsPermissionsAndSymbolicLinks) {
  ScratchDir dir;
  const std::string target = dir.Write("target.ini", Ascii("[Main]\nk=1\n", false));
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  const std::string link = dir.Join("link.ini");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  ASSERT_TRUE(ProfileWriteString("Main", "k", "2", link.c_str()));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(Text(ReadFile(target)), "[Main]\r\nk=2\r\n");
  struct stat st;
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2)
      << "no temporary file left";
}

TEST(ProfilePosixTest, BareNameLivesInTheWindowsDirectory) {
  ScratchDir prefix;
  const std::string windows = prefix.Join("drive_c/windows");
  std::filesystem::create_directories(windows);
  const char* saved = getenv("WINEPREFIX");
  const std::string savedValue = saved != nullptr ? saved : "";
  setenv("WINEPREFIX", prefix.path().c_str(), 1);

  prefix.Write("drive_c/windows/EXISTING.INI", Ascii("[Main]\nk=found\n", false));
  char buffer[16];
  EXPECT_EQ(ProfileReadString("Main", "k", "", buffer, sizeof buffer, "existing.ini"), 5)
      << "case-blind name";
  EXPECT_TRUE(ProfileWriteString("Main", "k", "new", "fresh.ini"));
  EXPECT_EQ(Text(ReadFile(windows + "/fresh.ini")), "[Main]\r\nk=new\r\n");

  if (saved != nullptr) {
    setenv("WINEPREFIX", savedValue.c_str(), 1);
  } else {
    unsetenv("WINEPREFIX");
  }
}

// The Windows side wraps such numbers around; a clamped value is at least
// on the right side of zero.
TEST(ProfilePosixTest, NumbersBeyondIntAreClamped) {
  ScratchDir dir;
  const std::string file = dir.Write("big.ini", Ascii("[n]\n"
                                                      "max=2147483647\n"
                                                      "min=-2147483648\n"
                                                      "above=2147483648\n"
                                                      "below=-2147483649\n"
                                                      "huge=99999999999999999999999999\n"
                                                      "hex=0xFFFFFFFF\n",
                                                      false));
  EXPECT_EQ(ProfileReadInt("n", "max", 0, file.c_str()), INT_MAX);
  EXPECT_EQ(ProfileReadInt("n", "min", 0, file.c_str()), INT_MIN);
  EXPECT_EQ(ProfileReadInt("n", "above", 0, file.c_str()), INT_MAX);
  EXPECT_EQ(ProfileReadInt("n", "below", 0, file.c_str()), INT_MIN);
  EXPECT_EQ(ProfileReadInt("n", "huge", 0, file.c_str()), INT_MAX);
  EXPECT_EQ(ProfileReadInt("n", "hex", 0, file.c_str()), INT_MAX);
}

}  // namespace
}  // namespace testbuild
