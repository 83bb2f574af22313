#include "fuzz/scan_comparison.h"

#include <cstdio>
#include <memory>

#include "usage/candidates.h"
#include "usage/content_scanner.h"
#include "usage/process_state.h"
#include "usage/reference_check.h"
#include "usage/search_view.h"

namespace scancompare {
namespace {

// Keeps every call the search makes on the view, in order.
class CallLog : public SearchView {
 public:
  void ShowStatus(const char* text) override { calls.push_back(std::string("status ") + text); }
  void PassOneMessage() override { calls.emplace_back("pass"); }
  void ClearLines() override { calls.emplace_back("clear"); }
  void AddLine(const char* line) override { calls.push_back(std::string("add ") + line); }
  void InsertLine(int index, const char* line) override {
    calls.push_back("insert " + std::to_string(index) + " " + line);
  }
  void DeleteLine(int index) override { calls.push_back("delete " + std::to_string(index)); }
  int MeasureLine(const char* line, int length) override {
    calls.push_back("measure " + std::string(line, static_cast<std::size_t>(length)));
    return length * 6;
  }
  int HorizontalExtent() override { return extent; }
  void SetHorizontalExtent(int value) override {
    extent = value;
    calls.push_back("extent " + std::to_string(value));
  }

  std::vector<std::string> calls;
  int extent = 0;
};

struct Outcome {
  std::vector<std::string> marks;  // per candidate: found, kind, referrer
  int referencedCount = 0;
  std::vector<std::string> calls;
};

Outcome Run(const ScanInput& input, bool onePass) {
  CallLog view;
  ProcessState state;
  for (const std::string& name : input.candidates) {
    AddCandidate(state, state.CandidateList, name.c_str(), "lib/");
  }
  state.view = &view;
  for (const ScannedRegion& region : input.regions) {
    // A block of exactly the region's size, so that a read past its end
    // shows under AddressSanitizer.
    std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[region.bytes.empty() ? 1 : region.bytes.size()]);
    std::copy(region.bytes.begin(), region.bytes.end(), exact.get());
    const auto length = static_cast<std::uint32_t>(region.bytes.size());
    if (onePass) {
      ScanContentInOnePass(state, exact.get(), length, region.path.c_str(), region.referenceKind);
    } else {
      ScanContentReference(state, exact.get(), length, region.path.c_str(), region.referenceKind);
    }
  }
  Outcome outcome;
  for (int i = 0; i < state.CandidateList.GetCount(); ++i) {
    const auto* candidate = CandidateAt(state.CandidateList, i);
    outcome.marks.push_back(std::to_string(candidate->found) + " " + std::to_string(candidate->referenceKind) + " " +
                            (candidate->referencedBy != nullptr ? candidate->referencedBy : "-"));
  }
  outcome.referencedCount = state.ReferencedCount;
  outcome.calls = view.calls;
  return outcome;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "  " + line + "\n";
  return text;
}

std::string Escaped(const std::string& bytes) {
  std::string text;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      text += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      text += escape;
    }
  }
  return text;
}

}  // namespace

std::string Describe(const ScanInput& input) {
  std::string text = "candidates:";
  for (const std::string& name : input.candidates) text += " \"" + Escaped(name) + "\"";
  text += "\n";
  for (const ScannedRegion& region : input.regions) {
    text += "region of " + region.path + ", kind " + std::to_string(region.referenceKind) + ", " +
            std::to_string(region.bytes.size()) + " bytes: \"" +
            Escaped(std::string(region.bytes.begin(), region.bytes.end())) + "\"\n";
  }
  return text;
}

std::string CompareScans(const ScanInput& input) {
  const Outcome reference = Run(input, false);
  const Outcome onePass = Run(input, true);
  if (reference.marks == onePass.marks && reference.referencedCount == onePass.referencedCount &&
      reference.calls == onePass.calls) {
    return "";
  }
  return Describe(input) + "straightforward scan:\n" + Join(reference.marks) + Join(reference.calls) +
         "one-pass scan:\n" + Join(onePass.marks) + Join(onePass.calls);
}

}  // namespace scancompare
