#include "config/log.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/builders/scratch_dir.h"

namespace testbuild {
namespace {

std::string ReadText(const std::string& path) {
  const Bytes bytes = ReadFile(path);
  std::string text(bytes.begin(), bytes.end());
  // The Windows build writes in text mode: compare the lines.
  std::string lines;
  for (char c : text) {
    if (c != '\r') lines += c;
  }
  return lines;
}

TEST(LogTest, HeaderHasTwoBlanksAndATwoDigitDay) {
  ScratchDir dir;
  const std::string path = dir.Join("tarnwick.log");
  LogFile log;
  log.Open(path.c_str());
  const std::regex header(
      "Log File Opened at  (Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
      "[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}\n");
  EXPECT_TRUE(std::regex_match(ReadText(path), header)) << ReadText(path);

  std::tm time = {};
  time.tm_wday = 3;
  time.tm_mon = 1;
  time.tm_mday = 3;
  time.tm_hour = 10;
  time.tm_min = 41;
  time.tm_sec = 26;
  time.tm_year = 99;
  EXPECT_EQ(FormatLogTime(time), "Wed Feb 03 10:41:26 1999\n");
}

TEST(LogTest, RunsAppendToTheSameFile) {
  ScratchDir dir;
  const std::string path = dir.Join("tarnwick.log");
  {
    LogFile first;
    first.Open(path.c_str());
    EXPECT_EQ(first.Printf("found %s\n", "a.dll\t32\tC:\\x.exe(32-bit exe or dll)"), 43);
  }
  LogFile second;
  second.Open(path.c_str());
  second.Printf("Result :\n        %d files searched\n", 7);
  std::istringstream lines(ReadText(path));
  std::vector<std::string> all;
  for (std::string line; std::getline(lines, line);) all.push_back(line);
  ASSERT_EQ(all.size(), 5u);
  EXPECT_EQ(all[0].rfind("Log File Opened at  ", 0), 0u);
  EXPECT_EQ(all[1], "found a.dll\t32\tC:\\x.exe(32-bit exe or dll)");
  EXPECT_EQ(all[2].rfind("Log File Opened at  ", 0), 0u);
  EXPECT_EQ(all[3], "Result :");
  EXPECT_EQ(all[4], "        7 files searched");
}

TEST(LogTest, FileThatCannotBeOpenedWritesNothing) {
  ScratchDir dir;
  LogFile log;
  EXPECT_EQ(log.Printf("before opening\n"), 0);
  const std::string path = dir.Join("no-such-folder/tarnwick.log");
  log.Open(path.c_str());
  EXPECT_EQ(log.Printf("line %d\n", 1), 0);
  EXPECT_TRUE(ReadFile(path).empty());
}

TEST(LogTest, CallsFromTwoThreadsNeverInterleave) {
  ScratchDir dir;
  const std::string path = dir.Join("tarnwick.log");
  LogFile log;
  log.Open(path.c_str());
  const std::string a(300, 'a'), b(300, 'b');
  auto writer = [&log](const std::string& text) {
    for (int i = 0; i < 200; ++i) log.Printf("%s %d\n%s\n", text.c_str(), i, text.c_str());
  };
  std::thread first(writer, a), second(writer, b);
  first.join();
  second.join();
  std::istringstream lines(ReadText(path));
  std::string line;
  std::getline(lines, line);  // header
  int calls = 0;
  while (std::getline(lines, line)) {
    const char c = line[0];
    ASSERT_TRUE(c == 'a' || c == 'b');
    ASSERT_EQ(line.substr(0, 300), std::string(300, c));
    std::string second_line;
    ASSERT_TRUE(std::getline(lines, second_line));
    ASSERT_EQ(second_line, std::string(300, c)) << "a call was split by the other thread's";
    ++calls;
  }
  EXPECT_EQ(calls, 400);
}

}  // namespace
}  // namespace testbuild
