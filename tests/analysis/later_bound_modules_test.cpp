// The modules a PE file binds to through export forwarders and delay-load
// imports, delivered beside the analysis without changing what it reports.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "analysis/analyze_file.h"
#include "base/pointer_list.h"
#include "tests/analysis/analysis_harness.h"

namespace testbuild {
namespace {

struct LaterBound {
  int result;
  std::vector<std::string> imports;
  std::vector<std::string> later;
};

LaterBound Analyze(const ScratchDir& dir, const Bytes& bytes) {
  const std::string path = dir.Write("file.dll", bytes);
  SortedPointerList imports, later;
  for (SortedPointerList* list : {&imports, &later}) {
    list->compare = CompareStrings;
    list->releaseItem = std::free;
  }
  LaterBound out;
  out.result = AnalyzeFile(path.c_str(), nullptr, nullptr, &imports, nullptr, &later);
  for (int i = 0; i < imports.GetCount(); ++i) out.imports.push_back(static_cast<const char*>(imports.GetAt(i)));
  for (int i = 0; i < later.GetCount(); ++i) out.later.push_back(static_cast<const char*>(later.GetAt(i)));
  return out;
}

TEST(LaterBoundModulesTest, ForwardersAndDelayLoadsOfBothWidths) {
  ScratchDir dir;
  for (bool wide : {false, true}) {
    // Virtual addresses in descriptors come only from 32-bit linkers.
    for (bool byVirtualAddress : {false, !wide}) {
      PeImage image;
      image.pe32plus = wide;
      image.imports = {"KERNEL32.dll"};
      image.forwarders = {"SSPICLI.AcquireCredentialsHandleA", "sspicli.#12", "api.ms.win.Function"};
      image.delayImports = {"COMDLG32.dll", "winmm.dll"};
      image.delayByVirtualAddress = byVirtualAddress;
      const LaterBound got = Analyze(dir, image.Build());
      SCOPED_TRACE(std::string(wide ? "PE32+" : "PE32") + (byVirtualAddress ? ", virtual addresses" : ""));
      EXPECT_EQ(got.result, FK_WIN32);
      EXPECT_EQ(got.imports, (std::vector<std::string>{"kernel32.dll"})) << "the import list is unchanged";
      // Lower case, each once; a module name with dots read up to its last and its first dot.
      EXPECT_EQ(got.later, (std::vector<std::string>{"api", "api.ms.win", "comdlg32.dll", "sspicli", "winmm.dll"}));
    }
  }
}

TEST(LaterBoundModulesTest, ComeWithoutAnImportTableAndNeverChangeTheResult) {
  ScratchDir dir;
  PeImage image;
  image.forwarders = {"msxml3.DllGetClassObject"};
  const LaterBound got = Analyze(dir, image.Build());
  EXPECT_EQ(got.result, AE_NO_IMPORT);
  EXPECT_EQ(got.later, (std::vector<std::string>{"msxml3"}));

  // A delay-load directory pointing past the file is passed over.
  PeLayout layout;
  image.delayImports = {"winmm.dll"};
  Bytes bytes = image.Build(&layout);
  const std::uint32_t directories = layout.newHeader + 0x18 + 96;
  Put32(bytes, directories + 13 * 8, 0x7FFFFFF0u);
  const LaterBound damaged = Analyze(dir, bytes);
  EXPECT_EQ(damaged.result, AE_NO_IMPORT);
  EXPECT_EQ(damaged.later, (std::vector<std::string>{"msxml3"}));
}

}  // namespace
}  // namespace testbuild
