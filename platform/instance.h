// Finding a running instance of the program.
//
// A running instance publishes a marker (stored by the program in the
// settings file) that leads to its main window and the banner shown there.
// Windows: the marker is the class name of the main dialog; the lookup is
// FindWindowA on that class and the banner is the text of the dialog's
// control 1005. POSIX: the marker names a small runtime file (in
// $XDG_RUNTIME_DIR, else the system's temporary folder) that holds the
// banner text and is locked by the live process; a file that is missing or
// unlocked (a crashed run) means that no instance runs.
#ifndef TARNWICK_PLATFORM_INSTANCE_H
#define TARNWICK_PLATFORM_INSTANCE_H

#include <string>

struct RunningInstance {
  bool found = false;
  std::string banner;
  // Windows: the window handle; POSIX: the process id of the lock holder.
  long long id = 0;
};

// Looks up the instance that marker leads to and reads its banner.
RunningInstance FindRunningInstance(const char* marker);

// Brings the instance's window to the front (shown, restored, foreground).
// Where nothing can be brought to the front, returns a sentence that says
// which process runs, for the user; otherwise an empty text.
std::string ActivateRunningInstance(const RunningInstance& instance);

// Publishes this process as the running instance, showing banner; mainWindow
// is the main dialog's window on Windows and unused on POSIX. Returns the
// marker to store, or an empty text when nothing could be published.
std::string PublishRunningInstance(void* mainWindow, const char* banner);

// Withdraws what PublishRunningInstance made (the runtime file on POSIX).
void WithdrawRunningInstance();

#endif
