#include "ui/console/list_output.h"

#include <sys/stat.h>

#include <cinttypes>
#include <set>
#include <string>

#include "usage/backup_record.h"
#include "usage/candidates.h"
#include "usage/process_state.h"
#include "usage/usage_records.h"

namespace {

std::string FullPath(const CandidateLibrary& candidate) {
  return JoinPath(candidate.directory, candidate.fileName);
}

// The length of the well-formed UTF-8 sequence at text[i], or 0.
std::size_t Utf8Length(const std::string& text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

// A JSON string. A byte that is not part of well-formed UTF-8 (a POSIX file
// name may hold any byte) becomes U+FFFD, so the document stays valid.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      const std::size_t length = Utf8Length(text, i);
      if (length == 0) {
        out += "\xEF\xBF\xBD";
        ++i;
        continue;
      }
      out.append(text, i, length);
      i += length;
      continue;
    }
    ++i;
  }
  return out + "\"";
}

const char* FateText(BackupFate fate) {
  switch (fate) {
    case BackupFate::kMoved:
      return "moved";
    case BackupFate::kKept:
      return "kept";
    case BackupFate::kWineOwn:
      return "wine-own";
    case BackupFate::kUsed:
      break;
  }
  return "used";
}

}  // namespace

std::vector<std::int64_t> CandidateSizes(const ProcessState& state) {
  std::vector<std::int64_t> sizes;
  for (int j = 0; j < state.CandidateList.GetCount(); ++j) {
    struct stat st;
    const std::string path = FullPath(*CandidateAt(state.CandidateList, j));
    sizes.push_back(stat(path.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1);
  }
  return sizes;
}

std::string TsvField(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out;
}

void WriteListTsv(std::FILE* out, const ProcessState& state) {
  for (int j = 0; j < state.CandidateList.GetCount(); ++j) {
    const CandidateLibrary& candidate = *CandidateAt(state.CandidateList, j);
    std::string user = "?";
    if (candidate.found == 1 && candidate.referencedBy != nullptr) {
      user = TsvField(candidate.referencedBy) + "(" + ReferenceKindText(candidate.referenceKind) + ")";
    }
    std::fprintf(out, "%s\t%d\t%s\n", TsvField(candidate.name).c_str(), candidate.libraryKind, user.c_str());
  }
}

void WriteListJson(std::FILE* out, const ProcessState& state, const std::vector<std::int64_t>& sizes,
                   const BackupOutcome* backup) {
  int used = 0, unused = 0, kept = 0, wineOwn = 0;
  std::int64_t unusedBytes = 0, movedBytes = 0;
  // A file listed twice (both library folders one) counts once in the sums.
  std::set<std::string> unusedFiles, movedFiles;
  std::fprintf(out, "{\n  \"candidates\": [");
  const int count = state.CandidateList.GetCount();
  for (int j = 0; j < count; ++j) {
    const CandidateLibrary& candidate = *CandidateAt(state.CandidateList, j);
    const std::int64_t size = j < static_cast<int>(sizes.size()) ? sizes[static_cast<std::size_t>(j)] : -1;
    const bool isUsed = candidate.found == 1;
    std::fprintf(out, "%s\n    {\"name\": %s, \"path\": %s, \"size\": ", j == 0 ? "" : ",",
                 JsonString(candidate.name).c_str(), JsonString(FullPath(candidate)).c_str());
    if (size >= 0) {
      std::fprintf(out, "%" PRId64, size);
    } else {
      std::fputs("null", out);
    }
    std::fprintf(out, ", \"libraryKind\": %d, \"used\": %s", candidate.libraryKind, isUsed ? "true" : "false");
    if (isUsed && candidate.referencedBy != nullptr) {
      std::fprintf(out, ", \"usedBy\": %s, \"usedByKind\": %s", JsonString(candidate.referencedBy).c_str(),
                   JsonString(ReferenceKindText(candidate.referenceKind)).c_str());
    } else {
      std::fputs(", \"usedBy\": null, \"usedByKind\": null", out);
    }
    if (isUsed) {
      ++used;
    } else {
      ++unused;
      if (size > 0 && unusedFiles.insert(FullPath(candidate)).second) unusedBytes += size;
    }
    if (backup != nullptr && j < static_cast<int>(backup->fates.size())) {
      const auto& fate = backup->fates[static_cast<std::size_t>(j)];
      std::fprintf(out, ", \"backup\": %s", JsonString(FateText(fate.first)).c_str());
      if (fate.first == BackupFate::kKept) {
        std::fprintf(out, ", \"keptBecause\": %s", JsonString(fate.second).c_str());
        ++kept;
      } else if (fate.first == BackupFate::kMoved) {
        if (size > 0 && movedFiles.insert(FullPath(candidate)).second) movedBytes += size;
      } else if (fate.first == BackupFate::kWineOwn) {
        ++wineOwn;
      }
    }
    std::fputs("}", out);
  }
  std::fprintf(out, "%s],\n  \"totals\": {\"candidates\": %d, \"used\": %d, \"unused\": %d, "
               "\"unusedBytes\": %" PRId64 ", \"searchCompleted\": %s",
               count == 0 ? "" : "\n  ", count, used, unused, unusedBytes,
               state.SearchCompleted != 0 ? "true" : "false");
  if (backup != nullptr) {
    std::fprintf(out, ", \"moved\": %d, \"movedBytes\": %" PRId64 ", \"kept\": %d, \"wineOwn\": %d", backup->moved,
                 movedBytes, kept, wineOwn);
  }
  std::fputs("}\n}\n", out);
}
