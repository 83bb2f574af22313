#include "usage/ordered_walk.h"

#include <cstdio>
#include <utility>

#include "platform/cache_ahead.h"
#include "platform/directory.h"
#include "platform/drives.h"
#include "usage/path_buffer.h"

OrderedWalk::OrderedWalk(const SearchTables& tables, WalkPlan plan, int threads)
    : tables_(tables), plan_(std::move(plan)) {
  if (threads < 1) threads = 1;
  try {
    threads_.emplace_back(&OrderedWalk::Walk, this);
    for (int i = 0; i < threads; ++i) threads_.emplace_back(&OrderedWalk::Examine, this);
  } catch (...) {
    // A thread that could not be started: those that were stop again.
    Stop();
    throw;
  }
  // Reading ahead only saves time: the walk goes on with the reading threads
  // that could be started, if any.
  for (int i = 0; i < threads && CacheAheadAvailable(); ++i) {
    try {
      threads_.emplace_back(&OrderedWalk::CacheAhead, this);
    } catch (...) {
      break;
    }
  }
}

OrderedWalk::~OrderedWalk() { Stop(); }

void OrderedWalk::Stop() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  stepsChanged_.notify_all();
  filesWaiting_.notify_all();
  uncachedWaiting_.notify_all();
  for (std::thread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
  threads_.clear();
}

void OrderedWalk::Fail(std::exception_ptr error) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (error_ == nullptr) error_ = std::move(error);
    stopping_ = true;
  }
  stepsChanged_.notify_all();
  filesWaiting_.notify_all();
  uncachedWaiting_.notify_all();
}

OrderedWalk::AddResult OrderedWalk::Add(WalkStep step) {
  const bool isFile = step.kind == WalkStep::kFile;
  std::unique_lock<std::mutex> hold(lock_);
  if (stopping_) return AddResult::kStop;
  entries_.push_back(Entry{std::move(step), FileFindings{}, !isFile, false});
  if (isFile) {
    files_.push_back(entries_.size() - 1);
    uncached_.push_back(entries_.size() - 1);
  }
  const bool endFolder = isFile && allFound_;
  hold.unlock();
  stepsChanged_.notify_one();
  if (isFile) {
    filesWaiting_.notify_one();
    uncachedWaiting_.notify_one();
  }
  return endFolder ? AddResult::kEndFolder : AddResult::kGoOn;
}

void OrderedWalk::Walk() {
  try {
    char path[kPathCapacity];
    if (plan_.oneDirectory) {
      std::snprintf(path, sizeof path, "%s", plan_.directory.c_str());
      if (Add({WalkStep::kDirectoryStart, 0, false, plan_.directory}) == AddResult::kGoOn) WalkFolder(path, 0);
    } else {
      for (char letter = 'C'; letter <= 'Z'; ++letter) {
        if (plan_.driveSelection.find(letter) == std::string::npos) continue;
        {
          // The search ends before a drive once every candidate is found.
          std::lock_guard<std::mutex> hold(lock_);
          if (allFound_ || stopping_) break;
        }
        const std::string root = DriveRoot(letter);
        if (!IsFixedDrive(letter) || root.size() >= kPathCapacity) continue;
        std::snprintf(path, sizeof path, "%s", root.c_str());
        if (Add({WalkStep::kDriveStart, 0, false, root}) != AddResult::kGoOn || !WalkFolder(path, 0)) break;
      }
    }
  } catch (...) {
    Fail(std::current_exception());
  }
  {
    std::lock_guard<std::mutex> hold(lock_);
    listed_ = true;
  }
  stepsChanged_.notify_all();
  filesWaiting_.notify_all();
  uncachedWaiting_.notify_all();
}

bool OrderedWalk::WalkFolder(char* path, int depth) {
  std::size_t length;
  std::vector<DirectoryEntry> entries;
  // A folder that cannot be listed is passed over.
  if (ListFolder(path, &length, &entries).ok()) {
    bool first = true;
    for (const DirectoryEntry& entry : entries) {
      if (entry.isDirectory) {
        if (entry.name[0] == '.' || entry.isLink) continue;
        if (!AppendEntryName(path, length, entry.name, true)) continue;
        if (!IsVirtualFileSystem(path) && !WalkFolder(path, depth + 1)) return false;
        path[length] = 0;
        continue;
      }
      if (!entry.isRegularFile || !AppendEntryName(path, length, entry.name, false)) continue;
      const AddResult added = Add({WalkStep::kFile, depth, first, path});
      path[length] = 0;
      first = false;
      if (added == AddResult::kStop) return false;
      if (added == AddResult::kEndFolder) break;
    }
  }
  return Add({WalkStep::kFolderEnd, depth, false, std::string()}) != AddResult::kStop;
}

void OrderedWalk::Examine() {
  ExamScratch scratch;
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    filesWaiting_.wait(hold, [this] { return stopping_ || !files_.empty() || listed_; });
    if (stopping_ || files_.empty()) return;
    const std::size_t index = files_.front();
    files_.pop_front();
    Entry& entry = entries_[index];
    if (entry.cachedBytes > 0) {
      cachedAhead_ -= entry.cachedBytes;
      entry.cachedBytes = 0;
      uncachedWaiting_.notify_one();
    }
    if (allFound_ && !entry.step.firstInFolder) {
      entry.passedOver = true;
      entry.ready = true;
      stepsChanged_.notify_all();
      continue;
    }
    const char* path = entry.step.path.c_str();
    hold.unlock();
    FileFindings findings;
    try {
      ExamineFile(tables_, path, scratch, &findings);
    } catch (...) {
      Fail(std::current_exception());
      return;
    }
    hold.lock();
    entry.findings = std::move(findings);
    entry.ready = true;
    stepsChanged_.notify_all();
  }
}

void OrderedWalk::CacheAhead() {
  // Without the content scan a file is read only as far as its head, unless
  // it is a program whose tables lie further on.
  const std::uint64_t perFile = tables_.withContent() ? kCacheAheadBytes : ReadBuffer::kDefaultHeadBytes;
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    uncachedWaiting_.wait(hold, [this] {
      return stopping_ || allFound_ || (listed_ && uncached_.empty()) ||
             (!uncached_.empty() && cachedAhead_ < kCacheAheadBytes);
    });
    // Once every candidate is found, most files are passed over unread.
    if (stopping_ || allFound_ || uncached_.empty()) return;
    const std::size_t index = uncached_.front();
    uncached_.pop_front();
    if (Taken(index)) continue;
    const std::string path = entries_[index].step.path;
    hold.unlock();
    const std::uint64_t read = CacheFileAhead(path.c_str(), perFile);
    hold.lock();
    if (!Taken(index)) {
      entries_[index].cachedBytes = read;
      cachedAhead_ += read;
    }
  }
}

const WalkStep* OrderedWalk::StepAt(std::size_t index) {
  std::unique_lock<std::mutex> hold(lock_);
  stepsChanged_.wait(hold, [&] { return index < entries_.size() || listed_ || error_ != nullptr; });
  if (error_ != nullptr) std::rethrow_exception(error_);
  return index < entries_.size() ? &entries_[index].step : nullptr;
}

const FileFindings& OrderedWalk::FindingsAt(std::size_t index) {
  std::unique_lock<std::mutex> hold(lock_);
  Entry& entry = entries_[index];
  stepsChanged_.wait(hold, [&] { return entry.ready || error_ != nullptr; });
  if (error_ != nullptr) std::rethrow_exception(error_);
  if (entry.passedOver) {
    // Every candidate was found before this file was read, and a folder
    // that needed it after all gets it read here.
    entry.passedOver = false;
    hold.unlock();
    ExamineFile(tables_, entry.step.path.c_str(), committerScratch_, &entry.findings);
  }
  return entry.findings;
}

void OrderedWalk::NoteAllFound() {
  std::lock_guard<std::mutex> hold(lock_);
  allFound_ = true;
}
