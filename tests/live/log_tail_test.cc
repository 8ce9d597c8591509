#include "live/log_tail.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tool_run.h"

namespace sessionstats {
namespace {

using testing::TempDir;
using testing::writeFile;

void append(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream(file, std::ios::binary | std::ios::app) << bytes;
}

// What one check and read of `tail` gave: the check, and the lines.
struct Step {
  TailCheck check = TailCheck::kFailed;
  std::vector<std::string> lines;
};

Step step(LogTail& tail) {
  Step result;
  result.check = tail.check();
  if (result.check == TailCheck::kSame || result.check == TailCheck::kRestart) {
    EXPECT_TRUE(tail.readAppended(
        [&result](std::string_view line) { result.lines.emplace_back(line); }));
  }
  return result;
}

using Lines = std::vector<std::string>;

TEST(LogTail, AnUnfinishedLineIsHeldBackUntilItsLineEnd) {
  const TempDir dir;
  const auto log = dir / "sessionlog.txt";
  writeFile(log, "one\r\ntwo\nPlayer 1 wins match 2-0 : Sion vs Ciel (1");
  LogTail tail(log.string());
  Step got = step(tail);
  EXPECT_EQ(got.check, TailCheck::kSame);
  EXPECT_EQ(got.lines, (Lines{"one", "two"}));
  EXPECT_EQ(step(tail).lines, Lines{});  // nothing new
  append(log, "5 seconds)");
  EXPECT_EQ(step(tail).lines, Lines{});  // still no line end
  append(log, "\r\nthree\n");
  got = step(tail);
  EXPECT_EQ(got.check, TailCheck::kSame);
  EXPECT_EQ(
      got.lines,
      (Lines{"Player 1 wins match 2-0 : Sion vs Ciel (15 seconds)", "three"}));
}

TEST(LogTail, AShorterOrAnotherFileIsReadAgainFromItsStart) {
  const TempDir dir;
  const auto log = dir / "sessionlog.txt";
  writeFile(log, "one\ntwo\nhalf");
  LogTail tail(log.string());
  EXPECT_EQ(step(tail).lines, (Lines{"one", "two"}));

  // Truncated and written again, shorter than what was read: the held back
  // "half" is dropped with the rest.
  writeFile(log, "new\n");
  Step got = step(tail);
  EXPECT_EQ(got.check, TailCheck::kRestart);
  EXPECT_EQ(got.lines, Lines{"new"});
  // Truncated to nothing.
  writeFile(log, "");
  got = step(tail);
  EXPECT_EQ(got.check, TailCheck::kRestart);
  EXPECT_EQ(got.lines, Lines{});
  append(log, "after\n");
  got = step(tail);
  EXPECT_EQ(got.check, TailCheck::kSame);
  EXPECT_EQ(got.lines, Lines{"after"});
  append(log, "more\n");
  EXPECT_EQ(step(tail).lines, Lines{"more"});
  // Written anew in place, longer, between two checks (cp over it): only
  // the bytes of the read before last differ.
  writeFile(log, "AFTER\nmore\nlonger\n");
  got = step(tail);
  EXPECT_EQ(got.check, TailCheck::kRestart);
  EXPECT_EQ(got.lines, (Lines{"AFTER", "more", "longer"}));
  append(log, "on\n");
  EXPECT_EQ(step(tail).lines, Lines{"on"});

  // Replaced by another file of any size, the way an editor saves. (On
  // Windows, GCC 12's std::filesystem::rename replaces no file.)
  if (!testing::kOnWindows) {
    writeFile(dir / "other.txt", "after\nreplaced\n");
    std::filesystem::rename(dir / "other.txt", log);
    got = step(tail);
    EXPECT_EQ(got.check, TailCheck::kRestart);
    EXPECT_EQ(got.lines, (Lines{"after", "replaced"}));
  }

  // Removed, then back. (Wine, as Windows before version 1903, keeps a
  // removed file's name until its last handle closes.)
  if (testing::kOnWindows) return;
  std::filesystem::remove(log);
  EXPECT_EQ(step(tail).check, TailCheck::kMissing);
  EXPECT_EQ(step(tail).check, TailCheck::kMissing);
  writeFile(log, "back\n");
  got = step(tail);
  EXPECT_EQ(got.check, TailCheck::kRestart);
  EXPECT_EQ(got.lines, Lines{"back"});
}

TEST(LogTail, ALogMissingFromTheStartIsNoRestartWhenItComes) {
  const TempDir dir;
  const auto log = dir / "sessionlog.txt";
  LogTail tail(log.string());
  EXPECT_EQ(step(tail).check, TailCheck::kMissing);
  writeFile(log, "first\n");
  const Step got = step(tail);
  EXPECT_EQ(got.check, TailCheck::kSame);
  EXPECT_EQ(got.lines, Lines{"first"});
  const TempDir other;
  // A folder is never read: POSIX opens one, and the check says what it is;
  // Windows refuses to open it.
  LogTail folder(other.path().string());
  EXPECT_EQ(folder.check(), TailCheck::kFailed);
  if (!testing::kOnWindows) {
    EXPECT_EQ(folder.error(), EISDIR);
  }
  EXPECT_NE(folder.error(), 0);
}

}  // namespace
}  // namespace sessionstats
