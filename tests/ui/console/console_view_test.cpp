// The console status line: the count of files checked in the pass comes
// from the search's "file checked" call, never from the status text.
#include "ui/console/console_view.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "usage/process_state.h"
#include "usage/reference_check.h"

namespace {

std::string Written(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  return text;
}

TEST(ConsoleViewTest, CountsTheFilesCheckedInEachPassWhateverTheStatusSays) {
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  ProcessState state;
  ConsoleView view(out, true, &state);
  state.SearchRunning = 1;
  state.ImportsOnlyMode = 1;
  view.FileChecked("/a.exe");
  view.ShowStatus("Looking at a.exe");
  view.ShowStatus("Analyzing /b.exe");  // a status text alone counts nothing
  view.FileChecked("/c.exe");
  view.ShowStatus("c.exe");
  state.ImportsOnlyMode = 0;
  view.FileChecked("/d.exe");
  view.ShowStatus("d.exe");
  const std::string text = Written(out);
  EXPECT_NE(text.find("\r[import pass, 1 files] Looking at a.exe\x1b[K"), std::string::npos) << text;
  EXPECT_NE(text.find("\r[import pass, 1 files] Analyzing /b.exe\x1b[K"), std::string::npos) << text;
  EXPECT_NE(text.find("\r[import pass, 2 files] c.exe\x1b[K"), std::string::npos) << text;
  EXPECT_NE(text.find("\r[final pass, 1 files] d.exe\x1b[K"), std::string::npos) << text;
  std::fclose(out);
}

TEST(ConsoleViewTest, TheSearchReportsEveryFileItChecks) {
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  ProcessState state;
  ConsoleView view(out, true, &state);
  state.view = &view;
  state.SearchRunning = 1;
  state.ImportsOnlyMode = 1;
  CheckFile(state, "/nonexistent/one.exe");
  CheckFile(state, "/nonexistent/two.exe");
  const std::string text = Written(out);
  EXPECT_NE(text.find("[import pass, 2 files] Analyzing /nonexistent/two.exe"), std::string::npos) << text;
  std::fclose(out);
}

}  // namespace
