#include "app/report_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "tool_run.h"

namespace sessionstats {
namespace {

namespace fs = std::filesystem;
using testing::namesIn;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

// Bytes that cross the writer's buffer many times, in pieces of odd sizes.
std::string manyBlocks() {
  std::string bytes;
  for (int i = 0; bytes.size() < 1'000'000; ++i) {
    bytes.append(static_cast<std::size_t>(i % 5000),
                 static_cast<char>('a' + i % 26));
    bytes += '\n';
  }
  return bytes;
}

// The errno of a failure, 0 on success.
int replaceWith(const fs::path& path, const std::string& bytes) {
  return replaceReportFile(
             path.string(),
             [&bytes](std::ostream& out) {
               // Half in one write, the rest byte by byte.
               const std::size_t half = bytes.size() / 2;
               out.write(bytes.data(), static_cast<std::streamsize>(half));
               for (std::size_t at = half; at < bytes.size(); ++at)
                 out.put(bytes[at]);
             })
      .error();
}

TEST(ReportFile, FollowsLinkChainsToTheFileTheyEndAt) {
  TempDir dir;
  const std::string bytes = manyBlocks();
  fs::create_directories(dir / "a" / "b");
  writeFile(dir / "a" / "b" / "report.txt", "old");
  // report -> a/link (relative) -> b/report.txt (relative to a/).
  fs::create_symlink("b/report.txt", dir / "a" / "link");
  fs::create_symlink("a/link", dir / "report");
  ASSERT_EQ(replaceWith(dir / "report", bytes), 0);
  EXPECT_EQ(readFile(dir / "a" / "b" / "report.txt"), bytes);
  EXPECT_TRUE(fs::is_symlink(dir / "report"));
  EXPECT_TRUE(fs::is_symlink(dir / "a" / "link"));
  EXPECT_EQ(namesIn(dir / "a" / "b"), std::vector<std::string>{"report.txt"});

  // A dangling link: its target is created.
  fs::remove(dir / "a" / "b" / "report.txt");
  ASSERT_EQ(replaceWith(dir / "report", "new"), 0);
  EXPECT_EQ(readFile(dir / "a" / "b" / "report.txt"), "new");

  // A loop: nothing is created.
  fs::create_symlink("loop2", dir / "loop1");
  fs::create_symlink("loop1", dir / "loop2");
  EXPECT_EQ(replaceWith(dir / "loop1", "new"), ELOOP);
  EXPECT_EQ(namesIn(dir.path()),
            (std::vector<std::string>{"a", "loop1", "loop2", "report"}));
}

TEST(ReportFile, WriterThatThrowsLeavesTheOldFileAndNoTemporaryFile) {
  TempDir dir;
  const fs::path report = dir / "report.txt";
  const auto throwPartWay = [](std::ostream& out) {
    out << std::string(200'000, 'x');  // more than one buffer reaches the disk
    throw std::bad_alloc();
  };
  EXPECT_THROW(replaceReportFile(report.string(), throwPartWay),
               std::bad_alloc);
  EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{});

  writeFile(report, "old report");
  EXPECT_THROW(replaceReportFile(report.string(), throwPartWay),
               std::bad_alloc);
  EXPECT_EQ(readFile(report), "old report");
  EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"report.txt"});
}

TEST(ReportFile, MissingFolderOrADirectoryInPlaceIsAnError) {
  TempDir dir;
  EXPECT_EQ(replaceWith(dir / "missing" / "report.txt", "new"), ENOENT);
  fs::create_directory(dir / "report.txt");
  EXPECT_EQ(replaceWith(dir / "report.txt", "new"), EISDIR);
}

}  // namespace
}  // namespace sessionstats
