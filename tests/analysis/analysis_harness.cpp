#include "tests/analysis/analysis_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/pointer_list.h"
#include "platform/file_view.h"

namespace testbuild {

namespace {

class RecordingTrace : public AnalysisTrace {
 public:
  explicit RecordingTrace(std::vector<std::string>* lines) : lines_(lines) {}
  void Print(const char* text) override { lines_->push_back(text); }

 private:
  std::vector<std::string>* lines_;
};

int RecordRegion(const std::uint8_t* start, std::uint32_t length, void* context, int kind) {
  auto* out = static_cast<Analyzed*>(context);
  ++out->callbacks;
  out->callbackKind = kind;
  out->region.assign(start, start + length);
  return 0;
}

void FreeName(void* name) { std::free(name); }

// The search reads a file into a buffer, a head first and the rest when a
// read reaches past it; whatever the head, it must see what the mapped file
// shows.
void ExpectReadingAgrees(const std::string& path, AnalyzeOptions options, const Analyzed& mapped) {
  for (std::uint32_t head : {1u, 70u, ReadBuffer::kDefaultHeadBytes}) {
    ReadBuffer buffer(ReadBuffer::kDefaultLargestFile, head);
    Analyzed read;
    PointerList sink;
    sink.releaseItem = FreeName;
    const BothPassesResult result = AnalyzeFileForBothPasses(
        path.c_str(), &buffer, options.callback ? RecordRegion : nullptr, &read, options.sink ? &sink : nullptr, nullptr);
    for (int i = 0; i < sink.GetCount(); ++i) read.names.push_back(static_cast<char*>(sink.GetAt(i)));
    EXPECT_EQ(options.callback ? result.contentPass : result.importPass, mapped.result) << "head " << head;
    EXPECT_EQ(read.names, mapped.names) << "head " << head;
    EXPECT_EQ(read.callbacks, mapped.callbacks) << "head " << head;
    EXPECT_EQ(read.region, mapped.region) << "head " << head;
  }
}

}  // namespace

Analyzed AnalyzePath(const std::string& path, AnalyzeOptions options) {
  Analyzed out;
  RecordingTrace trace(&out.trace);
  PointerList sink;  // appends, so the names keep the order they came in
  sink.releaseItem = FreeName;
  out.result = AnalyzeFile(path.c_str(), options.callback ? RecordRegion : nullptr, &out,
                           options.sink ? &sink : nullptr, &trace);
  for (int i = 0; i < sink.GetCount(); ++i) out.names.push_back(static_cast<char*>(sink.GetAt(i)));
  ExpectReadingAgrees(path, options, out);
  return out;
}

Analyzed AnalyzeBytes(const Bytes& bytes, AnalyzeOptions options) {
  ScratchDir dir;
  return AnalyzePath(dir.Write("sample.bin", bytes), options);
}

Bytes Slice(const Bytes& bytes, std::size_t start, std::size_t end) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(start),
               bytes.begin() + static_cast<std::ptrdiff_t>(end));
}

}  // namespace testbuild
