// The reading of one file for the search, as any number of threads do it
// at once: the file read once, its import table, forwarders and delay-load
// imports, and the content, judged against every candidate of the search
// whatever its found mark (which only the committing thread reads).
#ifndef TARNWICK_USAGE_FILE_EXAMINATION_H
#define TARNWICK_USAGE_FILE_EXAMINATION_H

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/file_view.h"
#include "usage/content_scanner.h"
#include "usage/file_findings.h"

class PointerList;

// What the threads of one search share; made before they start and never
// changed afterwards.
class SearchTables {
 public:
  // The candidates of the list whose found mark is not set; the content
  // tables only when the search has a content pass.
  SearchTables(const PointerList& candidates, bool withContent);

  bool withContent() const { return content_ != nullptr; }
  const ContentScanner* content() const { return content_.get(); }

  struct Name {
    const char* name;
    int baseLength;
  };
  // Indexed by candidate; a candidate found before the search has no name
  // here and is never reported.
  const std::vector<Name>& names() const { return names_; }

 private:
  std::vector<Name> names_;
  std::unique_ptr<ContentScanner> content_;
};

// One thread's working memory between files.
struct ExamScratch {
  ReadBuffer buffer;
  ContentScratch content;
  std::vector<std::uint32_t> slots;
};

// Reads the file at path once and fills findings for both passes.
void ExamineFile(const SearchTables& tables, const char* path, ExamScratch& scratch, FileFindings* findings);

#endif
