#include "usage/evidence_pass.h"

#include <algorithm>
#include <vector>

#include "config/log.h"
#include "platform/ascii.h"
#include "platform/directory.h"
#include "platform/file_start.h"
#include "platform/reg_file.h"
#include "platform/registry.h"
#include "platform/system_dirs.h"
#include "platform/text.h"
#include "usage/candidates.h"
#include "usage/drive_search.h"
#include "usage/name_in_text.h"
#include "usage/process_state.h"
#include "usage/registry_reading.h"
#include "usage/search_view.h"
#include "usage/usage_records.h"

namespace {

// A settings file larger than this is read only up to it.
constexpr std::size_t kLargestSettingsFile = 64u << 20;

bool IsUnused(const ProcessState& state, int index) {
  return CandidateAt(state.CandidateList, index)->found != 1;
}

void ShowStatus(ProcessState& state, const char* text) {
  if (state.view != nullptr) state.view->ShowStatus(text);
}

void MarkLaterBound(ProcessState& state) {
  for (const EvidenceLeads::LaterBound& lead : state.evidenceLeads.laterBound) {
    if (IsUnused(state, lead.candidate)) RecordReference(state, lead.candidate, lead.path.c_str(), REF_EXE_32BIT);
  }
}

class RegistryEvidence : public RegistryVisitor {
 public:
  RegistryEvidence(ProcessState& state, const NameInText& names) : state_(state), names_(names) {}

  bool Visit(const RegistryKey& key) override {
    for (const std::string& text : key.texts) {
      names_.Find(text, [&](int index) {
        // The key's path is no file: a key named like the library is evidence too.
        if (IsUnused(state_, index)) {
          RecordEvidence(state_, index, key.path.c_str(), REF_NT_REGISTRY);
          --left_;
        }
      });
    }
    return left_ > 0;
  }

  void set_left(int left) { left_ = left; }

 private:
  ProcessState& state_;
  const NameInText& names_;
  int left_ = 0;
};

void MarkFromRegistry(ProcessState& state, RegistryReading* reading) {
  NameInText names(state);
  if (names.empty()) return;
  ShowStatus(state, "Reading the registry");
  if (reading != nullptr) {
    // As the walk below marks them: key by key, and within a key in the
    // order its texts name them; the walk ends after the key that marks
    // the last unused candidate.
    int left = CandidatesLeft(state);
    const std::vector<RegistryReading::Key>& keys = reading->Keys();
    for (const RegistryReading::Key& key : keys) {
      for (int index : key.candidates) {
        if (!IsUnused(state, index)) continue;
        RecordEvidence(state, index, key.path.c_str(), REF_NT_REGISTRY);
        --left;
      }
      if (left <= 0) break;
    }
    LogPrintf("Registry : %s\n", reading->source().c_str());
    return;
  }
  RegistryEvidence evidence(state, names);
  evidence.set_left(CandidatesLeft(state));
  const std::string source = VisitInstallationRegistry(evidence, RegistryThreadCount(state));
  LogPrintf("Registry : %s\n", source.c_str());
}

// system.ini and win.ini of the Windows directory, as the directory spells them.
std::vector<std::string> WindowsDirectorySettingsFiles() {
  std::vector<std::string> paths;
  std::string folder = WindowsDirectory();
  std::vector<DirectoryEntry> entries;
  if (folder.empty() || !ListDirectory(folder, &entries).ok()) return paths;
  if (folder.back() != kPathSeparator) folder += kPathSeparator;
  for (const char* wanted : {"system.ini", "win.ini"}) {
    for (const DirectoryEntry& entry : entries) {
      if (entry.isRegularFile && EqualIgnoringAsciiCase(entry.name.c_str(), wanted)) {
        paths.push_back(folder + entry.name);
        break;
      }
    }
  }
  return paths;
}

void MarkFromSettingsFiles(ProcessState& state) {
  std::vector<std::string> paths = state.evidenceLeads.settingsFiles;
  for (const std::string& path : WindowsDirectorySettingsFiles()) {
    bool walked = false;
    for (const std::string& seen : state.evidenceLeads.settingsFiles) {
      walked = walked || EqualIgnoringAsciiCase(seen.c_str(), path.c_str());
    }
    if (!walked) paths.push_back(path);
  }
  LogPrintf("Settings files : %d\n", static_cast<int>(paths.size()));
  const NameInText names(state);
  for (const std::string& path : paths) {
    if (CandidatesLeft(state) == 0) return;
    names.Find(SettingsFileText(path), [&](int index) {
      if (IsUnused(state, index)) RecordReference(state, index, path.c_str(), REF_SETTINGS_FILE);
    });
  }
}

// The texts of an exported registry file, one after another.
class RegistryTexts : public RegistryVisitor {
 public:
  bool Visit(const RegistryKey& key) override {
    for (const std::string& text : key.texts) {
      texts_ += text;
      texts_ += '\n';
    }
    return true;
  }
  const std::string& texts() const { return texts_; }

 private:
  std::string texts_;
};

bool EndsWithIgnoringCase(const std::string& text, const char* ending) {
  const std::size_t length = std::char_traits<char>::length(ending);
  return text.size() >= length && EqualIgnoringAsciiCase(text.c_str() + text.size() - length, ending);
}

}  // namespace

std::string SettingsFileText(const std::string& path) {
  std::string bytes;
  ReadFileStart(path, kLargestSettingsFile, &bytes);

  std::string text;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 2 && ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF))) {
    text = Utf16ToAnsi(RegFileText(bytes));
  } else {
    text = bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? bytes.substr(3) : bytes;
    // A file written in the other 8-bit encoding (UTF-8 on Windows, the
    // Windows code page on POSIX) names a library with letters beyond ASCII
    // only in that reading: both are judged.
    const std::string other = OtherReadingOf8BitText(text);
    if (!other.empty()) text += "\n" + other;
  }
  if (EndsWithIgnoringCase(path, ".reg")) {
    // The decoded names and strings too: hex and escaped forms hide names
    // from the plain text.
    RegistryTexts texts;
    ParseRegFile(RegFileText(bytes), texts);
    text += '\n';
    text += texts.texts();
  }
  return text;
}

bool IsSettingsFilePath(const char* path) {
  const std::string text(path);
  for (const char* extension : {".ini", ".inf", ".manifest", ".reg"}) {
    if (EndsWithIgnoringCase(text, extension)) return true;
  }
  return false;
}

void RunEvidencePass(ProcessState& state, RegistryReading* registry) {
  if (CandidatesLeft(state) == 0) return;
  LogPrintf("Now looking for further evidence (%d dlls left)\n", CandidatesLeft(state));
  MarkLaterBound(state);
  if (CandidatesLeft(state) > 0) MarkFromRegistry(state, registry);
  if (CandidatesLeft(state) > 0) MarkFromSettingsFiles(state);
}
