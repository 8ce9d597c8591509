// Stories of the report file that need what POSIX alone has: signals,
// owners and set-user-ID.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "report/report_file.h"
#include "tool_run.h"
#include "tools/log_generator.h"

namespace sessionstats {
namespace {

namespace fs = std::filesystem;
using testing::namesIn;
using testing::readFile;
using testing::runScript;
using testing::runTool;
using testing::TempDir;
using testing::ToolRun;
using testing::writeFile;

// The run is started without a shell, which would start it with SIGINT
// ignored, and interrupted once its temporary file is there.
TEST(ReportFile, InterruptDuringAWriteLeavesOnlyTheOldReport) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt",
            generateLog({.lines = 400'000, .opponents = 100, .seed = 3}));
  writeFile(dir / "r.csv", "old report");
  const std::string folder = dir.path().string();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::chdir(folder.c_str()) != 0) ::_exit(126);
    ::execl(SESSION_STATS_BINARY, SESSION_STATS_BINARY, "-p",
            kGeneratedLocalPlayer, "--format=csv", "-o", "r.csv", nullptr);
    ::_exit(127);
  }
  bool sent = false;
  int status = 0;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (!sent && namesIn(dir.path()).size() > 2) {
      ::kill(child, SIGINT);
      sent = true;
    }
  }
  ASSERT_TRUE(sent) << "the run ended before its temporary file was seen";
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
  EXPECT_EQ(namesIn(dir.path()),
            (std::vector<std::string>{"r.csv", "sessionlog.txt"}));
  EXPECT_EQ(readFile(dir / "r.csv"), "old report");
}

// The calls that put files on the disk, in order, traced: the new report's
// data before its rename and the folder after it; a report through standard
// output, none.
TEST(ReportFile, ReplacedReportIsOnTheDiskBeforeAndAfterItsRename) {
  TempDir dir;
  if (testing::shellStatus("strace -o /dev/null true 2>/dev/null") != 0) {
    GTEST_SKIP() << "strace is missing or may not trace";
  }
  writeFile(dir / "sessionlog.txt", generateLog({.lines = 200, .seed = 5}));
  const auto traced = [&dir](const std::string& output) {
    // LeakSanitizer cannot run under ptrace: an ASan build leaves it out.
    const ToolRun run = runScript(
        dir,
        "ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" "
        "strace -f -qq -e trace=fsync,fdatasync,rename,renameat,"
        "renameat2 -o trace.txt \"$SESSION_STATS\" -p " +
            std::string(kGeneratedLocalPlayer) + " -o " + output +
            " >/dev/null");
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> calls;
    std::istringstream trace(readFile(dir / "trace.txt"));
    // "PID call(arguments) = result", the PID padded.
    for (std::string pid, call, rest;
         trace >> pid >> call && std::getline(trace, rest);) {
      const std::string name = call.substr(0, call.find('('));
      calls.push_back(name.starts_with("rename") ? "rename" : name);
    }
    return calls;
  };
  EXPECT_EQ(traced("r.txt"),
            (std::vector<std::string>{"fdatasync", "rename", "fsync"}));
  EXPECT_EQ(traced("/dev/stdout"), std::vector<std::string>{});
}

struct stat statusOf(const fs::path& file) {
  struct stat status {};
  EXPECT_EQ(::lstat(file.c_str(), &status), 0) << file;
  return status;
}

constexpr mode_t kSetUidMode = S_ISUID | 0755;
constexpr uid_t kNobody = 65534;

// Root keeps another user's report his, set-user-ID and all; another user
// who replaces root's set-user-ID report gets a file of his own without it.
TEST(ReportFile, SetUserIdIsKeptOnlyForTheSameOwner) {
  if (!testing::runsAsRoot()) GTEST_SKIP() << "needs root";
  TempDir dir;
  writeFile(
      dir / "sessionlog.txt",
      readFile(fs::path(SESSION_STATS_SOURCE_DIR) / "examples/sessionlog.txt"));
  const fs::path report = dir / "report.txt";
  writeFile(report, "old");
  ASSERT_EQ(::chown(report.c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(::chmod(report.c_str(), kSetUidMode), 0);
  ASSERT_EQ(
      runTool(dir, std::nullopt, {"-p", "Kestrel", "-o", "report.txt"}).status,
      0);
  struct stat made = statusOf(report);
  EXPECT_EQ(made.st_uid, kNobody);
  EXPECT_EQ(made.st_gid, kNobody);
  EXPECT_EQ(made.st_mode & 07777, kSetUidMode);
  EXPECT_EQ(readFile(report),
            readFile(fs::path(SESSION_STATS_SOURCE_DIR) /
                     "tests/golden/example_kestrel.expected"));

  if (std::system("command -v setpriv > /dev/null") != 0) {
    GTEST_SKIP() << "setpriv is needed to run as another user";
  }
  ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
  // Root's report, root's in the other user's group (another owner alone
  // loses the bits), and the other user's own report, which keeps them.
  using OldReport = std::tuple<uid_t, gid_t, mode_t>;
  for (const auto& [owner, group, mode] :
       {OldReport{0, 0, 0755}, OldReport{0, kNobody, 0755},
        OldReport{kNobody, kNobody, 06755}}) {
    ASSERT_EQ(::chown(report.c_str(), owner, group), 0);
    ASSERT_EQ(::chmod(report.c_str(), kSetUidMode | S_ISGID), 0);
    ASSERT_EQ(
        runScript(dir,
                  "setpriv --reuid=65534 --regid=65534 "
                  "--clear-groups \"$SESSION_STATS\" -p Moth -o report.txt")
            .status,
        0);
    made = statusOf(report);
    EXPECT_EQ(made.st_uid, kNobody);
    EXPECT_EQ(made.st_mode & 07777, mode) << owner << ":" << group;
  }
}

// A drop folder (mode 0333) takes a report that its writer cannot list
// afterwards: the renamed report is no failure.
TEST(ReportFile, ReportIntoAFolderThatCannotBeReadIsWritten) {
  if (!testing::runsAsRoot() ||
      std::system("command -v setpriv > /dev/null") != 0) {
    GTEST_SKIP() << "needs root and setpriv to run as another user";
  }
  TempDir dir;
  writeFile(
      dir / "sessionlog.txt",
      readFile(fs::path(SESSION_STATS_SOURCE_DIR) / "examples/sessionlog.txt"));
  fs::create_directory(dir / "drop");
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  ASSERT_EQ(::chmod((dir / "drop").c_str(), 0333), 0);
  const ToolRun run = runScript(dir,
                                "setpriv --reuid=65534 --regid=65534 "
                                "--clear-groups \"$SESSION_STATS\" -p Kestrel "
                                "-o drop/report.txt");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(readFile(dir / "drop/report.txt"),
            readFile(fs::path(SESSION_STATS_SOURCE_DIR) /
                     "tests/golden/example_kestrel.expected"));
}

// With standard input closed, the temporary report gets descriptor 0.
TEST(ReportFile, ReportWithStandardInputClosedIsWritten) {
  TempDir dir;
  writeFile(
      dir / "sessionlog.txt",
      readFile(fs::path(SESSION_STATS_SOURCE_DIR) / "examples/sessionlog.txt"));
  const ToolRun run = runScript(dir, "\"$SESSION_STATS\" -p Kestrel <&-");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(readFile(dir / "session_stats.txt"),
            readFile(fs::path(SESSION_STATS_SOURCE_DIR) /
                     "tests/golden/example_kestrel.expected"));
}

}  // namespace
}  // namespace sessionstats
