// Behaviour of private-profile files that both implementations share; the
// Windows build runs it against the system's own functions.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/builders/scratch_dir.h"

namespace testbuild {
namespace {

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string Read(const std::string& file, const char* section, const char* key,
                 const char* defaultValue = "<default>", int size = 64) {
  std::vector<char> buffer(size > 0 ? size : 1, '#');
  const int count = ProfileReadString(section, key, defaultValue, buffer.data(), size, file.c_str());
  std::string result(buffer.data());
  EXPECT_EQ(count, static_cast<int>(result.size())) << "the count of " << section << "/" << key;
  return result;
}

// Blanks and comments of all kinds, and both line ends.
const char kHandWritten[] =
    "; leading comment=1\r\n"
    "\r\n"
    "  [ First Section ]  \n"
    "Name=plain\r\n"
    "  padded \t=\t value with blanks \t \n"
    ";commented=yes\r\n"
    "double=\"quoted value\"\n"
    "single=' kept blanks '\r\n"
    "mixed=\"half'\n"
    "lone=\"\n"
    "empty=\n"
    "blank=  \t\r\n"
    "equals=a=b\n"
    "no equals sign\r\n"
    "[Second]\n"
    "name=second section\r\n"
    "[first section]\n"
    "later=hidden by the first section\n"
    "Name=hidden by the first section\n";

class ProfileReadTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  std::string file = dir.Write("hand.ini", Ascii(kHandWritten, false));
};

TEST_F(ProfileReadTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(Read(dir.Join("missing.ini"), "First Section", "Name"), "<default>");
  EXPECT_EQ(Read(file, "Third", "Name"), "<default>");
  EXPECT_EQ(Read(file, "First Section", "missing"), "<default>");
  EXPECT_EQ(Read(file, "First Section", "missing", nullptr), "");
  EXPECT_EQ(Read(file, "First Section", "missing", "trailing spaces   "), "trailing spaces");
  EXPECT_EQ(Read(file, "First Section", "missing", "'quoted default'"), "quoted default");
}

TEST_F(ProfileReadTest, NamesMatchWithoutRegardToCaseAndTheFirstMatchWins) {
  EXPECT_EQ(Read(file, "FIRST SECTION", "nAmE"), "plain");
  EXPECT_EQ(Read(file, "second", "NAME"), "second section");
  EXPECT_EQ(Read(file, "first section", "later"), "<default>") << "only the first section of a name counts";
  EXPECT_EQ(Read(file, "  First Section\t", " Name "), "plain") << "blanks around asked names";
}

TEST_F(ProfileReadTest, BlanksAndMatchingQuotesAroundValuesGo) {
  EXPECT_EQ(Read(file, "First Section", "padded"), "value with blanks");
  EXPECT_EQ(Read(file, "First Section", "double"), "quoted value");
  EXPECT_EQ(Read(file, "First Section", "single"), " kept blanks ");
  EXPECT_EQ(Read(file, "First Section", "mixed"), "\"half'");
  EXPECT_EQ(Read(file, "First Section", "lone"), "\"");
  EXPECT_EQ(Read(file, "First Section", "equals"), "a=b");
  EXPECT_EQ(Read(file, "First Section", "empty"), "") << "an empty value is no missing key";
  EXPECT_EQ(Read(file, "First Section", "blank"), "");
}

TEST_F(ProfileReadTest, CommentsAndLinesWithoutEqualsSignNeverMatch) {
  EXPECT_EQ(Read(file, "First Section", "commented"), "<default>");
  EXPECT_EQ(Read(file, "First Section", "no equals sign"), "<default>");
  EXPECT_EQ(Read(file, "", "leading comment"), "<default>");
}

TEST_F(ProfileReadTest, ValueAndDefaultAreCutToTheBuffer) {
  EXPECT_EQ(Read(file, "First Section", "padded", "", 6), "value");
  EXPECT_EQ(Read(file, "First Section", "double", "", 13), "quoted value") << "exactly fits";
  EXPECT_EQ(Read(file, "First Section", "double", "", 12), "quoted valu");
  EXPECT_EQ(Read(file, "First Section", "Name", "", 1), "");
  EXPECT_EQ(Read(file, "First Section", "missing", "default", 4), "def");
  EXPECT_EQ(Read(file, "First Section", "missing", "\"default\"", 8), "default");

  char untouched[4] = "xyz";
  EXPECT_EQ(ProfileReadString("First Section", "Name", "", untouched, 0, file.c_str()), 0);
  EXPECT_STREQ(untouched, "xyz");
}

TEST_F(ProfileReadTest, BufferMayHoldTheDefault) {
  char buffer[32] = "own default";
  EXPECT_EQ(ProfileReadString("First Section", "missing", buffer, buffer, sizeof buffer, file.c_str()), 11);
  EXPECT_STREQ(buffer, "own default");
}

TEST(ProfileIntTest, SignAndLeadingDigitsMakeTheNumber) {
  ScratchDir dir;
  const std::string file = dir.Write("numbers.ini", Ascii("[n]\n"
                                                          "digits=1234\n"
                                                          "trailing=12abc\n"
                                                          "word=abc\n"
                                                          "minus=-5\n"
                                                          "plus=+7\n"
                                                          "spaced=- 5\n"
                                                          "quoted='42'\n"
                                                          "hex=0x1F\n"
                                                          "upper=0X1F\n"
                                                          "octal=0o17\n"
                                                          "binary=-0b101\n"
                                                          "empty=\n"
                                                          "blank= \t\n",
                                                          false));
  const std::pair<const char*, int> cases[] = {
      {"digits", 1234}, {"trailing", 12}, {"word", 0},   {"minus", -5},   {"plus", 7},
      {"spaced", 0},    {"quoted", 42},   {"hex", 31},   {"upper", 0},    {"octal", 15},
      {"binary", -5},   {"empty", 99},    {"blank", 99}, {"missing", 99},
  };
  for (const auto& [key, expected] : cases) {
    EXPECT_EQ(ProfileReadInt("N", key, 99, file.c_str()), expected) << key;
  }
  EXPECT_EQ(ProfileReadInt("n", "digits", 99, dir.Join("missing.ini").c_str()), 99);
}

TEST(ProfileWriteTest, CreatesFileSectionAndKey) {
  ScratchDir dir;
  const std::string file = dir.Join("new.ini");
  ASSERT_TRUE(ProfileWriteString("Alpha", "one", "1", file.c_str()));
  ASSERT_TRUE(ProfileWriteString("Alpha", "two", "2", file.c_str()));
  ASSERT_TRUE(ProfileWriteString("Beta", "three", "3", file.c_str()));
  EXPECT_EQ(Read(file, "alpha", "ONE"), "1");
  EXPECT_EQ(Read(file, "alpha", "two"), "2");
  EXPECT_EQ(Read(file, "beta", "three"), "3");
  EXPECT_EQ(Read(file, "beta", "one"), "<default>");
}

TEST(ProfileWriteTest, ReplacesAndDeletesKeysAndKeepsEveryOtherLine) {
  ScratchDir dir;
  const std::string file = dir.Write("keep.ini", Ascii("; about this file\r\n"
                                                       "[Main]\r\n"
                                                       "Size=10\r\n"
                                                       ";note on color\n"
                                                       "Color=red\n"
                                                       "Shape=round\r\n"
                                                       "[Other]\n"
                                                       "Size=20\n",
                                                       false));
  ASSERT_TRUE(ProfileWriteString("main", "size", "11", file.c_str()));
  ASSERT_TRUE(ProfileWriteString("MAIN", "color", nullptr, file.c_str()));
  ASSERT_TRUE(ProfileWriteString("Main", "Added", "yes", file.c_str()));
  EXPECT_EQ(ProfileReadInt("Main", "Size", 0, file.c_str()), 11);
  EXPECT_EQ(Read(file, "Main", "Color"), "<default>");
  EXPECT_EQ(Read(file, "Main", "Shape"), "round");
  EXPECT_EQ(Read(file, "Main", "Added"), "yes");
  EXPECT_EQ(ProfileReadInt("Other", "Size", 0, file.c_str()), 20);
  const std::string text = Text(ReadFile(file));
  EXPECT_NE(text.find("; about this file\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find(";note on color\r\n"), std::string::npos) << text;
}

TEST(ProfileWriteTest, DeletingWhatIsNotThereSucceedsAndCreatesNothing) {
  ScratchDir dir;
  const std::string missing = dir.Join("missing.ini");
  EXPECT_TRUE(ProfileWriteString("Main", "key", nullptr, missing.c_str()));
  EXPECT_TRUE(ReadFile(missing).empty());
  const Bytes before = Ascii("[Main]\r\nkey=1\r\n", false);
  const std::string file = dir.Write("present.ini", before);
  EXPECT_TRUE(ProfileWriteString("Main", "other", nullptr, file.c_str()));
  EXPECT_TRUE(ProfileWriteString("Elsewhere", "key", nullptr, file.c_str()));
  EXPECT_EQ(ReadFile(file), before);
}

TEST(ProfileWriteTest, NamesAndValuesThatWouldNotReadBackAreRefused) {
  ScratchDir dir;
  const Bytes before = Ascii("[Main]\r\nkey=1\r\n", false);
  const std::string file = dir.Write("guarded.ini", before);
  EXPECT_FALSE(ProfileWriteString("Main", "key", "2\r\n[Injected]\r\nkey=3", file.c_str()));
  EXPECT_FALSE(ProfileWriteString("Main", "a=b", "2", file.c_str()));
  EXPECT_FALSE(ProfileWriteString("Main", ";key", "2", file.c_str()));
  EXPECT_FALSE(ProfileWriteString("Ma]in", "key", "2", file.c_str()));
  EXPECT_FALSE(ProfileWriteString(" ", "key", "2", file.c_str()));
  EXPECT_FALSE(ProfileWriteString("Main", "", "2", file.c_str()));
  EXPECT_EQ(ReadFile(file), before);
}

TEST(ProfileWriteTest, WriteIntoAMissingDirectoryFails) {
  ScratchDir dir;
  EXPECT_FALSE(ProfileWriteString("Main", "key", "1", dir.Join("no/such/dir/x.ini").c_str()));
}

TEST(ProfileWriteTest, WrittenValuesReadBack) {
  ScratchDir dir;
  const std::string file = dir.Join("round.ini");
  const char* values[] = {"plain", "with inner  blanks", "a=b;c", "\"quoted\"", "", "-17"};
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(ProfileWriteString("Round", ("key" + std::to_string(i)).c_str(), values[i], file.c_str()));
  }
  EXPECT_EQ(Read(file, "Round", "key0"), "plain");
  EXPECT_EQ(Read(file, "Round", "key1"), "with inner  blanks");
  EXPECT_EQ(Read(file, "Round", "key2"), "a=b;c");
  EXPECT_EQ(Read(file, "Round", "key3"), "quoted");
  EXPECT_EQ(Read(file, "Round", "key4"), "");
  EXPECT_EQ(ProfileReadInt("Round", "key5", 0, file.c_str()), -17);
}

TEST(ProfileWriteTest, ConcurrentWritersLoseNoKey) {
  ScratchDir dir;
  const std::string file = dir.Join("shared.ini");
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([&file, t] {
      for (int i = 0; i < 10; ++i) {
        const std::string key = "k" + std::to_string(t) + "_" + std::to_string(i);
        ProfileWriteString(t % 2 == 0 ? "Even" : "Odd", key.c_str(), key.c_str(), file.c_str());
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  for (int t = 0; t < 4; ++t) {
    for (int i = 0; i < 10; ++i) {
      const std::string key = "k" + std::to_string(t) + "_" + std::to_string(i);
      EXPECT_EQ(Read(file, t % 2 == 0 ? "Even" : "Odd", key.c_str()), key);
    }
  }
}

}  // namespace
}  // namespace testbuild
