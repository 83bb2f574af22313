// A small but realistic Windows installation laid out as Wine lays one out
// in a prefix: libraries in drive_c/windows/system32 and system, programs
// under drive_c that use some of them through their import tables, by name
// in their data (8-bit and UTF-16), a 16-bit program, registry files naming
// a few, and libraries that nothing uses.
#ifndef TARNWICK_SAMPLES_SAMPLE_INSTALLATION_H
#define TARNWICK_SAMPLES_SAMPLE_INSTALLATION_H

#include <string>
#include <vector>

namespace samples {

struct InstallationLayout {
  // Where the installation's drive C: starts, relative to drive_c ("" for
  // the prefix's own drive C:, "sample" for drive_c/sample).
  std::string base;
};

// Writes the installation into the prefix folder (made if missing):
// the files, dosdevices/c: (unless present) and tarnwick.ini in the
// prefix's Windows directory, which points the library folders and
// "searchdrives" at the installation and "backupto" at <prefix>/backup.
void WriteSampleInstallation(const std::string& prefix, const InstallationLayout& layout);

// The candidates the sample has, and which of them nothing uses.
std::vector<std::string> SampleCandidates();
std::vector<std::string> SampleUnusedCandidates();

}  // namespace samples

#endif
