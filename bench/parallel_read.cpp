// parallel_read: the floor of a search that reads every file of a tree once
// with several readers: N threads take the files from one shared list and
// count one rare byte value over all of each file's bytes, through a
// read-only mapping or with pread in 1 MiB chunks.
//
//   parallel_read [-j THREADS] [-m mmap|pread] TREE
//
// THREADS defaults to the number of cores. Walks the tree as the one-thread
// memchr floor does (symbolic links and directories named .* left out).
// Prints the files, bytes and seconds on standard error. Exit status 1 when
// a file could not be read (each named), 2 on bad arguments.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/tree_files.h"

namespace {

constexpr int kRareByte = 0xF4;
constexpr std::size_t kChunk = 1 << 20;

std::size_t Count(const unsigned char* bytes, std::size_t size) {
  std::size_t hits = 0;
  const unsigned char* end = bytes + size;
  while (const void* hit = std::memchr(bytes, kRareByte, static_cast<std::size_t>(end - bytes))) {
    ++hits;
    bytes = static_cast<const unsigned char*>(hit) + 1;
  }
  return hits;
}

struct Shared {
  const Tree* tree = nullptr;
  bool mapped = true;
  std::atomic<std::size_t> next{0};
  std::atomic<std::uint64_t> bytes{0};
  std::atomic<std::size_t> hits{0};
  std::mutex failuresLock;
  std::vector<std::string> failures;

  void Fail(const std::string& path, const char* what) {
    const std::string text = path + ": " + what + ": " + std::strerror(errno);
    std::lock_guard<std::mutex> hold(failuresLock);
    failures.push_back(text);
  }
};

// Reads one file whole; false (with the failure noted) when it could not.
bool ReadFile(const TreeFile& file, Shared& shared, std::vector<unsigned char>& buffer) {
  const int fd = open(file.path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    shared.Fail(file.path, "open");
    return false;
  }
  std::uint64_t done = 0;
  std::size_t hits = 0;
  bool ok = true;
  if (shared.mapped) {
    if (file.size > 0) {
      void* view = mmap(nullptr, file.size, PROT_READ, MAP_PRIVATE, fd, 0);
      if (view == MAP_FAILED) {
        shared.Fail(file.path, "mmap");
        ok = false;
      } else {
        hits = Count(static_cast<const unsigned char*>(view), file.size);
        done = file.size;
        munmap(view, file.size);
      }
    }
  } else {
    // Bounded by the size listed: a file that grows meanwhile is read no further.
    while (done < file.size) {
      const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, file.size - done));
      const ssize_t got = pread(fd, buffer.data(), want, static_cast<off_t>(done));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        shared.Fail(file.path, "pread");
        ok = false;
        break;
      }
      if (got == 0) break;  // shrank meanwhile
      hits += Count(buffer.data(), static_cast<std::size_t>(got));
      done += static_cast<std::uint64_t>(got);
    }
  }
  close(fd);
  shared.bytes += done;
  shared.hits += hits;
  return ok;
}

void Reader(Shared& shared) {
  std::vector<unsigned char> buffer(shared.mapped ? 0 : kChunk);
  for (std::size_t i = shared.next++; i < shared.tree->files.size(); i = shared.next++) {
    ReadFile(shared.tree->files[i], shared, buffer);
  }
}

int Usage(const char* why) {
  if (why != nullptr) std::fprintf(stderr, "parallel_read: %s\n", why);
  std::fprintf(stderr, "usage: parallel_read [-j THREADS] [-m mmap|pread] TREE\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  long threads = sysconf(_SC_NPROCESSORS_ONLN);
  std::string mode = "mmap";
  int option;
  while ((option = getopt(argc, argv, "j:m:")) != -1) {
    if (option == 'j') {
      char* end = nullptr;
      errno = 0;
      threads = std::strtol(optarg, &end, 10);
      if (errno != 0 || end == optarg || *end != '\0' || threads < 1 || threads > 1024) {
        return Usage("THREADS must be a number from 1 to 1024");
      }
    } else if (option == 'm') {
      mode = optarg;
      if (mode != "mmap" && mode != "pread") return Usage("the mode is mmap or pread");
    } else {
      return Usage(nullptr);
    }
  }
  if (argc - optind != 1) return Usage(nullptr);
  if (threads < 1) threads = 1;

  const auto start = std::chrono::steady_clock::now();
  Tree tree;
  std::string error;
  if (!ListTree(argv[optind], true, &tree, &error)) {
    std::fprintf(stderr, "parallel_read: %s\n", error.c_str());
    return 2;
  }
  Shared shared;
  shared.tree = &tree;
  shared.mapped = mode == "mmap";
  std::vector<std::thread> readers;
  for (long i = 0; i < threads; ++i) readers.emplace_back(Reader, std::ref(shared));
  for (std::thread& reader : readers) reader.join();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  for (const std::string& failure : shared.failures) std::fprintf(stderr, "parallel_read: %s\n", failure.c_str());
  std::fprintf(stderr, "parallel_read-%s threads=%ld files=%zu bytes=%llu hits=%zu total=%.3fs GB/s=%.2f\n",
               mode.c_str(), threads, tree.files.size(), static_cast<unsigned long long>(shared.bytes.load()),
               shared.hits.load(), seconds, static_cast<double>(shared.bytes.load()) / 1e9 / seconds);
  return shared.failures.empty() && tree.unlistable == 0 ? 0 : 1;
}
