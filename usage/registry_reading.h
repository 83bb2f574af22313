// The registry, read on threads of its own (RegistryThreadCount) while the
// passes walk the drives, or from the moment the search is asked for
// (StartRegistryReading): for every key that names a candidate, in the
// order the walk of the registry meets them, the candidates its texts name
// (by the rule of usage/name_in_text.h), whatever their found marks. The
// evidence pass then applies them in that order to the candidates still
// unused, as a reading of the registry at that point would (under Wine the
// live registry takes longer to read than the passes take to walk the
// drives).
#ifndef TARNWICK_USAGE_REGISTRY_READING_H
#define TARNWICK_USAGE_REGISTRY_READING_H

#include <atomic>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "usage/name_in_text.h"

struct ProcessState;

class RegistryReading {
 public:
  struct Key {
    std::string path;
    // Candidate indices in the order the key's texts name them.
    std::vector<int> candidates;
  };

  // Takes the names of the candidates not found yet and starts reading.
  explicit RegistryReading(const ProcessState& state);
  // Stops a reading not waited for and waits for its thread.
  ~RegistryReading();
  RegistryReading(const RegistryReading&) = delete;
  RegistryReading& operator=(const RegistryReading&) = delete;

  // Waits for the end of the reading; rethrows what it threw.
  const std::vector<Key>& Keys();
  // Where the registry was read from (VisitInstallationRegistry's answer).
  const std::string& source() const { return source_; }

 private:
  void Read();

  const NameInText names_;
  const int readingThreads_;
  std::vector<Key> keys_;
  std::string source_;
  std::exception_ptr error_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

#endif
