#include "analysis/driver.h"

#include <gtest/gtest.h>

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

TEST(Driver, LongAnswerIsReadWhole) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", "");
  const auto run = runTool(dir, std::string(100000, 'n'));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(readFile(dir / "session_stats.txt"), "");
}

}  // namespace
}  // namespace sessionstats
