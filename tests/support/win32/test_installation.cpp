#include "tests/support/test_installation.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "platform/system_dirs.h"

namespace fs = std::filesystem;

namespace testbuild {

TestInstallation::TestInstallation() { std::remove(SettingsFile().c_str()); }

TestInstallation::~TestInstallation() {
  std::remove(SettingsFile().c_str());
  for (const std::string& key : addedKeys_) RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
}

void TestInstallation::AddMachineRegistryString(const std::string& key, const std::string& name,
                                                const std::string& value) {
  if (RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                      static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot write the registry key " + key);
  }
  addedKeys_.push_back(key);
}

std::string TestInstallation::SettingsFile() const { return WindowsDirectory() + "\\tarnwick.ini"; }

std::string TestInstallation::Folder(const std::string& relative) const {
  fs::path folder = fs::path(scratch_.path()) / "files" / relative;
  fs::create_directories(folder);
  folder.make_preferred();
  return folder.string();
}

namespace {

constexpr const char* kClassName = "TarnwickTestInstance";

LRESULT CALLBACK InstanceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

FakeRunningInstance::FakeRunningInstance(const std::string& banner) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = InstanceWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA(kClassName, "Tarnwick", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
  CreateWindowA("STATIC", banner.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 190, 40, window,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(1005)), windowClass.hInstance, nullptr);
  if (window == nullptr) throw std::runtime_error("cannot create a window (Wine needs a display: run under xvfb-run)");
  ShowWindow(window, SW_MINIMIZE);
  handle_ = reinterpret_cast<long long>(window);
  marker_ = kClassName;
}

FakeRunningInstance::~FakeRunningInstance() { DestroyWindow(reinterpret_cast<HWND>(handle_)); }

bool FakeRunningInstance::WasActivated() const {
  HWND window = reinterpret_cast<HWND>(handle_);
  return IsWindowVisible(window) && !IsIconic(window);
}

}  // namespace testbuild
