#include "bench/external_tools.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>

extern char** environ;

namespace {

// Runs the program with its output thrown away; true when it exited with
// one of the accepted statuses.
bool Run(const std::vector<std::string>& arguments, std::initializer_list<int> accepted) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return false;
  for (int ok : accepted) {
    if (WEXITSTATUS(status) == ok) return true;
  }
  return false;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

bool ProgramAvailable(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string directories = path;
  for (std::size_t start = 0; start <= directories.size();) {
    const std::size_t end = std::min(directories.find(':', start), directories.size());
    const std::string candidate = directories.substr(start, end - start) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

double TimeRipgrep(const std::string& root, const std::vector<std::string>& names, const std::string& patternFile) {
  {
    std::ofstream patterns(patternFile, std::ios::binary | std::ios::trunc);
    for (const std::string& name : names) {
      patterns << name << '\n';
      for (char c : name) patterns << c << '\0';
      patterns << '\n';
    }
  }
  const auto start = std::chrono::steady_clock::now();
  // Status 1 means nothing matched, which is no failure here.
  const bool ran = Run({"rg", "-j1", "-uuu", "-a", "-i", "-F", "--count-matches", "-f", patternFile, root}, {0, 1});
  const double seconds = SecondsSince(start);
  return ran ? seconds : -1;
}

double TimeObjdumpPerFile(const std::string& objdump, const std::vector<std::string>& files) {
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& file : files) {
    // objdump gives status 1 for files it does not recognise; those are
    // part of the work all the same.
    if (!Run({objdump, "-p", file}, {0, 1})) return -1;
  }
  return SecondsSince(start);
}
