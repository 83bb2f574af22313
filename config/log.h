// The append-only log of a run.
//
// Every LogPrintf call opens the file for appending ("a+", text mode, so
// lines end as the platform ends them), writes, and closes it again: a line
// is on disk as soon as the call returns, and a crash loses nothing already
// written. Whole calls are serialised, as the interface thread and the
// search worker both log.
#ifndef TARNWICK_CONFIG_LOG_H
#define TARNWICK_CONFIG_LOG_H

#include <cstdarg>
#include <ctime>
#include <mutex>
#include <string>

class LogFile {
 public:
  // Remembers the path (cut to 143 characters) and writes the header line
  // with the local time.
  void Open(const char* path);
  // Appends the formatted text; returns the characters written, 0 when the
  // file could not be opened (or before Open).
  int Printf(const char* format, ...);
  int VPrintf(const char* format, va_list args);

 private:
  char path_[144] = "";
  std::mutex mutex_;
};

// The program's one log.
LogFile& ProcessLog();
void LogOpen(const char* path);
int LogPrintf(const char* format, ...);

// The 25-character ctime form of a time, with the day of the month always
// two digits: "Wed Feb 03 10:41:26 1999\n".
std::string FormatLogTime(const std::tm& time);

#endif
