// What the import pass notes for the evidence pass, without marking
// anything: the modules PE files bind to through export forwarders and
// delay-load imports, and the settings files the walk met.
#ifndef TARNWICK_USAGE_EVIDENCE_LEADS_H
#define TARNWICK_USAGE_EVIDENCE_LEADS_H

#include <string>
#include <vector>

struct EvidenceLeads {
  struct LaterBound {
    int candidate;
    std::string path;
  };
  // The first file, in walk order, that binds each candidate later.
  std::vector<LaterBound> laterBound;
  // Indexed by candidate: whether laterBound holds it already.
  std::vector<char> hasLaterBound;
  // Paths of *.ini, *.inf, *.manifest and *.reg files, in walk order.
  std::vector<std::string> settingsFiles;

  void Clear() {
    laterBound.clear();
    hasLaterBound.clear();
    settingsFiles.clear();
  }
};

// Whether the path names a settings file by its extension (ASCII case ignored).
bool IsSettingsFilePath(const char* path);

#endif
