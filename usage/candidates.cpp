#include "usage/candidates.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "base/pointer_list.h"
#include "config/settings.h"
#include "platform/ascii.h"
#include "platform/directory.h"
#include "platform/text.h"
#include "usage/backup_record.h"
#include "usage/path_buffer.h"
#include "usage/process_state.h"
#include "usage/search_view.h"

namespace {

char* Duplicate(const char* text) {
  const std::size_t size = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(size));
  if (copy != nullptr) std::memcpy(copy, text, size);
  return copy;
}

bool HasLibraryExtension(const Settings& settings, const char* fileName) {
  const char* dot = std::strrchr(fileName, '.');
  if (dot == nullptr) return false;
  for (const std::string& extension : settings.ExtensionTable) {
    if (extension.empty()) break;
    if (EqualIgnoringAsciiCase(dot + 1, extension.c_str())) return true;
  }
  return false;
}

}  // namespace

void ReleaseCandidate(void* record) {
  auto* candidate = static_cast<CandidateLibrary*>(record);
  if (candidate == nullptr) return;
  std::free(candidate->name);
  std::free(candidate->wideName);
  std::free(candidate->referencedBy);
  std::free(candidate->directory);
  std::free(candidate->fileName);
  delete candidate;
}

int AddCandidate(ProcessState& state, PointerList& target, const char* fileName, const char* directory) {
  if (state.view != nullptr) {
    char status[40];
    std::snprintf(status, sizeof status, "Processing %.25s", fileName);
    state.view->ShowStatus(status);
  }

  auto* record = new (std::nothrow) CandidateLibrary();
  if (record == nullptr) return -1;
  record->name = Duplicate(fileName);
  record->directory = Duplicate(directory);
  record->fileName = Duplicate(fileName);
  record->nameLength = static_cast<int>(std::strlen(fileName));
  record->wideSize = 2 * record->nameLength + 2;
  record->wideName = static_cast<unsigned char*>(std::calloc(static_cast<std::size_t>(record->wideSize), 1));
  if (record->name == nullptr || record->directory == nullptr || record->fileName == nullptr ||
      record->wideName == nullptr) {
    ReleaseCandidate(record);
    return -1;
  }
  for (char* c = record->name; *c != 0; ++c) *c = LowerAscii(*c);
  const char* lastDot = std::strrchr(record->name, '.');
  record->baseLength = lastDot != nullptr ? static_cast<int>(lastDot - record->name) : record->nameLength;
  record->wideBaseSize = 2 * record->baseLength;

  // At most nameLength characters and the terminator fit; the conversion
  // never yields more units than the name has bytes.
  const std::u16string wide = AnsiToUtf16(record->name);
  const std::size_t units = wide.size() < static_cast<std::size_t>(record->nameLength)
                                ? wide.size()
                                : static_cast<std::size_t>(record->nameLength);
  for (std::size_t i = 0; i < units; ++i) {
    record->wideName[2 * i] = static_cast<unsigned char>(wide[i] & 0xFF);
    record->wideName[2 * i + 1] = static_cast<unsigned char>(wide[i] >> 8);
  }

  record->found = 0;
  record->libraryKind = state.CurrentLibraryKind;
  record->referencedBy = nullptr;
  const int index = target.Add(record);
  if (index < 0) ReleaseCandidate(record);
  return index;
}

void CollectCandidates(ProcessState& state, char* path, int recurse, PointerList& target) {
  std::size_t length;
  std::vector<DirectoryEntry> entries;
  // A folder that cannot be listed is passed over.
  if (!ListFolder(path, &length, &entries).ok()) return;
  for (const DirectoryEntry& entry : entries) {
    if (entry.isDirectory) {
      if (recurse == 0 || entry.name[0] == '.' || entry.isLink) continue;
      if (!AppendEntryName(path, length, entry.name, true)) continue;
      CollectCandidates(state, path, 1, target);
      path[length] = 0;
      continue;
    }
    if (!entry.isRegularFile || !EntryPathFits(length, entry.name, false)) continue;
    if (HasLibraryExtension(state.settings, entry.name.c_str())) AddCandidate(state, target, entry.name.c_str(), path);
  }
}

int CountLibraryFiles(ProcessState& state, char* path) {
  SortedPointerList counted;
  counted.releaseItem = ReleaseCandidate;
  counted.allowDuplicates = 1;
  CollectCandidates(state, path, 0, counted);
  // The backup record is no library, whatever extensions are configured.
  int count = 0;
  for (int i = 0; i < counted.GetCount(); ++i) {
    const auto* file = CandidateAt(counted, i);
    if (!EqualIgnoringAsciiCase(file->fileName, kBackupRecordName)) ++count;
  }
  return count;
}
