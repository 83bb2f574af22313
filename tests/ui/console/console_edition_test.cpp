// The console edition of tarnwick, run as a program over the sample
// installation: what it lists, logs, moves and writes back, and how it ends.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/instance.h"
#include "samples/sample_installation.h"
#include "tests/builders/scratch_dir.h"
#include "tests/support/test_installation.h"
#include "tests/ui/console/run_program.h"

namespace fs = std::filesystem;

namespace testbuild {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Text(const std::string& path) {
  const Bytes bytes = ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

class ConsoleEditionTest : public ::testing::Test {
 protected:
  ConsoleEditionTest() {
    prefix_ = scratch_.Join("prefix");
    work_ = scratch_.Join("work");
    fs::create_directories(work_);
    samples::WriteSampleInstallation(prefix_, {});
    runtime_ = scratch_.Join("run");
    fs::create_directories(runtime_);
  }

  ProgramRun Run(std::vector<std::string> arguments) {
    return RunProgram(TARNWICK_CONSOLE_EXE, arguments, work_,
                      {{"WINEPREFIX", prefix_}, {"XDG_RUNTIME_DIR", runtime_}});
  }
  std::string Settings() const { return Text(prefix_ + "/drive_c/windows/tarnwick.ini"); }
  std::string Log() const { return Text(work_ + "/tarnwick.log"); }
  std::string Backup() const { return prefix_ + "/backup"; }
  std::string Drive() const { return fs::canonical(prefix_ + "/drive_c").string() + "/"; }

  ScratchDir scratch_;
  std::string prefix_, work_, runtime_;
};

TEST_F(ConsoleEditionTest, SearchAndBackupListTheUsersAndMoveTheUnused) {
  const ProgramRun run = Run({"--yes", "--backup"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  const std::vector<std::string> candidates = samples::SampleCandidates();
  ASSERT_EQ(lines.size(), candidates.size()) << run.out;
  const std::vector<std::string> unused = samples::SampleUnusedCandidates();
  std::vector<std::string> listed;
  for (const std::string& l : lines) {
    const std::string name = l.substr(0, l.find('\t'));
    listed.push_back(name);
    const bool isUnused = std::find(unused.begin(), unused.end(), name) != unused.end();
    const bool sixteen = name == "commdlg.dll" || name == "mmsystem.dll" || name == "toolhelp.dll" ||
                         name == "lzexpand.dll";
    const std::string head = name + "\t" + (sixteen ? "16" : "32") + "\t";
    EXPECT_EQ(l.rfind(head, 0), 0u) << l;
    EXPECT_EQ(l == head + "?", isUnused) << l;
  }
  std::vector<std::string> expected = candidates;
  std::sort(expected.begin(), expected.end());
  std::vector<std::string> sorted32(listed.begin(), listed.end() - 4), sorted16(listed.end() - 4, listed.end());
  EXPECT_TRUE(std::is_sorted(sorted32.begin(), sorted32.end())) << "the 32-bit folder's listing order";
  EXPECT_TRUE(std::is_sorted(sorted16.begin(), sorted16.end()));
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, expected);
  // Listing order is byte order, so the first user of each is known.
  const auto line = [&](const std::string& name) {
    return *std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(name + "\t", 0) == 0; });
  };
  EXPECT_EQ(line("riched20.dll"), "riched20.dll\t32\t" + Drive() + "Program Files/Editor/editor.exe(32-bit exe or dll)");
  EXPECT_EQ(line("msvbvm60.dll"), "msvbvm60.dll\t32\t" + Drive() + "Program Files/Player/player.exe(32-bit exe or dll)");
  EXPECT_EQ(line("zipfldr.dll"), "zipfldr.dll\t32\t" + Drive() + "windows/system32/config/SOFTWARE(NT registry)");
  EXPECT_EQ(line("spool32.dll"), "spool32.dll\t32\t" + Drive() + "windows/SYSTEM.DAT(W95 registry)");
  EXPECT_EQ(line("toolhelp.dll"), "toolhelp.dll\t16\t" + Drive() + "windows/write.exe(16-bit exe or dll)");

  for (const std::string& name : unused) {
    EXPECT_TRUE(fs::exists(Backup() + "/" + name)) << name;
    EXPECT_FALSE(fs::exists(prefix_ + "/drive_c/windows/system32/" + name)) << name;
  }
  EXPECT_NE(run.err.find("Now begin analizing. It may take plenty of time. Do you wish to proceed?"),
            std::string::npos);
  EXPECT_NE(run.err.find("Tarnwick32 Ver. 1.02 beta - Copyright (c) Pelmorin, 1998"), std::string::npos);
  EXPECT_NE(run.err.find("Currently there are 0 dlls are backuped in the " + Backup() + "/ directory."),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("done total 23 files"), std::string::npos);
  EXPECT_NE(run.err.find("5 files backuped"), std::string::npos);

  const std::string log = Log();
  EXPECT_EQ(log.rfind("Log File Opened at  ", 0), 0u);
  EXPECT_NE(log.find("Directory : " + Drive() + "\n"), std::string::npos);
  EXPECT_NE(log.find("Now perfoming the final analysis\n"), std::string::npos);
  EXPECT_NE(log.find("found zipfldr.dll\t32\t"), std::string::npos);
  EXPECT_NE(log.find("Result :\n        28 files searched\n        32 import tables of files searched\n"
                     "        18 found unusable\n        5 really moved\n"),
            std::string::npos)
      << log;

  const std::string settings = Settings();
  EXPECT_NE(settings.find("backupto=Z:" + [&] {
    std::string p = fs::canonical(Backup()).string() + "/";
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
  }()), std::string::npos)
      << settings;
  EXPECT_NE(settings.find("recurse=0"), std::string::npos);
  EXPECT_NE(settings.find("find16b_dlls=1"), std::string::npos);
  EXPECT_EQ(settings.find("classname"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(runtime_)) << "the runtime file goes at a normal end";

  // A second run finds what the first moved in the backup folder.
  const ProgramRun again = Run({"--yes"});
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(Lines(again.out).size(), candidates.size() - unused.size());
  EXPECT_NE(again.err.find("Currently there are 5 dlls are backuped in the "), std::string::npos) << again.err;
  std::size_t headers = 0;
  for (const std::string& l : Lines(Log())) headers += l.rfind("Log File Opened at  ", 0) == 0 ? 1 : 0;
  EXPECT_EQ(headers, 2u) << "the second run appends to the first run's log";
}

// Where each unused sample library lies in the prefix.
std::string Origin(const std::string& prefix, const std::string& name) {
  const bool sixteen = name == "lzexpand.dll";
  return prefix + "/drive_c/windows/" + (sixteen ? "system/" : "system32/") + name;
}

TEST_F(ConsoleEditionTest, LibrariesThatStayAreNamedAndRestoreUndoesTheBackup) {
  const std::vector<std::string> unused = samples::SampleUnusedCandidates();
  ASSERT_GE(unused.size(), 3u);
  fs::create_directories(Backup());
  WriteFile(Backup() + "/" + unused[0], Ascii("an earlier backup", false));
  const ProgramRun backup = Run({"--yes", "--backup"});
  ASSERT_EQ(backup.status, 0) << backup.err;
  EXPECT_NE(backup.err.find("Not moved " + unused[0] + ": name taken in the backup folder\n"), std::string::npos)
      << backup.err;
  EXPECT_NE(backup.err.find(std::to_string(unused.size() - 1) + " files backuped\nNot moved: 1\n  " + unused[0] +
                            ": name taken in the backup folder\n"),
            std::string::npos)
      << backup.err;
  EXPECT_NE(Log().find(": name taken in the backup folder\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(Origin(prefix_, unused[0])));
  // Origins are recorded in Windows form, as the dialog program records them,
  // so either edition restores the other's backup.
  const std::string system32 = unused[1] == "lzexpand.dll" ? "system" : "system32";
  EXPECT_NE(Text(Backup() + "/tarnwick-backup-record.txt")
                .find("\tmoved\tC:\\windows\\" + system32 + "\\" + unused[1] + "\t" + unused[1] + "\n"),
            std::string::npos);

  // One by name, in any case.
  std::string upper = unused[1];
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const ProgramRun one = Run({"--restore", upper});
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(one.out.rfind("restored\t" + unused[1] + "\t", 0), 0u) << one.out;
  EXPECT_EQ(Lines(one.out).size(), 1u);
  EXPECT_TRUE(fs::exists(Origin(prefix_, unused[1])));
  EXPECT_NE(one.err.find("Currently there are " + std::to_string(unused.size() - 1) + " dlls are backuped in the "),
            std::string::npos)
      << "the earlier backup's file and the rest: " << one.err;

  // A file standing at an origin now keeps its place.
  WriteFile(Origin(prefix_, unused[2]), Ascii("installed since", false));
  const ProgramRun rest = Run({"--restore"});
  EXPECT_EQ(rest.status, 1);
  EXPECT_NE(rest.out.find("not restored\t" + unused[2] + "\ta file of that name stands at "), std::string::npos)
      << rest.out;
  EXPECT_EQ(Lines(rest.out).size(), unused.size() - 2) << rest.out;
  EXPECT_EQ(ReadFile(Origin(prefix_, unused[2])), Ascii("installed since", false));
  EXPECT_EQ(ReadFile(Backup() + "/" + unused[0]), Ascii("an earlier backup", false)) << "never in the record";
  EXPECT_NE(Log().find("restored " + unused[3 % unused.size()] + " to "), std::string::npos);

  fs::remove(Origin(prefix_, unused[2]));
  EXPECT_EQ(Run({"--restore"}).status, 0);
  EXPECT_TRUE(fs::exists(Origin(prefix_, unused[2])));
  const ProgramRun again = Run({"--restore"});
  EXPECT_EQ(again.status, 0);
  EXPECT_TRUE(again.out.empty());
  EXPECT_NE(again.err.find("Nothing to restore"), std::string::npos);
  const ProgramRun unknown = Run({"--restore", "nosuch.dll"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_EQ(unknown.out, "not restored\tnosuch.dll\tnot in the backup folder\n");
}

// A backup folder on a tmpfs, another file system than the prefix's: every
// unused library is moved byte for byte, and the restore brings it back.
TEST_F(ConsoleEditionTest, BackupToAnotherFileSystemMovesAndRestoresEveryUnusedLibrary) {
  const fs::path folder = fs::path("/dev/shm") / ("tarnwick-console-" + std::to_string(getpid()));
  if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no tmpfs at /dev/shm";
  fs::remove_all(folder);
  std::string settings = Settings();
  const std::size_t at = settings.find("backupto=");
  ASSERT_NE(at, std::string::npos);
  std::string windowsForm = "Z:" + folder.string();
  std::replace(windowsForm.begin(), windowsForm.end(), '/', '\\');
  settings.replace(at, settings.find("\r\n", at) - at, "backupto=" + windowsForm);
  WriteFile(prefix_ + "/drive_c/windows/tarnwick.ini", Ascii(settings, false));
  const std::vector<std::string> unused = samples::SampleUnusedCandidates();
  std::vector<Bytes> contents;
  for (const std::string& name : unused) contents.push_back(ReadFile(Origin(prefix_, name)));

  const ProgramRun backup = Run({"--yes", "--backup"});
  EXPECT_EQ(backup.status, 0);
  EXPECT_NE(backup.err.find(std::to_string(unused.size()) + " files backuped"), std::string::npos) << backup.err;
  for (std::size_t i = 0; i < unused.size(); ++i) {
    EXPECT_EQ(ReadFile((folder / unused[i]).string()), contents[i]) << unused[i];
    EXPECT_FALSE(fs::exists(Origin(prefix_, unused[i])));
  }
  const ProgramRun restore = Run({"--restore"});
  EXPECT_EQ(restore.status, 0) << restore.err;
  for (std::size_t i = 0; i < unused.size(); ++i) EXPECT_EQ(ReadFile(Origin(prefix_, unused[i])), contents[i]);
  fs::remove_all(folder);
}

TEST_F(ConsoleEditionTest, WithoutAnAnswerTheSearchIsCancelledAndNothingWrittenBack) {
  const std::string before = Settings();
  const ProgramRun run = Run({});
  EXPECT_EQ(run.status, 0);
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), samples::SampleCandidates().size());
  for (const std::string& l : lines) EXPECT_EQ(l.back(), '?') << l;
  EXPECT_NE(run.err.find("Warning: Process was cancelled"), std::string::npos);
  const std::string after = Settings();
  EXPECT_EQ(after.find("recurse="), std::string::npos) << "no write-back";
  EXPECT_NE(after.find("classname=tarnwick-"), std::string::npos) << "the marker stays, as after a crash";
  EXPECT_TRUE(fs::is_empty(runtime_));
  // The stale marker does not stop the next start.
  EXPECT_EQ(Lines(Run({"--yes"}).out).size(), lines.size());
}

TEST_F(ConsoleEditionTest, RunningInstanceEndsThisOneWhateverTheAnswer) {
  TestInstallation redirect;  // sets WINEPREFIX and XDG_RUNTIME_DIR for this process
  setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
  FakeRunningInstance other("Tarnwick32 Ver. 1.02 beta - Copyright (c) Pelmorin, 1998");
  std::string settings = Settings();
  settings += "[currentprocess]\r\nclassname=" + other.marker() + "\r\n";
  WriteFile(prefix_ + "/drive_c/windows/tarnwick.ini", Ascii(settings, false));
  const ProgramRun run = Run({"--yes", "--backup"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find("Warning: Tarnwick is already running, do you wish to activate it's window? No"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(Settings(), settings);
  EXPECT_TRUE(fs::exists(prefix_ + "/drive_c/windows/system32/tapi32.dll")) << "nothing moved";
}

TEST_F(ConsoleEditionTest, OptionsHelpVersionAndUsageErrors) {
  for (const char* option : {"--help", "--version"}) {
    const ProgramRun run = Run({option});
    EXPECT_EQ(run.status, 0);
    EXPECT_FALSE(run.out.empty());
  }
  EXPECT_FALSE(fs::exists(work_ + "/tarnwick.log")) << "--help and --version touch no file";
  EXPECT_EQ(Run({"--frobnicate"}).status, 2);
  EXPECT_EQ(Run({"extra"}).status, 2);
  for (const char* threads : {"0", "65", "two", ""}) EXPECT_EQ(Run({"--threads", threads}).status, 2) << threads;
  const ProgramRun missing = Run({"--prefix", scratch_.Join("no-such-prefix")});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("no-such-prefix"), std::string::npos);
}

TEST_F(ConsoleEditionTest, SearchFolderIsForThisRunOnly) {
  fs::create_directories(work_ + "/only");
  fs::copy_file(prefix_ + "/drive_c/Program Files/Player/player.exe", work_ + "/only/player.exe");
  const ProgramRun run = Run({"--yes", "--search-dir", "only", "--recurse"});
  EXPECT_EQ(run.status, 0);
  // The number of reading threads changes nothing the user sees but the time.
  EXPECT_EQ(Run({"--yes", "--search-dir", "only", "--recurse", "--threads", "7"}).out, run.out);
  const std::vector<std::string> lines = Lines(run.out);
  const auto used = std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.back() != '?'; });
  EXPECT_EQ(used, 4) << run.out;  // kernel32, winmm, shell32 by import, msvbvm60 by name
  EXPECT_NE(Log().find("Directory : " + fs::canonical(work_ + "/only").string() + "\n"), std::string::npos);
  const std::string settings = Settings();
  EXPECT_NE(settings.find("searchdrives=C:\\"), std::string::npos);
  EXPECT_NE(settings.find("recurse=1"), std::string::npos) << "the check box state goes back";
}

// Names with a tab or a line break (legal on POSIX file systems) stay on one
// TSV line, and the JSON document of the same installation agrees with the
// TSV, with the files, and after a backup with what was moved.
TEST_F(ConsoleEditionTest, ListFormatsForScripts) {
  const std::string system32 = prefix_ + "/drive_c/windows/system32/";
  WriteFile(system32 + "tab\there.dll", Bytes(300, 'x'));
  WriteFile(system32 + "line\nbreak\r.dll", Bytes(70, 'y'));
  const std::string folder = prefix_ + "/drive_c/Program Files/A\tB";
  fs::create_directories(folder);
  fs::copy_file(prefix_ + "/drive_c/Program Files/Player/player.exe", folder + "/player.exe");

  const ProgramRun tsv = Run({"--yes", "--format", "tsv"});
  ASSERT_EQ(tsv.status, 0) << tsv.err;
  const std::vector<std::string> lines = Lines(tsv.out);
  EXPECT_EQ(lines.size(), samples::SampleCandidates().size() + 2) << tsv.out;
  EXPECT_NE(std::find(lines.begin(), lines.end(), "tab\\there.dll\t32\t?"), lines.end()) << tsv.out;
  EXPECT_NE(std::find(lines.begin(), lines.end(), "line\\nbreak\\r.dll\t32\t?"), lines.end()) << tsv.out;
  EXPECT_NE(tsv.out.find("msvbvm60.dll\t32\t" + Drive() + "Program Files/A\\tB/player.exe(32-bit exe or dll)\n"),
            std::string::npos)
      << tsv.out;
  EXPECT_EQ(Run({"--yes"}).out, tsv.out) << "tsv is the default";
  WriteFile(scratch_.Join("list.tsv"), Bytes(tsv.out.begin(), tsv.out.end()));

  const auto check = [&](const std::vector<std::string>& arguments, const std::vector<std::string>& extra) {
    const ProgramRun run = Run(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    WriteFile(scratch_.Join("list.json"), Bytes(run.out.begin(), run.out.end()));
    std::vector<std::string> checkArguments = {TARNWICK_CHECK_LIST_JSON, scratch_.Join("list.json"),
                                               scratch_.Join("list.tsv")};
    checkArguments.insert(checkArguments.end(), extra.begin(), extra.end());
    const ProgramRun checked = RunProgram("/usr/bin/python3", checkArguments, work_);
    EXPECT_EQ(checked.status, 0) << checked.out << checked.err << run.out;
    return run.out;
  };
  check({"--yes", "--format", "json"}, {});
  const std::string afterBackup = check({"--yes", "--backup", "--format", "json"}, {Backup()});
  EXPECT_NE(afterBackup.find("\"moved\": 5,"), std::string::npos) << afterBackup;
  EXPECT_NE(afterBackup.find("\"kept\": 2,"), std::string::npos) << "names the backup record cannot hold stay";

  const ProgramRun wrong = Run({"--format", "xml"});
  EXPECT_EQ(wrong.status, 2);
  EXPECT_NE(wrong.err.find("xml"), std::string::npos);
}

// A Windows installation mounted from a disk: no Wine prefix, no dosdevices,
// the folders in mixed case. --root finds the Windows and system folders
// case-blind, reads and writes the settings there in Windows form, and
// searches, lists and backs up as over a prefix.
TEST_F(ConsoleEditionTest, MountedInstallationIsSearchedWithRoot) {
  const std::string mounted = scratch_.Join("mnt");
  fs::rename(prefix_ + "/drive_c", mounted);
  fs::rename(mounted + "/windows", mounted + "/WinDows");
  fs::rename(mounted + "/WinDows/system32", mounted + "/WinDows/sYsTem32");
  fs::rename(mounted + "/WinDows/system", mounted + "/WinDows/SYSTEM");
  fs::remove(mounted + "/WinDows/tarnwick.ini");  // a real installation has none
  const auto runRoot = [&](std::vector<std::string> arguments) {
    return RunProgram(TARNWICK_CONSOLE_EXE, arguments, work_,
                      {{"WINEPREFIX", scratch_.Join("no-prefix")}, {"XDG_RUNTIME_DIR", runtime_}});
  };

  const ProgramRun run = runRoot({"--root", mounted, "--yes", "--backup"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  EXPECT_EQ(lines.size(), samples::SampleCandidates().size()) << run.out;
  const std::string drive = fs::canonical(mounted).string() + "/";
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "riched20.dll\t32\t" + drive + "Program Files/Editor/editor.exe(32-bit exe or dll)"),
            lines.end())
      << run.out;
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "toolhelp.dll\t16\t" + drive + "WinDows/write.exe(16-bit exe or dll)"),
            lines.end())
      << "the 16-bit folder SYSTEM found case-blind\n" << run.out;
  for (const std::string& name : samples::SampleUnusedCandidates()) {
    EXPECT_TRUE(fs::exists(work_ + "/BACKUP/" + name)) << name;
  }
  EXPECT_NE(Log().find("Registry : no registry files (a mounted installation)"), std::string::npos) << Log();

  EXPECT_NE(Text(mounted + "/WinDows/tarnwick.ini").find("backupto=Z:\\"), std::string::npos)
      << "the settings file in the Windows folder; a folder outside the root through Z:";
  EXPECT_FALSE(fs::exists(scratch_.Join("no-prefix"))) << "nothing made in a Wine prefix";

  // Windows-form settings are translated against the root, case-blind, and
  // written back in Windows form.
  fs::create_directories(mounted + "/BACKUP");
  const std::string ini =
      "[options]\r\nbackupto=C:\\backup\r\n32bitdllpath=C:\\windows\\system32\r\n"
      "searchdrives=C:\\Program Files\\Editor\r\n";
  WriteFile(mounted + "/WinDows/tarnwick.ini", Bytes(ini.begin(), ini.end()));
  const ProgramRun again = runRoot({"--root", mounted, "--yes"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.err.find("backuped in the " + drive + "BACKUP/ directory"), std::string::npos) << again.err;
  EXPECT_NE(again.out.find("riched20.dll\t32\t" + drive + "Program Files/Editor/editor.exe"), std::string::npos)
      << again.out;
  const std::string settings = Text(mounted + "/WinDows/tarnwick.ini");
  EXPECT_NE(settings.find("backupto=C:\\BACKUP\\"), std::string::npos) << settings;
  EXPECT_EQ(Lines(again.out).size(), samples::SampleCandidates().size() - samples::SampleUnusedCandidates().size())
      << "the library folders found through C:\\windows\\system32 and the default SYSTEM\n" << again.out;

  fs::create_directories(scratch_.Join("empty"));
  const ProgramRun none = runRoot({"--root", scratch_.Join("empty"), "--yes"});
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("no Windows directory (Windows or WINNT)"), std::string::npos) << none.err;
  EXPECT_TRUE(none.out.empty());
  EXPECT_EQ(runRoot({"--root", mounted, "--prefix", prefix_}).status, 2);

  // A Windows 9x layout: no System32, so both library folders are SYSTEM and
  // each library is listed twice; it is moved once, reported once and its
  // bytes counted once.
  const std::string nineX = scratch_.Join("9x");
  fs::create_directories(nineX + "/WINDOWS/SYSTEM");
  WriteFile(nineX + "/WINDOWS/SYSTEM/old9x.dll", Bytes(300, 'a'));
  const ProgramRun both = runRoot({"--root", nineX, "--yes", "--backup", "--format", "json"});
  ASSERT_EQ(both.status, 0) << both.err;
  EXPECT_NE(both.out.find("\"candidates\": 2, \"used\": 0, \"unused\": 2, \"unusedBytes\": 300"), std::string::npos)
      << both.out;
  EXPECT_NE(both.out.find("\"moved\": 1, \"movedBytes\": 300, \"kept\": 0"), std::string::npos) << both.out;
  EXPECT_EQ(both.err.find("Not moved"), std::string::npos) << both.err;
}

}  // namespace
}  // namespace testbuild
