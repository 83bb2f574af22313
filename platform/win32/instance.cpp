// The running instance as a top-level window of the main dialog's class.
#include "platform/instance.h"

#include <windows.h>

namespace {
constexpr int kBannerControl = 1005;
}

RunningInstance FindRunningInstance(const char* marker) {
  RunningInstance instance;
  if (marker == nullptr || *marker == 0) return instance;
  HWND window = FindWindowA(marker, nullptr);
  if (window == nullptr) return instance;
  char banner[260] = "";
  GetDlgItemTextA(window, kBannerControl, banner, sizeof banner);
  instance.found = true;
  instance.banner = banner;
  instance.id = reinterpret_cast<long long>(window);
  return instance;
}

std::string ActivateRunningInstance(const RunningInstance& instance) {
  HWND window = reinterpret_cast<HWND>(instance.id);
  ShowWindow(window, SW_SHOW);
  ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
  return std::string();
}

std::string PublishRunningInstance(void* mainWindow, const char*) {
  char className[200] = "";
  if (GetClassNameA(static_cast<HWND>(mainWindow), className, sizeof className) == 0) return std::string();
  return className;
}

void WithdrawRunningInstance() {}
