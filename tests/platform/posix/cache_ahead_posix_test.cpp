// The POSIX reading ahead: a file whose pages the system dropped is in the
// cache afterwards, one already there is not read again, and a FIFO is
// never opened (it would wait for a writer).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include "platform/cache_ahead.h"
#include "tests/builders/scratch_dir.h"

namespace testbuild {
namespace {

bool PageCached(const std::string& path, off_t offset) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  char byte;
  iovec one{&byte, 1};
  const bool cached = fd >= 0 && preadv2(fd, &one, 1, offset, RWF_NOWAIT) == 1;
  if (fd >= 0) close(fd);
  return cached;
}

// Writes the file out and asks the system to drop its pages; false where it
// keeps them (a file system in memory) or cannot tell.
bool DropPages(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  fsync(fd);
  posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  close(fd);
  return !PageCached(path, 0) && !PageCached(path, 300 << 10);
}

TEST(CacheAheadPosixTest, DroppedPagesAreReadInOnceAndFifosNeverOpened) {
  ASSERT_TRUE(CacheAheadAvailable());
  ScratchDir dir;
  const Bytes bytes(1 << 20, 0x5A);
  const std::string path = dir.Write("big.dll", bytes);
  if (!DropPages(path)) GTEST_SKIP() << "the system keeps this file system's pages";
  EXPECT_EQ(CacheFileAhead(path.c_str(), 512 << 10), 512u << 10) << "the limit, from the start";
  EXPECT_TRUE(PageCached(path, 0));
  EXPECT_TRUE(PageCached(path, 300 << 10));
  EXPECT_EQ(CacheFileAhead(path.c_str(), 512 << 10), 0u) << "already in the cache";
  EXPECT_EQ(ReadFile(path), bytes);

  const std::string fifo = dir.Join("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(CacheFileAhead(fifo.c_str(), 1 << 20), 0u);
}

}  // namespace
}  // namespace testbuild
