// The walk of one search, listed by one thread and read by several, handed
// to the committing thread step by step in walk order.
//
// A walker thread lists the folders depth first, exactly as a walk that
// checks each file before listing on would meet them: folders in listing
// order, linked folders, virtual file systems and entries whose path would
// not fit passed over, only regular files taken. Examining threads take the
// files in that order and read each once (usage/file_examination.h). The
// committing thread asks for the steps in order and gets each file's
// findings once they are there, so everything it does with them happens in
// walk order, whatever the number of threads; the steps stay, so that a
// second pass can replay them.
//
// Where the platform can (platform/cache_ahead.h), as many reading threads
// as examining ones bring the listed files into the system's cache in walk
// order, at most kCacheAheadBytes ahead of the files the examining threads
// have taken, so that from a cold cache the disk streams while those
// threads examine. They change nothing the examining threads find.
//
// Once every candidate is found, a walk ends each folder after its next
// file; NoteAllFound tells the walk so, and from then on it lists and reads
// no further file than the committing thread can ask for.
#ifndef TARNWICK_USAGE_ORDERED_WALK_H
#define TARNWICK_USAGE_ORDERED_WALK_H

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "usage/file_examination.h"
#include "usage/file_findings.h"

struct WalkStep {
  enum Kind {
    // A drive's walk begins: path is its root.
    kDriveStart,
    // The walk of one directory begins: path is the directory.
    kDirectoryStart,
    // A regular file at depth (0 in the root folder).
    kFile,
    // The end of the entries of a folder at depth, its subfolders' included.
    kFolderEnd,
  };
  Kind kind;
  int depth;
  // For a file: the first file of its folder.
  bool firstInFolder;
  std::string path;
};

// What the walk covers: the drive letters selected (C to Z), or one directory.
struct WalkPlan {
  std::string driveSelection;
  bool oneDirectory = false;
  std::string directory;
};

class OrderedWalk {
 public:
  // Starts the walker and the examining threads (at least one).
  OrderedWalk(const SearchTables& tables, WalkPlan plan, int threads);
  // Stops every thread; a step not asked for yet is dropped unseen.
  ~OrderedWalk();
  OrderedWalk(const OrderedWalk&) = delete;
  OrderedWalk& operator=(const OrderedWalk&) = delete;

  // The step at index in walk order, waiting until it is listed; nullptr
  // past the last one. Rethrows what a thread of the walk threw.
  const WalkStep* StepAt(std::size_t index);
  // The findings of the file at index, waiting until they are made.
  const FileFindings& FindingsAt(std::size_t index);
  // Every candidate is found: no folder needs more than its next file.
  void NoteAllFound();

 private:
  static constexpr std::uint64_t kCacheAheadBytes = 64u << 20;

  struct Entry {
    WalkStep step;
    FileFindings findings;
    bool ready = false;
    // Not read, since no folder needed it any more (NoteAllFound).
    bool passedOver = false;
    // Read into the cache before an examining thread took it, and counted
    // in cachedAhead_.
    std::uint64_t cachedBytes = 0;
  };
  enum class AddResult { kGoOn, kEndFolder, kStop };

  void Stop();
  void Walk();
  // False once the walk is to stop.
  bool WalkFolder(char* path, int depth);
  AddResult Add(WalkStep step);
  void Examine();
  void CacheAhead();
  // Whether an examining thread took the file step at index (the lock held).
  bool Taken(std::size_t index) const { return files_.empty() || index < files_.front(); }
  void Fail(std::exception_ptr error);

  const SearchTables& tables_;
  const WalkPlan plan_;

  std::mutex lock_;
  // The committing thread waits here for steps and findings, the examining
  // threads for files to read.
  std::condition_variable stepsChanged_;
  std::condition_variable filesWaiting_;
  // The reading threads wait here for files, or for room ahead.
  std::condition_variable uncachedWaiting_;
  std::deque<Entry> entries_;
  std::deque<std::size_t> files_;     // indices of the file steps not yet taken
  std::deque<std::size_t> uncached_;  // indices of the file steps no reading thread took
  std::uint64_t cachedAhead_ = 0;     // bytes read ahead of the files taken
  bool listed_ = false;
  bool stopping_ = false;
  bool allFound_ = false;
  std::exception_ptr error_;
  ExamScratch committerScratch_;

  std::vector<std::thread> threads_;
};

#endif
