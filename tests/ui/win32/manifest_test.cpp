// The application manifests of tarnwick.exe and exeprobe.exe, read from the
// built programs through the Windows loader: resource type 24, number 1.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

std::string Manifest(const char* exe) {
  HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return "cannot load " + std::string(exe);
  std::string text;
  if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
    const DWORD size = SizeofResource(module, found);
    if (HGLOBAL loaded = LoadResource(module, found)) {
      const char* bytes = static_cast<const char*>(LockResource(loaded));
      if (bytes != nullptr) text.assign(bytes, size);
    }
  }
  FreeLibrary(module);
  return text;
}

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

TEST(ManifestTest, BothProgramsAskForUtf8AndNameTheSystemsTheyRunOn) {
  for (const char* exe : {TARNWICK_EXE_PATH, EXEPROBE_EXE_PATH}) {
    const std::string manifest = Manifest(exe);
    ASSERT_TRUE(Has(manifest, "<assembly")) << exe << ": " << manifest;
    EXPECT_TRUE(Has(manifest, "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">"
                              "UTF-8</activeCodePage>"))
        << exe;
    // Windows 10 and 11 share one entry; Windows 7 has its own.
    EXPECT_TRUE(Has(manifest, "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}")) << exe;
    EXPECT_TRUE(Has(manifest, "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}")) << exe;
    EXPECT_TRUE(Has(manifest, "level=\"asInvoker\"")) << exe;
  }
  const std::string dialog = Manifest(TARNWICK_EXE_PATH);
  EXPECT_TRUE(Has(dialog, "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                          "PerMonitorV2, PerMonitor</dpiAwareness>"));
  EXPECT_TRUE(Has(dialog, "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"));
  EXPECT_TRUE(Has(dialog, "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
}

}  // namespace
