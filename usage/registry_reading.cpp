#include "usage/registry_reading.h"

#include "platform/registry.h"
#include "usage/drive_search.h"

namespace {

class KeysNamingCandidates : public RegistryVisitor {
 public:
  KeysNamingCandidates(const NameInText& names, std::vector<RegistryReading::Key>& keys,
                       const std::atomic<bool>& stop)
      : names_(names), keys_(keys), stop_(stop) {}

  bool Visit(const RegistryKey& key) override {
    std::vector<int> named;
    for (const std::string& text : key.texts) {
      names_.Find(text, [&](int index) { named.push_back(index); });
    }
    if (!named.empty()) keys_.push_back({key.path, std::move(named)});
    return !stop_.load(std::memory_order_relaxed);
  }

 private:
  const NameInText& names_;
  std::vector<RegistryReading::Key>& keys_;
  const std::atomic<bool>& stop_;
};

}  // namespace

RegistryReading::RegistryReading(const ProcessState& state)
    : names_(state), readingThreads_(RegistryThreadCount(state)) {
  if (!names_.empty()) thread_ = std::thread(&RegistryReading::Read, this);
}

RegistryReading::~RegistryReading() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void RegistryReading::Read() {
  try {
    KeysNamingCandidates visitor(names_, keys_, stop_);
    source_ = VisitInstallationRegistry(visitor, readingThreads_);
  } catch (...) {
    error_ = std::current_exception();
  }
}

const std::vector<RegistryReading::Key>& RegistryReading::Keys() {
  if (thread_.joinable()) thread_.join();
  if (error_ != nullptr) std::rethrow_exception(error_);
  return keys_;
}
