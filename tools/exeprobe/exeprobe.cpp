#include "tools/exeprobe/exeprobe.h"

#include "analysis/analyze_file.h"
#include "base/version.h"

namespace {

class StreamTrace : public AnalysisTrace {
 public:
  explicit StreamTrace(std::FILE* out) : out_(out) {}
  void Print(const char* text) override { std::fputs(text, out_); }

 private:
  std::FILE* out_;
};

}  // namespace

int RunExeprobe(int argc, char** argv, std::FILE* out) {
  std::fprintf(out, "exeprobe %d.%.2d - executable file analyser, %d\n", TARNWICK_VERSION_MAJOR,
               TARNWICK_VERSION_MINOR, EXEPROBE_RELEASE_YEAR);
  if (argc < 2) {
    std::fprintf(out, "use : %s <exefilename>\n", argc > 0 ? argv[0] : "exeprobe");
    return 0;
  }
  StreamTrace trace(out);
  const int result = AnalyzeFile(argv[1], nullptr, nullptr, nullptr, &trace);
  if (result >= 0) {
    std::fprintf(out, "Analysys ok.\nFile type %s\n", kFileKindNames[result]);
  } else {
    std::fprintf(out, "Analysys failed with error %d (%s)\n", result, kAnalyzeErrorNames[-result]);
  }
  std::fflush(out);
  return 0;
}
