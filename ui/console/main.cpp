// The console edition of tarnwick: the dialog's flow on a terminal, over a
// Windows installation in a Wine prefix or mounted from a disk (--root).
// Standard output carries the list and nothing else; everything else goes
// to standard error.
#include <getopt.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/format.h"
#include "base/version.h"
#include "config/log.h"
#include "config/settings.h"
#include "platform/installation_root.h"
#include "platform/instance.h"
#include "platform/profile.h"
#include "platform/system_dirs.h"
#include "ui/console/console_view.h"
#include "ui/console/list_output.h"
#include "ui/console/terminal_prompts.h"
#include "ui/dialog_texts.h"
#include "usage/backup.h"
#include "usage/candidates.h"
#include "usage/outcome_texts.h"
#include "usage/process_state.h"
#include "usage/restore.h"
#include "usage/search_run.h"
#include "usage/startup.h"

namespace {

constexpr const char* kUsage =
    "usage: tarnwick [options]\n"
    "       tarnwick --restore [NAME...]\n"
    "Finds the libraries of a Windows installation (a Wine prefix, or with --root a mounted\n"
    "drive C:) that nothing uses, and moves them into the backup directory.\n"
    "\n"
    "  --yes            answer the question whether to start the search with yes\n"
    "  --backup         answer the question whether to back up with yes\n"
    "  --recurse        collect candidates from subdirectories of the library folders\n"
    "  --no-recurse     collect them from the library folders alone\n"
    "  --prefix DIR     the Wine prefix that holds the installation (else $WINEPREFIX, else ~/.wine)\n"
    "  --root DIR       the installation is not a Wine prefix: DIR holds its drive C:\n"
    "                   (a Windows installation mounted from a disk or an image)\n"
    "  --search-dir DIR search this directory, for this run only\n"
    "  --threads N      read files with N threads (1 to 64; else the setting\n"
    "                   \"searchthreads\", else one per processor); the results are the same\n"
    "  --format FORMAT  the list's form: tsv (the default; a tab, line feed or carriage\n"
    "                   return inside a field written as \\t, \\n, \\r) or json (one document\n"
    "                   with every candidate's path, size and fate, and the totals)\n"
    "  --restore        put the backed-up libraries named (all when none is named) back\n"
    "                   where they came from; exit status 1 when one could not be\n"
    "  --help           show this text\n"
    "  --version        show the version\n"
    "\n"
    "The list of candidates goes to standard output, by default one tab-separated line each;\n"
    "with --restore, one line per library: restored, or not restored and why.\n";

struct Options {
  std::optional<bool> search;
  std::optional<bool> backup;
  std::optional<bool> recurse;
  std::string prefix;
  std::string root;
  std::string searchDirectory;
  bool restore = false;
  std::vector<std::string> restoreNames;
  bool json = false;
  int threads = 0;
};

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Absolute(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "tarnwick: %s\n%s", message.c_str(), "Try 'tarnwick --help'.\n");
  return 2;
}

// Returns -1 to go on, or the exit status.
int ParseOptions(int argc, char** argv, Options* options) {
  enum { kYes = 1, kBackup, kRecurse, kNoRecurse, kPrefix, kSearchDir, kHelp, kVersion, kRestore, kFormat, kRoot, kThreads };
  static const option kOptions[] = {
      {"yes", no_argument, nullptr, kYes},          {"backup", no_argument, nullptr, kBackup},
      {"recurse", no_argument, nullptr, kRecurse},  {"no-recurse", no_argument, nullptr, kNoRecurse},
      {"prefix", required_argument, nullptr, kPrefix}, {"search-dir", required_argument, nullptr, kSearchDir},
      {"help", no_argument, nullptr, kHelp},        {"version", no_argument, nullptr, kVersion},
      {"restore", no_argument, nullptr, kRestore},  {"format", required_argument, nullptr, kFormat},
      {"root", required_argument, nullptr, kRoot},  {"threads", required_argument, nullptr, kThreads},
      {nullptr, 0, nullptr, 0},
  };
  opterr = 0;
  for (int option; (option = getopt_long(argc, argv, "", kOptions, nullptr)) != -1;) {
    switch (option) {
      case kYes: options->search = true; break;
      case kBackup: options->backup = true; break;
      case kRecurse: options->recurse = true; break;
      case kNoRecurse: options->recurse = false; break;
      case kPrefix: options->prefix = optarg; break;
      case kRoot: options->root = optarg; break;
      case kSearchDir: options->searchDirectory = optarg; break;
      case kRestore: options->restore = true; break;
      case kFormat:
        if (std::string(optarg) != "tsv" && std::string(optarg) != "json") {
          return UsageError(std::string("unknown list format '") + optarg + "' (tsv or json)");
        }
        options->json = std::string(optarg) == "json";
        break;
      case kThreads: {
        char* end = nullptr;
        const long threads = std::strtol(optarg, &end, 10);
        if (end == optarg || *end != 0 || threads < 1 || threads > 64) {
          return UsageError(std::string("--threads takes a number from 1 to 64, not '") + optarg + "'");
        }
        options->threads = static_cast<int>(threads);
        break;
      }
      case kHelp: std::fputs(kUsage, stdout); return 0;
      case kVersion: std::printf("tarnwick " TARNWICK_VERSION_TEXT " (console edition)\n"); return 0;
      default:
        return UsageError(optopt != 0 || argv[optind - 1] == nullptr
                              ? "unknown or incomplete option"
                              : std::string("unknown or incomplete option '") + argv[optind - 1] + "'");
    }
  }
  if (options->restore) {
    for (int i = optind; i < argc; ++i) options->restoreNames.push_back(argv[i]);
  } else if (optind < argc) {
    return UsageError(std::string("unexpected argument '") + argv[optind] + "'");
  }
  return -1;
}

void SayLines(ConsoleView& view, const std::string& text) {
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    view.Say(text.substr(start, end - start));
  }
}

// The restore: no search and no single-instance test, the settings read
// only for the backup folder; nothing is written back.
int RunRestore(const Options& options) {
  ProcessState state;
  ConsoleView view(stderr, isatty(STDERR_FILENO) != 0, &state);
  TerminalPrompts prompts(stdin, stderr, isatty(STDIN_FILENO) != 0, [&view] { view.FinishStatus(); });
  LogOpen("tarnwick.log");
  ReadSettings(state, prompts);
  state.view = &view;
  const RestoreOutcome outcome = RestoreBackedUpLibraries(state, options.restoreNames);
  view.FinishStatus();
  for (const auto& restored : outcome.restored) {
    std::printf("restored\t%s\t%s\n", restored.first.c_str(), restored.second.c_str());
  }
  for (const auto& kept : outcome.kept) std::printf("not restored\t%s\t%s\n", kept.first.c_str(), kept.second.c_str());
  std::fflush(stdout);
  SayLines(view, RestoreOutcomeText(outcome, kAllNames));
  const int backedUp = CountLibraryFiles(state, state.settings.BackupDir);
  view.Say(FormatString(TARNWICK_BACKUP_COUNT_TEMPLATE, backedUp, state.settings.BackupDir));
  return outcome.ExitStatus();
}

int Run(const Options& options) {
  if (options.restore) return RunRestore(options);
  ProcessState state;
  ConsoleView view(stderr, isatty(STDERR_FILENO) != 0, &state);
  TerminalPrompts prompts(stdin, stderr, isatty(STDIN_FILENO) != 0, [&view] { view.FinishStatus(); });

  LogOpen("tarnwick.log");
  if (StartupInit(state, prompts) == 0) return 0;
  state.searchThreads = options.threads;
  if (options.recurse) state.settings.Recurse = *options.recurse ? 1 : 0;
  if (!options.searchDirectory.empty()) {
    std::snprintf(state.SearchRoot, sizeof state.SearchRoot, "%s", Absolute(options.searchDirectory).c_str());
    state.searchRootOverride = true;
  }
  state.view = &view;

  // What the dialog shows when it opens.
  const std::string banner = FormatString(TARNWICK_BANNER_TEMPLATE, TARNWICK_VERSION_MAJOR, TARNWICK_VERSION_MINOR,
                                    TARNWICK_RELEASE_TAG, kMakerName, TARNWICK_RELEASE_YEAR);
  const std::string marker = PublishRunningInstance(nullptr, banner.c_str());
  ProfileWriteString(kCurrentProcessSection, kClassNameKey, marker.c_str(), kSettingsFile);
  view.ShowStatus("initializing...");
  const int backedUp = CountLibraryFiles(state, state.settings.BackupDir);
  view.ShowStatus("done");
  view.Say(banner);
  view.Say(FormatString(TARNWICK_BACKUP_COUNT_TEMPLATE, backedUp, state.settings.BackupDir));

  // The Search command.
  CollectAndListCandidates(state);
  view.FinishStatus();
  for (const std::string& line : view.lines()) view.Say(line);
  std::vector<std::int64_t> sizes;
  std::optional<BackupOutcome> backup;
  // The registry is read while the user decides, as in the dialog.
  std::unique_ptr<RegistryReading> registry = StartRegistryReading(state);
  if (prompts.Ask("Question", TARNWICK_SEARCH_QUESTION,
                  options.search)) {
    RunSearchPasses(state, std::move(registry));
    view.ShowStatus(SearchDoneText(state).c_str());
    state.SearchRunning = 0;
    view.FinishStatus();
    sizes = CandidateSizes(state);
    if (state.CandidateList.GetCount() >= 1 &&
        prompts.Ask("Backup", ("Backup Found dlls: move the unused libraries into " +
                               std::string(state.settings.BackupDir) + "?").c_str(),
                    options.backup)) {
      backup = BackupFoundLibraries(state);
      view.FinishStatus();
      SayLines(view, BackupOutcomeText(*backup, kAllNames));
    }
  } else {
    sizes = CandidateSizes(state);
  }

  if (options.json) {
    WriteListJson(stdout, state, sizes, backup ? &*backup : nullptr);
  } else {
    WriteListTsv(stdout, state);
  }
  std::fflush(stdout);

  // The Exit command.
  if (state.SearchCompleted == 0) {
    view.Say("Warning: Process was cancelled");
    WithdrawRunningInstance();
    return 0;
  }
  SaveSettings(state.settings);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const int parsed = ParseOptions(argc, argv, &options);
  if (parsed >= 0) return parsed;

  if (!options.root.empty()) {
    if (!options.prefix.empty()) return UsageError("--root and --prefix exclude each other");
    if (!IsDirectory(options.root)) return UsageError("installation folder '" + options.root + "' does not exist");
    SetMountedDriveC(Absolute(options.root));
    if (WindowsDirectory().empty()) {
      return UsageError("no Windows directory (Windows or WINNT) in '" + options.root + "'");
    }
  } else if (!options.prefix.empty()) {
    if (!IsDirectory(options.prefix)) return UsageError("prefix folder '" + options.prefix + "' does not exist");
    setenv("WINEPREFIX", Absolute(options.prefix).c_str(), 1);
  } else if (!IsDirectory(WinePrefix())) {
    return UsageError("no Windows installation at '" + WinePrefix() + "' (set WINEPREFIX or use --prefix)");
  }
  if (!options.searchDirectory.empty() && !IsDirectory(options.searchDirectory)) {
    return UsageError("search folder '" + options.searchDirectory + "' does not exist");
  }
  try {
    return Run(options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tarnwick: %s\n", error.what());
    return 1;
  }
}
