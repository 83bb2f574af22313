#include "config/log.h"

#include <cstdio>
#include <cstring>

std::string FormatLogTime(const std::tm& time) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const int day = time.tm_wday >= 0 && time.tm_wday < 7 ? time.tm_wday : 0;
  const int month = time.tm_mon >= 0 && time.tm_mon < 12 ? time.tm_mon : 0;
  char text[64];
  std::snprintf(text, sizeof text, "%s %s %02d %02d:%02d:%02d %d\n", kDays[day], kMonths[month],
                time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec, time.tm_year + 1900);
  return text;
}

void LogFile::Open(const char* path) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::snprintf(path_, sizeof path_, "%s", path);
  }
  std::tm local;
  {
    // localtime shares one buffer across the process; the lock keeps two
    // logs from using it at once.
    static std::mutex timeMutex;
    std::lock_guard<std::mutex> lock(timeMutex);
    const std::time_t now = std::time(nullptr);
    local = *std::localtime(&now);
  }
  Printf("%s %s", "Log File Opened at ", FormatLogTime(local).c_str());
}

int LogFile::Printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int written = VPrintf(format, args);
  va_end(args);
  return written;
}

int LogFile::VPrintf(const char* format, va_list args) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (path_[0] == 0) return 0;
  std::FILE* file = std::fopen(path_, "a+");
  if (file == nullptr) return 0;
  const int written = std::vfprintf(file, format, args);
  std::fclose(file);
  return written < 0 ? 0 : written;
}

LogFile& ProcessLog() {
  static LogFile log;
  return log;
}

void LogOpen(const char* path) { ProcessLog().Open(path); }

int LogPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int written = ProcessLog().VPrintf(format, args);
  va_end(args);
  return written;
}
