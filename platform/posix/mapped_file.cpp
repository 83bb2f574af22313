// POSIX mapping of a whole file: open, fstat, mmap.
//
// A file that shrinks while it is mapped makes the kernel raise SIGBUS on the
// pages past its new end. A process-wide handler, installed once, replaces
// such a page of a mapping that this thread has open by a page of zeros and
// records the fault in that mapping's guard; the interrupted read then
// completes and the owner of the mapping sees Faulted(). A SIGBUS anywhere
// else goes to whatever handler was there before, or kills the process as
// usual.
//
// Unmapping a view whose pages were read makes the kernel drop the address
// translations that every processor may hold for it, and that flush, more
// than the mapping itself, is what a view costs a pass that reads only the
// headers of thousands of files. So views of up to kViewAreaBytes are placed
// one after another in an area of address space reserved once, and a closed
// view stays there until the area is full and no view in it is open; then
// all of them go at once, with one flush. Larger files are mapped and
// unmapped on their own.
#include "platform/mapped_file.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

#include "platform/readable_file.h"

namespace {

constexpr std::uint64_t kViewAreaBytes = 32u << 20;
constexpr int kReservation = MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE;

struct Guard {
  std::uintptr_t begin;
  std::uintptr_t end;
  volatile sig_atomic_t faulted;
  Guard* previous;
};

thread_local Guard* tActiveGuards = nullptr;
struct sigaction gPreviousBusAction;
std::uintptr_t gPageSize = 4096;
std::once_flag gInstallOnce;

void OnBusError(int sig, siginfo_t* info, void* context) {
  const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
  // Only a fault the kernel raised for a read (si_code > 0) can be a lost
  // page; a SIGBUS sent by kill() or raise() never is.
  for (Guard* g = info->si_code > 0 ? tActiveGuards : nullptr; g != nullptr; g = g->previous) {
    if (address < g->begin || address >= g->end) continue;
    void* page = reinterpret_cast<void*>(address & ~(gPageSize - 1));
    if (mmap(page, gPageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) ==
        MAP_FAILED) {
      break;
    }
    g->faulted = 1;
    return;
  }
  if ((gPreviousBusAction.sa_flags & SA_SIGINFO) != 0 && gPreviousBusAction.sa_sigaction) {
    gPreviousBusAction.sa_sigaction(sig, info, context);
    return;
  }
  if (gPreviousBusAction.sa_handler != SIG_DFL && gPreviousBusAction.sa_handler != SIG_IGN) {
    gPreviousBusAction.sa_handler(sig);
    return;
  }
  // Not ours: the default action, as if this handler had never been there.
  signal(sig, SIG_DFL);
  raise(sig);
}

void InstallBusHandler() {
  long page = sysconf(_SC_PAGESIZE);
  if (page > 0) gPageSize = static_cast<std::uintptr_t>(page);
  struct sigaction action = {};
  action.sa_sigaction = OnBusError;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  sigaction(SIGBUS, &action, &gPreviousBusAction);
}

void PushGuard(Guard* g) {
  g->previous = tActiveGuards;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  tActiveGuards = g;
  std::atomic_signal_fence(std::memory_order_seq_cst);
}

void RemoveGuard(Guard* g) {
  for (Guard** link = &tActiveGuards; *link != nullptr; link = &(*link)->previous) {
    if (*link == g) {
      *link = g->previous;
      std::atomic_signal_fence(std::memory_order_seq_cst);
      return;
    }
  }
}

// The area of small views, shared by all threads.
struct ViewArea {
  std::mutex lock;
  std::uint8_t* base = nullptr;
  std::uint64_t used = 0;  // bytes from base taken by views, open or closed
  int open = 0;            // views in the area not closed yet
  bool unusable = false;   // reserving or resetting failed: map elsewhere
};

ViewArea& Area() {
  static ViewArea* area = new ViewArea;  // never destroyed: views may outlive static destruction
  return *area;
}

// Makes the whole area free again, unmapping every closed view in one go.
bool ResetArea(ViewArea& area) {
  if (area.used == 0) return true;
  if (mmap(area.base, area.used, PROT_NONE, kReservation | MAP_FIXED, -1, 0) == MAP_FAILED) {
    area.unusable = true;
    return false;
  }
  area.used = 0;
  return true;
}

// Maps length bytes of the file read-only; *inArea tells where. nullptr
// when it cannot be mapped.
const void* MapView(int fd, std::uint64_t length, bool* inArea) {
  *inArea = false;
  const std::uint64_t rounded = (length + gPageSize - 1) & ~static_cast<std::uint64_t>(gPageSize - 1);
  if (rounded <= kViewAreaBytes) {
    ViewArea& area = Area();
    std::lock_guard<std::mutex> hold(area.lock);
    if (area.base == nullptr && !area.unusable) {
      void* reserved = mmap(nullptr, kViewAreaBytes, PROT_NONE, kReservation, -1, 0);
      if (reserved == MAP_FAILED) {
        area.unusable = true;
      } else {
        area.base = static_cast<std::uint8_t*>(reserved);
      }
    }
    const bool fits = area.used + rounded <= kViewAreaBytes || (area.open == 0 && ResetArea(area));
    if (!area.unusable && fits) {
      std::uint8_t* place = area.base + area.used;
      void* view = mmap(place, length, PROT_READ, MAP_SHARED | MAP_FIXED, fd, 0);
      if (view != MAP_FAILED) {
        area.used += rounded;
        ++area.open;
        *inArea = true;
        return view;
      }
      // A fixed mapping that failed may have taken the reservation away;
      // without it another mapping could land there, so it is restored, or
      // the area is given up.
      if (mmap(place, rounded, PROT_NONE, kReservation | MAP_FIXED, -1, 0) == MAP_FAILED) area.unusable = true;
    }
  }
  void* view = mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
  return view != MAP_FAILED ? view : nullptr;
}

void UnmapView(const void* view, std::uint64_t length, bool inArea) {
  if (!inArea) {
    munmap(const_cast<void*>(view), length);
    return;
  }
  ViewArea& area = Area();
  std::lock_guard<std::mutex> hold(area.lock);
  --area.open;
}

}  // namespace

MappedFile::~MappedFile() { Close(); }

int MappedFile::Open(const char* path) {
  Close();
  // Only regular files are opened: a FIFO would block, a device may react.
  std::intptr_t opened = -1;
  std::uint64_t length = 0;
  if (!OpenReadable(path, &opened, &length)) return kMapCantOpen;
  const int fd = static_cast<int>(opened);
  if (length == 0) {
    close(fd);
    return kMapCantMap;
  }
  std::call_once(gInstallOnce, InstallBusHandler);
  bool inArea = false;
  const void* view = MapView(fd, length, &inArea);
  if (view == nullptr) {
    close(fd);
    return kMapCantMap;
  }
  inViewArea_ = inArea;
  file_ = fd;
  data_ = static_cast<const std::uint8_t*>(view);
  mappedLength_ = length;
  size_ = static_cast<std::uint32_t>(length);
  auto* guard = new Guard{reinterpret_cast<std::uintptr_t>(view),
                          reinterpret_cast<std::uintptr_t>(view) + length, 0, nullptr};
  PushGuard(guard);
  guard_ = guard;
  return 0;
}

bool MappedFile::Faulted() const {
  return guard_ != nullptr && static_cast<Guard*>(guard_)->faulted != 0;
}

void MappedFile::Close() {
  if (guard_ != nullptr) {
    auto* guard = static_cast<Guard*>(guard_);
    RemoveGuard(guard);
    delete guard;
    guard_ = nullptr;
  }
  if (data_ != nullptr) UnmapView(data_, mappedLength_, inViewArea_);
  if (file_ >= 0) close(static_cast<int>(file_));
  data_ = nullptr;
  size_ = 0;
  mappedLength_ = 0;
  inViewArea_ = false;
  file_ = -1;
}
