// The tool on Windows, run as a player runs it: through Wine in the cross
// build's tests. Built for Windows only.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tool_run.h"

namespace sessionstats {
namespace {

namespace fs = std::filesystem;
using testing::namesIn;
using testing::readFile;
using testing::runTool;
using testing::TempDir;
using testing::ToolRun;
using testing::writeFile;

constexpr char kHeldOpen[] =
    "session-stats: could not write session_stats.txt: another program has "
    "it open; close it and run again\n";

std::string sourceFile(std::string_view relative) {
  return readFile(fs::path(SESSION_STATS_SOURCE_DIR) / relative);
}

std::string exampleLogIn(const TempDir& dir) {
  const std::string log = sourceFile("examples/sessionlog.txt");
  writeFile(dir / "sessionlog.txt", log);
  return log;
}

// Holds `file` open as an editor or a stream overlay does: others may read
// and write it, but not delete it or rename over it.
class HeldOpen {
 public:
  explicit HeldOpen(const fs::path& file)
      : handle_(CreateFileW(file.wstring().c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldOpen() { release(); }
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;

  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }
  void release() {
    if (held()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

TEST(WindowsEndToEnd, ExampleLogGivesTheSameBytesAsOnLinuxInEveryFormat) {
  TempDir dir;
  exampleLogIn(dir);
  struct Format {
    const char* option;
    const char* file;
    const char* golden;  // nullptr: written to the file as to standard output
  };
  const Format formats[] = {
      {"--format=text", "session_stats.txt",
       "tests/golden/example_kestrel.expected"},
      {"--format=csv", "session_stats.csv", "tests/golden/example_kestrel.csv"},
      {"--format=json", "session_stats.json",
       "tests/golden/example_kestrel.json"},
      {"--format=html", "session_stats.html", nullptr},
  };
  for (const Format& format : formats) {
    SCOPED_TRACE(format.option);
    const ToolRun toFile = runTool(dir, "Kestrel\n", {format.option});
    EXPECT_EQ(toFile.status, 0);
    const ToolRun toOut =
        runTool(dir, std::nullopt, {format.option, "-p", "Kestrel", "-o", "-"});
    EXPECT_EQ(toOut.status, 0);
    EXPECT_EQ(toOut.err, "");
    const std::string written = readFile(dir / format.file);
    EXPECT_TRUE(toOut.out == written);  // binary: no CR before CR LF
    if (format.golden != nullptr) {
      EXPECT_TRUE(written == sourceFile(format.golden));
    } else {
      EXPECT_EQ(written.find("\r\r"), std::string::npos);
      EXPECT_EQ(written.substr(0, 15), "<!DOCTYPE html>");
    }
  }
  // The list is data too; messages end their lines as Windows text does.
  const ToolRun list = runTool(dir, std::nullopt, {"--list"});
  EXPECT_EQ(list.out, sourceFile("tests/golden/example_list.txt"));
  const ToolRun missing = runTool(dir, "Kestrel\n", {"-l", "gone.txt"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "Could not find gone.txt\r\n");
}

TEST(WindowsEndToEnd, ReportHeldOpenIsRetriedThenRefusedKeepingTheOldOne) {
  TempDir dir;
  exampleLogIn(dir);
  const fs::path report = dir / "session_stats.txt";
  writeFile(report, "old report");
  {
    const HeldOpen editor(report);
    ASSERT_TRUE(editor.held());
    const auto start = std::chrono::steady_clock::now();
    const ToolRun run = runTool(dir, "Kestrel\n");
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, kHeldOpen);
    EXPECT_GE(waited, std::chrono::milliseconds(500));  // it did retry
  }
  EXPECT_EQ(readFile(report), "old report");
  EXPECT_EQ(namesIn(dir.path()),
            (std::vector<std::string>{"session_stats.txt", "sessionlog.txt"}));

  // Let go while the tool retries: the report is replaced.
  HeldOpen overlay(report);
  ASSERT_TRUE(overlay.held());
  std::thread letGo([&overlay] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    overlay.release();
  });
  const ToolRun run = runTool(dir, "Kestrel\n");
  letGo.join();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(readFile(report) ==
              sourceFile("tests/golden/example_kestrel.expected"));
}

TEST(WindowsEndToEnd, ReadOnlyReportIsRefusedWithItsReason) {
  TempDir dir;
  exampleLogIn(dir);
  const fs::path report = dir / "session_stats.txt";
  writeFile(report, "old report");
  ASSERT_TRUE(
      SetFileAttributesW(report.wstring().c_str(), FILE_ATTRIBUTE_READONLY));
  const ToolRun run = runTool(dir, "Kestrel\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "session-stats: could not write session_stats.txt: the file is "
            "read-only\n");
  SetFileAttributesW(report.wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(readFile(report), "old report");
  EXPECT_EQ(namesIn(dir.path()),
            (std::vector<std::string>{"session_stats.txt", "sessionlog.txt"}));
}

// A report onto the file that standard output goes to is written through
// that stream, after the prompt: runTool's standard output is the file
// ".stdout" beside the tool's folder.
TEST(WindowsEndToEnd, ReportOntoStandardOutputGoesThroughIt) {
  TempDir dir;
  exampleLogIn(dir);
  const ToolRun run =
      runTool(dir, "Kestrel\n", {"-o", dir.path().string() + ".stdout"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string report =
      sourceFile("tests/golden/example_kestrel.expected");
  ASSERT_GT(run.out.size(), report.size());
  EXPECT_EQ(run.out.substr(run.out.size() - report.size()), report);
  EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"sessionlog.txt"});
}

TEST(WindowsEndToEnd, NamesAndFoldersInUtf8) {
  TempDir dir;
  const std::string zoe = "Zo\u00eb";
  const std::string folder = "Sitzung \u00f6/\u65e5\u672c";
  fs::create_directories(dir.path() /
                         fs::path(u8"Sitzung \u00f6/\u65e5\u672c"));
  const std::string log =
      "Session start. Players: " + zoe +
      " vs \u540d\u524d\n"
      "Player 1 wins match 2-1 : Sion vs Ciel (61 seconds)\n";
  writeFile(dir.path() / fs::path(u8"Sitzung \u00f6/\u65e5\u672c/log.txt"),
            log);
  const std::string report = folder + "/" + zoe + ".txt";
  const ToolRun named = runTool(
      dir, std::nullopt, {"-l", folder + "/log.txt", "-o", report, "-p", zoe});
  EXPECT_EQ(named.status, 0) << named.err;
  const std::string bytes = readFile(
      dir.path() / fs::path(u8"Sitzung \u00f6/\u65e5\u672c/Zo\u00eb.txt"));
  EXPECT_NE(bytes.find("Stats for: " + zoe + "\r\n"), std::string::npos);

  // The answer to the prompt, from a pipe, and the list.
  const ToolRun prompted =
      runTool(dir, "\u540d\u524d\r\n", {"-l", folder + "/log.txt", "-o", "-"});
  EXPECT_EQ(prompted.status, 0) << prompted.err;
  EXPECT_NE(prompted.out.find("Stats for: \u540d\u524d\r\n"),
            std::string::npos);
  const ToolRun list =
      runTool(dir, std::nullopt, {"--list", "-l", folder + "/log.txt"});
  EXPECT_NE(list.out.find(zoe), std::string::npos);
}

TEST(WindowsEndToEnd, NameWithBlanksIsHintedAsCmdExeQuotesIt) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt",
            "Session start. Players: Ana Lee vs Moth\n"
            "Player 1 wins match 2-0 : Sion vs Ciel (50 seconds)\n");
  const ToolRun run = runTool(dir, "Ana Lee\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("a name with blanks is given with -p: -p "
                         "\"Ana Lee\"\n"),
            std::string::npos)
      << run.err;
}

}  // namespace
}  // namespace sessionstats
