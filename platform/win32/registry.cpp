#include "platform/registry.h"

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "platform/win32/registry_walk.h"

// Every registry function is a round trip to the registry's keeper (under
// Wine one to the Wine server, tens of microseconds). The walk makes as few
// calls as the counts of RegQueryInfoKeyW allow, and with several threads
// reads disjoint subtrees at once: the calls of different threads overlap.
// The visitor still sees every key on the calling thread, in the order of
// the one-thread depth-first walk: a subtree read ahead by another thread
// is kept until its turn, within a byte budget.

namespace {

std::string Narrow(const wchar_t* text, std::size_t length) {
  return Utf16ToAnsi(std::u16string(reinterpret_cast<const char16_t*>(text), length));
}

std::string Narrow(const std::wstring& text) { return Narrow(text.data(), text.size()); }

// An open key; the subkeys handed to other threads are opened from it, so
// it stays open while one of them may still need it.
class OpenKey {
 public:
  OpenKey(HKEY key, bool owned) : key_(key), owned_(owned) {}
  ~OpenKey() {
    if (owned_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_;
  bool owned_;
};
using KeyRef = std::shared_ptr<const OpenKey>;

KeyRef OpenSubkey(const OpenKey& parent, const std::wstring& name) {
  HKEY key;
  // A link (CurrentControlSet, the redirected class keys) is opened as
  // itself, so the keys it points at are met once, where they are stored.
  if (RegOpenKeyExW(parent.get(), name.c_str(), REG_OPTION_OPEN_LINK, KEY_READ, &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_shared<const OpenKey>(key, true);
}

void ReadValues(HKEY key, DWORD values, DWORD longestName, DWORD longestData, std::vector<std::string>* texts) {
  // Sized from the key's own measures: larger buffers make every call slower under Wine.
  std::wstring name(static_cast<std::size_t>(longestName) + 2, L'\0');
  std::vector<BYTE> data(static_cast<std::size_t>(longestData) + 4);
  for (DWORD i = 0; i < values; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD dataSize = static_cast<DWORD>(data.size());
    DWORD type = 0;
    const LONG status = RegEnumValueW(key, i, &name[0], &nameLength, nullptr, &type, data.data(), &dataSize);
    if (status == ERROR_MORE_DATA) {
      // The value changed since the key was measured: measure again.
      name.resize(name.size() * 2 + 256);
      data.resize(data.size() * 2 + 256);
      --i;
      continue;
    }
    if (status != ERROR_SUCCESS) break;
    if (nameLength > 0) texts->push_back(Narrow(name.data(), nameLength));
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
      std::size_t units = dataSize / sizeof(wchar_t);
      const auto* text = reinterpret_cast<const wchar_t*>(data.data());
      while (units > 0 && text[units - 1] == L'\0') --units;
      texts->push_back(Narrow(text, units));
    }
  }
}

void ReadSubkeyNames(HKEY key, DWORD subkeys, DWORD longestSubkey, std::vector<std::wstring>* names) {
  std::wstring buffer(static_cast<std::size_t>(longestSubkey) + 2, L'\0');
  for (DWORD i = 0; i < subkeys; ++i) {
    DWORD length = static_cast<DWORD>(buffer.size());
    const LONG status = RegEnumKeyExW(key, i, &buffer[0], &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA) {
      buffer.resize(buffer.size() * 2 + 256);
      --i;
      continue;
    }
    if (status != ERROR_SUCCESS) break;
    names->emplace_back(buffer.data(), length);
  }
}

// Reads the open key's texts and the names of its subkeys; false if the key
// cannot be measured (it is passed over with its subkeys).
bool ReadKey(HKEY key, RegistryKey* read, std::vector<std::wstring>* subkeyNames) {
  DWORD subkeys = 0, longestSubkey = 0, values = 0, longestValueName = 0, longestData = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values,
                       &longestValueName, &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  ReadValues(key, values, longestValueName, longestData, &read->texts);
  if (subkeys > 0) ReadSubkeyNames(key, subkeys, longestSubkey, subkeyNames);
  return true;
}

// What a key read ahead holds, roughly, for the budget.
std::size_t BytesOf(const RegistryKey& key) {
  std::size_t bytes = sizeof(RegistryKey) + key.path.capacity();
  for (const std::string& text : key.texts) bytes += sizeof(std::string) + text.capacity();
  return bytes;
}

class Walk {
 public:
  Walk(RegistryVisitor& visitor, int threads, std::size_t readAheadBytes)
      : visitor_(visitor), workers_(threads > 1 ? threads - 1 : 0), budget_(readAheadBytes) {}

  ~Walk() {
    Stop();
    for (Subtree* subtree : live_) delete subtree;
  }

  void Run() {
    for (int i = 0; i < workers_; ++i) threads_.emplace_back(&Walk::Work, this);
    Subtree* machine = NewRoot(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", 0);
    Subtree* users = NewRoot(HKEY_USERS, "HKEY_USERS", 1);
    // The users' keys are read ahead while the caller walks the machine's.
    if (workers_ > 0) Queue({users});
    if (Deliver(machine)) Deliver(users);
    Stop();
    if (error_ != nullptr) std::rethrow_exception(error_);
  }

 private:
  // A key with the keys below it, walked by one thread.
  struct Subtree {
    enum class State { kWaiting, kCaller, kReader };
    // The key is opened from its parent's by name; a root is open already.
    KeyRef parent;
    std::wstring name;
    KeyRef root;
    std::string path;
    std::string narrowName;
    // The subkey indices from the root list down: the depth-first order.
    std::vector<int> order;
    State state = State::kWaiting;
    // Read ahead by a reader, for the caller: a key, or a subtree handed on.
    struct Entry {
      RegistryKey key;
      Subtree* subtree = nullptr;
      std::size_t bytes = 0;
    };
    std::deque<Entry> read;
    std::size_t bytes = 0;
    bool finished = false;
  };

  struct EarlierFirst {
    bool operator()(const Subtree* a, const Subtree* b) const { return a->order < b->order; }
  };

  Subtree* NewRoot(HKEY key, const char* name, int index) {
    auto subtree = std::make_unique<Subtree>();
    subtree->root = std::make_shared<const OpenKey>(key, false);
    subtree->path = subtree->narrowName = name;
    subtree->order = {index};
    std::lock_guard<std::mutex> lock(mutex_);
    live_.insert(subtree.get());
    return subtree.release();
  }

  void Queue(const std::vector<Subtree*>& subtrees) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (Subtree* subtree : subtrees) waiting_.insert(subtree);
    waitingCount_ = static_cast<int>(waiting_.size());
    if (idleReaders_ > 0) workWake_.notify_all();
  }

  // Subtrees of the key from subkey `from` on, queued for the readers.
  std::vector<Subtree*> HandOn(const KeyRef& key, const std::vector<std::wstring>& names, std::size_t from,
                               const std::string& path, const std::vector<int>& order) {
    std::vector<std::unique_ptr<Subtree>> made;
    for (std::size_t i = from; i < names.size(); ++i) {
      auto subtree = std::make_unique<Subtree>();
      subtree->parent = key;
      subtree->name = names[i];
      subtree->narrowName = Narrow(names[i]);
      subtree->path = path + "\\" + subtree->narrowName;
      subtree->order = order;
      subtree->order.push_back(static_cast<int>(i));
      made.push_back(std::move(subtree));
    }
    std::vector<Subtree*> subtrees;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      for (std::unique_ptr<Subtree>& subtree : made) {
        live_.insert(subtree.get());
        subtrees.push_back(subtree.release());
      }
    }
    Queue(subtrees);
    return subtrees;
  }

  // More subtrees are worth handing on while a reader may soon be idle.
  bool ReadersWantWork() const {
    return workers_ > 0 && waitingCount_.load(std::memory_order_relaxed) < workers_;
  }

  static KeyRef Open(const Subtree& subtree) {
    return subtree.root != nullptr ? subtree.root : OpenSubkey(*subtree.parent, subtree.name);
  }

  // Walks the open key and the keys below it depth first into the sink:
  // keys as they are read, subtrees handed on to the readers in their
  // place. False once the walk ends.
  template <class Sink>
  bool WalkKey(const KeyRef& key, const std::string& path, const std::string& name, std::vector<int>& order,
               Sink& sink) {
    if (stop_.load(std::memory_order_relaxed)) return false;
    RegistryKey read;
    read.path = path;
    read.texts.push_back(name);
    std::vector<std::wstring> subkeys;
    if (!ReadKey(key->get(), &read, &subkeys)) return true;
    if (!sink.Key(std::move(read))) return false;
    std::vector<Subtree*> handedOn;
    for (std::size_t i = 0; i < subkeys.size(); ++i) {
      if (sink.ShouldLeave()) {
        // The rest is left to the readers, or to the caller when it comes to it.
        handedOn = HandOn(key, subkeys, i, path, order);
        break;
      }
      if (subkeys.size() - i >= 2 && ReadersWantWork()) handedOn = HandOn(key, subkeys, i + 1, path, order);
      if (const KeyRef subkey = OpenSubkey(*key, subkeys[i])) {
        const std::string subkeyName = Narrow(subkeys[i]);
        order.push_back(static_cast<int>(i));
        const bool goOn = WalkKey(subkey, path + "\\" + subkeyName, subkeyName, order, sink);
        order.pop_back();
        if (!goOn) return false;
      }
      if (!handedOn.empty()) break;
    }
    for (Subtree* subtree : handedOn) {
      if (!sink.Handed(subtree)) return false;
    }
    return true;
  }

  // The caller's sink: straight to the visitor.
  struct ToVisitor {
    Walk& walk;
    bool Key(RegistryKey&& key) { return walk.visitor_.Visit(key); }
    bool Handed(Subtree* subtree) { return walk.Deliver(subtree); }
    static bool ShouldLeave() { return false; }
  };

  // A reader's sink: into its subtree's keys read ahead, a batch at a time,
  // so that the threads meet seldom (under Wine every wake-up is a round
  // trip to the server too). The caller reads ahead this way too while the
  // subtree it delivers is not read yet; it never waits for room, but hands
  // the rest of its subtree on once its own subtree has keys for it or the
  // budget is spent.
  class ReadAhead {
   public:
    ReadAhead(Walk& walk, Subtree* subtree, bool byCaller)
        : walk_(walk), subtree_(subtree), byCaller_(byCaller) {}
    bool ShouldLeave() const {
      return byCaller_ && (outOfRoom_ || walk_.awaitedReady_.load(std::memory_order_relaxed));
    }
    bool Key(RegistryKey&& key) {
      const std::size_t bytes = BytesOf(key);
      return Add({std::move(key), nullptr, bytes});
    }
    bool Handed(Subtree* handed) { return Add({RegistryKey(), handed, 0}); }
    // Keeps the rest of the batch; false once the walk ends.
    bool Flush() {
      if (batch_.empty()) return true;
      const bool kept = walk_.Keep(subtree_, batch_, bytes_, byCaller_, &outOfRoom_);
      batch_.clear();
      bytes_ = 0;
      return kept;
    }

   private:
    static constexpr std::size_t kBatch = 32;
    bool Add(Subtree::Entry&& entry) {
      bytes_ += entry.bytes;
      batch_.push_back(std::move(entry));
      return batch_.size() < kBatch || Flush();
    }

    Walk& walk_;
    Subtree* subtree_;
    const bool byCaller_;
    bool outOfRoom_ = false;
    std::vector<Subtree::Entry> batch_;
    std::size_t bytes_ = 0;
  };

  // The budget: the subtree being delivered may hold up to the whole budget
  // of its own, so its reader never waits for the other subtrees' keys; the
  // others share the budget, a batch at a time when nothing else is held.
  bool HasRoom(const Subtree* subtree, std::size_t bytes) const {
    if (bytes == 0) return true;
    if (subtree == delivering_) return subtree->bytes == 0 || subtree->bytes + bytes <= budget_;
    return held_ == 0 || held_ + bytes <= budget_;
  }

  bool Keep(Subtree* subtree, std::vector<Subtree::Entry>& batch, std::size_t bytes, bool byCaller,
            bool* outOfRoom) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (byCaller) {
      *outOfRoom = held_ + bytes > budget_;
    } else if (!stop_ && !HasRoom(subtree, bytes)) {
      ++roomWaiters_;
      roomWake_.wait(lock, [&] { return stop_ || HasRoom(subtree, bytes); });
      --roomWaiters_;
    }
    if (stop_) return false;
    subtree->bytes += bytes;
    held_ += bytes;
    for (Subtree::Entry& entry : batch) subtree->read.push_back(std::move(entry));
    if (awaited_ == subtree) Ready();
    return true;
  }

  // With the mutex held: the subtree the caller needs has keys for it or is done.
  void Ready() {
    awaitedReady_ = true;
    if (callerWaits_) deliveryWake_.notify_one();
  }

  // With the mutex held: the bytes delivered are free again.
  void Release(Subtree* subtree, std::size_t bytes) {
    if (bytes == 0) return;
    subtree->bytes -= bytes;
    held_ -= bytes;
    if (roomWaiters_ > 0) roomWake_.notify_all();
  }

  // Hands the subtree to the visitor: walks it if no reader took it, else
  // passes on what its reader read, as it comes. False once the walk ends.
  bool Deliver(Subtree* subtree) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (subtree->state == Subtree::State::kWaiting) {
      waiting_.erase(subtree);
      waitingCount_ = static_cast<int>(waiting_.size());
      subtree->state = Subtree::State::kCaller;
      delivering_ = subtree;
      lock.unlock();
      if (const KeyRef key = Open(*subtree)) {
        std::vector<int> order = subtree->order;
        ToVisitor sink{*this};
        if (!WalkKey(key, subtree->path, subtree->narrowName, order, sink)) return false;
      }
      lock.lock();
      Forget(subtree);
      return true;
    }
    std::deque<Subtree::Entry> entries;
    for (;;) {
      if (delivering_ != subtree) {
        delivering_ = subtree;
        if (roomWaiters_ > 0) roomWake_.notify_all();
      }
      if (!stop_ && subtree->read.empty() && !subtree->finished) {
        awaited_ = subtree;
        awaitedReady_ = false;
        if (!waiting_.empty() && held_ < budget_) {
          // Rather than wait, read a later subtree ahead.
          Subtree* later = Claim();
          lock.unlock();
          ReadAheadOf(later, true);
          lock.lock();
        } else {
          callerWaits_ = true;
          deliveryWake_.wait(lock, [&] { return stop_ || !subtree->read.empty() || subtree->finished; });
          callerWaits_ = false;
        }
        awaited_ = nullptr;
        continue;
      }
      if (stop_) return false;
      if (subtree->read.empty()) break;
      // All that is read so far, visited without the mutex; its bytes stay
      // counted until they are visited.
      entries.swap(subtree->read);
      lock.unlock();
      std::size_t visited = 0;
      while (!entries.empty()) {
        Subtree::Entry& entry = entries.front();
        const bool goOn = entry.subtree != nullptr ? Deliver(entry.subtree) : visitor_.Visit(entry.key);
        if (!goOn) return false;
        visited += entry.bytes;
        entries.pop_front();
      }
      lock.lock();
      Release(subtree, visited);
    }
    delivering_ = nullptr;
    Forget(subtree);
    return true;
  }

  // With the mutex held: the earliest subtree waiting (the caller needs it
  // soonest) is taken to be read ahead.
  Subtree* Claim() {
    Subtree* subtree = *waiting_.begin();
    waiting_.erase(waiting_.begin());
    waitingCount_ = static_cast<int>(waiting_.size());
    subtree->state = Subtree::State::kReader;
    return subtree;
  }

  // Reads the claimed subtree into its keys read ahead; false once the walk ends.
  bool ReadAheadOf(Subtree* subtree, bool byCaller) {
    if (const KeyRef key = Open(*subtree)) {
      std::vector<int> order = subtree->order;
      ReadAhead sink(*this, subtree, byCaller);
      if (!WalkKey(key, subtree->path, subtree->narrowName, order, sink) || !sink.Flush()) return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    subtree->finished = true;
    if (awaited_ == subtree) Ready();
    return true;
  }

  // With the mutex held: the subtree is delivered.
  void Forget(Subtree* subtree) {
    live_.erase(subtree);
    delete subtree;
  }

  void Work() {
    try {
      for (;;) {
        Subtree* subtree;
        {
          std::unique_lock<std::mutex> lock(mutex_);
          ++idleReaders_;
          workWake_.wait(lock, [&] { return stop_ || !waiting_.empty(); });
          --idleReaders_;
          if (stop_) return;
          subtree = Claim();
        }
        if (!ReadAheadOf(subtree, false)) return;
      }
    } catch (...) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (error_ == nullptr) error_ = std::current_exception();
        stop_ = true;
      }
      WakeAll();
    }
  }

  void WakeAll() {
    workWake_.notify_all();
    roomWake_.notify_all();
    deliveryWake_.notify_all();
  }

  // Ends the readers' work and waits for them.
  void Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    WakeAll();
    for (std::thread& thread : threads_) {
      if (thread.joinable()) thread.join();
    }
  }

  RegistryVisitor& visitor_;
  const int workers_;
  const std::size_t budget_;

  std::mutex mutex_;
  std::condition_variable workWake_;
  std::condition_variable roomWake_;
  std::condition_variable deliveryWake_;
  std::atomic<bool> stop_{false};
  std::exception_ptr error_;
  std::set<Subtree*, EarlierFirst> waiting_;
  std::atomic<int> waitingCount_{0};
  std::unordered_set<Subtree*> live_;
  // The subtree whose keys the visitor gets now, and the one the caller
  // waits for.
  const Subtree* delivering_ = nullptr;
  const Subtree* awaited_ = nullptr;
  std::atomic<bool> awaitedReady_{false};
  bool callerWaits_ = false;
  std::size_t held_ = 0;
  int roomWaiters_ = 0;
  int idleReaders_ = 0;
  std::vector<std::thread> threads_;
};

}  // namespace

void WalkLiveRegistry(RegistryVisitor& visitor, int threads, std::size_t readAheadBytes) {
  Walk(visitor, threads, readAheadBytes).Run();
}

std::string VisitInstallationRegistry(RegistryVisitor& visitor, int threads) {
  // Past a few threads the registry's own locking (and under Wine its one
  // server process) leaves nothing to gain; the search may use up to 64.
  constexpr int kMostThreads = 8;
  WalkLiveRegistry(visitor, threads < kMostThreads ? threads : kMostThreads, kRegistryReadAheadBytes);
  return "the live registry";
}
