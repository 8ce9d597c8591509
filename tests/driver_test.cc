#include "app/driver.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "tool_run.h"

namespace sessionstats {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::runTool;
using testing::TempDir;
using testing::writeFile;

constexpr char kPrompt[] = "Generate session_stats.txt for who: ";

TEST(Driver, MissingOrUnreadableLogIsOneLineAndNothingElse) {
  TempDir missing;
  TempDir directory;
  fs::create_directory(directory / "sessionlog.txt");
  for (const TempDir* dir : {&missing, &directory}) {
    const auto run = runTool(*dir, "Alpha\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Could not find sessionlog.txt\n");
    EXPECT_EQ(run.err, "");
    EXPECT_FALSE(fs::exists(*dir / "session_stats.txt"));
  }
}

TEST(Driver, EmptyLogStillPromptsAndAnyWordCreatesAnEmptyReport) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", "");
  writeFile(dir / "session_stats.txt", "old report");
  const auto run = runTool(dir, " \t\r\n\v\f Nobody and more\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kPrompt);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(readFile(dir / "session_stats.txt"), "");
}

TEST(Driver, EndOfInputAtThePromptLeavesTheReportUntouched) {
  for (std::optional<std::string_view> console :
       {std::optional<std::string_view>{},
        std::optional<std::string_view>{" \n\t\n"}}) {
    TempDir dir;
    writeFile(dir / "sessionlog.txt", "Session results\n");
    writeFile(dir / "session_stats.txt", "old report");
    const auto run = runTool(dir, console);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kPrompt);
    EXPECT_EQ(readFile(dir / "session_stats.txt"), "old report");
  }
}

TEST(Driver, ReportThatCannotBeCreatedIsAnError) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", "");
  fs::create_directory(dir / "session_stats.txt");
  const auto run = runTool(dir, "Alpha");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kPrompt);
  EXPECT_EQ(run.err,
            "session-stats: could not write session_stats.txt: Is a "
            "directory\n");
}

// Replaces every LF of `text` with CR LF.
std::string withCrLf(std::string_view text) {
  std::string out;
  for (char byte : text) {
    if (byte == '\n') out += '\r';
    out += byte;
  }
  return out;
}

std::string sourceFile(std::string_view relative) {
  return readFile(fs::path(SESSION_STATS_SOURCE_DIR) / relative);
}

TEST(Driver, ExampleLogGivesTheCheckedInReport) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  const auto run = runTool(dir, "Kestrel\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kPrompt);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(readFile(dir / "session_stats.txt"),
            sourceFile("tests/golden/example_kestrel.expected"));
}

TEST(Driver, CrLfLogReadsExactlyLikeItsLfTwin) {
  // The excluded second player stands at the end of a line, where a CR
  // that was not dropped would let it through.
  const std::string log = sourceFile("examples/sessionlog.txt") +
                          "Session start. Players: Kestrel vs Debug mode\n"
                          "Player 1 wins match 2-0 : Sion vs Ciel (50)\n";
  std::string reports[2];
  for (int crlf = 0; crlf < 2; ++crlf) {
    TempDir dir;
    writeFile(dir / "sessionlog.txt", crlf ? withCrLf(log) : log);
    ASSERT_EQ(runTool(dir, "Kestrel").status, 0);
    reports[crlf] = readFile(dir / "session_stats.txt");
  }
  EXPECT_EQ(reports[0], reports[1]);
  EXPECT_EQ(reports[0], sourceFile("tests/golden/example_kestrel.expected"));
}

TEST(Driver, OverlongLineIsCutAndTheNextLineStillCounts) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt",
            "Session start. Players: Alpha vs Bravo\n" + std::string(300, 'x') +
                "\nPlayer 1 wins match 2-0 : Sion vs Ciel (50)\n" +
                "Session start. Players: Alpha vs " + std::string(250, 'B') +
                "\nPlayer 1 wins match 2-0 : Sion vs Ciel (50)");
  ASSERT_EQ(runTool(dir, "Alpha").status, 0);
  const std::string report = readFile(dir / "session_stats.txt");
  EXPECT_NE(report.find("        Total matches: 2\r\n"), std::string::npos);
  // The second opponent's name is what fits in the line.
  EXPECT_NE(report.find("Matchup vs: " + std::string(199 - 33, 'B') + "\r\n"),
            std::string::npos);
}

TEST(Driver, AnswerIsOneWordComparedExactly) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt",
            "Session start. Players: Alpha vs Bravo\n"
            "Player 1 wins match 2-0 : Sion vs Ciel (50)\n");
  ASSERT_EQ(runTool(dir, "\n\n   Alpha Bravo\n").status, 0);
  EXPECT_EQ(readFile(dir / "session_stats.txt").rfind("****", 0), 0u);
  ASSERT_EQ(runTool(dir, "alpha").status, 0);
  EXPECT_EQ(readFile(dir / "session_stats.txt"), "");
}

TEST(Driver, ReportThatFailsAtTheDeviceIsAnError) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  fs::create_symlink("/dev/full", dir / "session_stats.txt");
  const auto run = runTool(dir, "Kestrel");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kPrompt);
  EXPECT_EQ(run.err,
            "session-stats: could not write session_stats.txt: No space left "
            "on device\n");
}

// A stream over `bytes` whose reads fail with EIO once `failAt` bytes have
// been read, as a disk that goes bad part way would.
struct FailingSource {
  std::string bytes;
  std::size_t failAt = 0;
  std::size_t position = 0;

  static ssize_t read(void* cookie, char* buffer, std::size_t size) {
    auto& source = *static_cast<FailingSource*>(cookie);
    if (source.position >= source.failAt) {
      errno = EIO;
      return -1;
    }
    const std::size_t count = source.bytes.copy(
        buffer, std::min(size, source.failAt - source.position),
        source.position);
    source.position += count;
    return static_cast<ssize_t>(count);
  }

  LogReadOutcome readInto(StatsRecords& records, int& error) {
    std::FILE* file =
        fopencookie(this, "r", {&read, nullptr, nullptr, nullptr});
    SessionLogReader reader(records);
    const LogReadOutcome outcome = readSessionLog(file, reader, error);
    std::fclose(file);
    return outcome;
  }
};

TEST(Driver, ReadErrorsAreToldApartByWhereTheyHappen) {
  const std::string log =
      "Session start. Players: Alpha vs Bravo\n"
      "Player 1 wins match 2-0 : Sion vs Ciel (50)\n";
  StatsRecords records;
  int error = 0;
  FailingSource atOnce{log, 0};
  EXPECT_EQ(atOnce.readInto(records, error), LogReadOutcome::kUnreadable);
  EXPECT_EQ(error, EIO);

  error = 0;
  FailingSource partWay{log + std::string(1 << 20, '\n'), log.size() + 1000};
  EXPECT_EQ(partWay.readInto(records, error), LogReadOutcome::kFailedPartWay);
  EXPECT_EQ(error, EIO);
  // What was read counts.
  EXPECT_EQ(buildPlayerStats(*records.findPlayer("Alpha")).matchWins, 1);

  FailingSource never{log, log.size() + 1};
  EXPECT_EQ(never.readInto(records, error), LogReadOutcome::kComplete);
}

TEST(Driver, LongAnswerIsReadWhole) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", "");
  const auto run = runTool(dir, std::string(100000, 'n'));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(readFile(dir / "session_stats.txt"), "");
}

}  // namespace
}  // namespace sessionstats
