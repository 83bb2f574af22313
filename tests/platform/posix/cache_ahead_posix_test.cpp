// The POSIX reading ahead: a file whose pages the system dropped is in the
// cache afterwards (a large one when the call returns), a large one already
// there is not read again, and a FIFO is never opened (it would wait for a
// writer).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/cache_ahead.h"
#include "tests/builders/scratch_dir.h"

namespace testbuild {
namespace {

// Asked through a mapping that is never touched: a read that may not wait,
// the other way to ask, starts reading the page in when it is not there.
bool PageCached(const std::string& path, off_t offset) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const long page = sysconf(_SC_PAGESIZE);
  const off_t start = offset / page * page;
  void* view = mmap(nullptr, static_cast<std::size_t>(page), PROT_READ, MAP_SHARED, fd, start);
  close(fd);
  if (view == MAP_FAILED) return false;
  unsigned char state = 0;
  const bool cached = mincore(view, static_cast<std::size_t>(page), &state) == 0 && (state & 1) != 0;
  munmap(view, static_cast<std::size_t>(page));
  return cached;
}

// Writes the file out and asks the system to drop its pages; false where it
// keeps them (a file system in memory) or cannot tell.
bool DropPages(const std::string& path, off_t last) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  fsync(fd);
  posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  close(fd);
  return !PageCached(path, 0) && !PageCached(path, last);
}

// A small file is only asked for; the system reads it meanwhile.
bool CachedWithin(const std::string& path, off_t offset, std::chrono::seconds bound) {
  const auto until = std::chrono::steady_clock::now() + bound;
  while (!PageCached(path, offset)) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

TEST(CacheAheadPosixTest, DroppedPagesAreReadInAndFifosNeverOpened) {
  ASSERT_TRUE(CacheAheadAvailable());
  ScratchDir dir;
  const Bytes large(3 << 20, 0x5A);
  const std::string path = dir.Write("big.dll", large);
  if (!DropPages(path, (2 << 20) - 1)) GTEST_SKIP() << "the system keeps this file system's pages";
  EXPECT_EQ(CacheFileAhead(path.c_str(), 2 << 20), 2u << 20) << "the limit, from the start";
  EXPECT_TRUE(PageCached(path, 0));
  EXPECT_TRUE(PageCached(path, (2 << 20) - 1));
  EXPECT_EQ(CacheFileAhead(path.c_str(), 2 << 20), 0u) << "already in the cache";
  EXPECT_EQ(ReadFile(path), large);

  const Bytes small(300 << 10, 0xA5);
  const std::string smallPath = dir.Write("small.dll", small);
  ASSERT_TRUE(DropPages(smallPath, (300 << 10) - 1));
  EXPECT_EQ(CacheFileAhead(smallPath.c_str(), 2 << 20), small.size());
  EXPECT_TRUE(CachedWithin(smallPath, (300 << 10) - 1, std::chrono::seconds(10)));
  EXPECT_EQ(ReadFile(smallPath), small);

  const std::string fifo = dir.Join("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(CacheFileAhead(fifo.c_str(), 1 << 20), 0u);
}

}  // namespace
}  // namespace testbuild
