#include "report/report_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "tool_run.h"

namespace sessionstats {
namespace {

namespace fs = std::filesystem;
using testing::kOnWindows;
using testing::namesIn;
using testing::readFile;
using testing::runScript;
using testing::runTool;
using testing::TempDir;
using testing::ToolRun;
using testing::writeFile;

std::string sourceFile(std::string_view relative) {
  return readFile(fs::path(SESSION_STATS_SOURCE_DIR) / relative);
}

// A folder holding the example log, whose report of Kestrel is kGolden.
struct ExampleDir : TempDir {
  ExampleDir() {
    writeFile(*this / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  }
};
constexpr char kGolden[] = "tests/golden/example_kestrel.expected";

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
  if (testing::kOnWindows) {
    GTEST_SKIP() << "symlinks are POSIX's";
  }
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

// A report path that names a file the process has open goes through that
// descriptor, at its position: what a script wrote around the report stays.
TEST(ReportFile, PathOfAnOpenDescriptorIsWrittenInPlace) {
  if (kOnWindows) GTEST_SKIP() << "descriptors named as paths are POSIX's";
  ExampleDir dir;
  const std::string report = sourceFile(kGolden);
  ASSERT_EQ(runScript(dir,
                      "{ echo a; \"$SESSION_STATS\" -p Kestrel -o /dev/stdout; "
                      "echo b; } > out.txt")
                .status,
            0);
  EXPECT_EQ(readFile(dir / "out.txt"), "a\n" + report + "b\n");

  writeFile(dir / "keep.txt", "kept\n");
  ASSERT_EQ(runScript(dir,
                      "{ echo a; \"$SESSION_STATS\" -p Kestrel -o /dev/stdout; "
                      "echo b; } >> keep.txt")
                .status,
            0);
  EXPECT_EQ(readFile(dir / "keep.txt"), "kept\na\n" + report + "b\n");

  // The same file as standard output or standard error by another name; a
  // descriptor on a file that is gone.
  ASSERT_EQ(runScript(dir,
                      "{ echo a; \"$SESSION_STATS\" -p Kestrel -o out.txt; "
                      "echo b; } > out.txt")
                .status,
            0);
  EXPECT_EQ(readFile(dir / "out.txt"), "a\n" + report + "b\n");
  ASSERT_EQ(
      runScript(dir,
                "{ echo a >&2; \"$SESSION_STATS\" -p Kestrel -o err.txt; } "
                "2> err.txt")
          .status,
      0);
  EXPECT_EQ(readFile(dir / "err.txt"), "a\n" + report);
  ASSERT_EQ(runScript(dir,
                      "exec 3> gone.txt; rm gone.txt; "
                      "\"$SESSION_STATS\" -p Kestrel -o /dev/fd/3")
                .status,
            0);
  EXPECT_EQ(namesIn(dir.path()),
            (std::vector<std::string>{"err.txt", "keep.txt", "out.txt",
                                      "sessionlog.txt"}));
  const ToolRun closed =
      runTool(dir, std::nullopt, {"-p", "Kestrel", "-o", "/dev/fd/7"});
  EXPECT_EQ(closed.status, 1);
  EXPECT_EQ(closed.err,
            "session-stats: could not write /dev/fd/7: Bad file descriptor\n");
  // Standard input, by name or through a link, is the descriptor open for
  // reading only: neither the pipe nor the file behind it is written anew.
  EXPECT_EQ(
      runScript(dir, ": | \"$SESSION_STATS\" -p Kestrel -o /dev/stdin").status,
      1);
  writeFile(dir / "in.txt", "input");
  EXPECT_EQ(runScript(dir,
                      "ln -s /dev/fd/0 link; \"$SESSION_STATS\" -p "
                      "Kestrel -o link < in.txt")
                .status,
            1);
  EXPECT_EQ(readFile(dir / "in.txt"), "input");
}

TEST(ReportFile, ReportOntoTheLogIsRefusedBeforeAnythingIsRead) {
  if (kOnWindows) GTEST_SKIP() << "needs symlinks and a POSIX shell";
  ExampleDir dir;
  const std::string log = readFile(dir / "sessionlog.txt");
  fs::create_symlink("sessionlog.txt", dir / "link.txt");
  fs::create_hard_link(dir / "sessionlog.txt", dir / "hard.txt");
  const std::string refused =
      "session-stats: the report would overwrite the log ";
  const std::vector<std::vector<std::string>> runs = {
      {"-o", "sessionlog.txt"},
      {"-o", "./link.txt", "--format=csv"},
      {"-l", "link.txt", "-o", "hard.txt"},
      {"-o", "/dev/fd/3"},
  };
  for (const std::vector<std::string>& args : runs) {
    // The last reaches the log through a descriptor of the shell.
    const ToolRun run =
        runTool(dir, "Kestrel\n", args,
                args[1] == "/dev/fd/3" ? "exec 3>>sessionlog.txt" : "");
    EXPECT_EQ(run.status, 2) << args[1];
    const std::string name = args[0] == "-l" ? args[1] : "sessionlog.txt";
    EXPECT_EQ(run.err, refused + name + "\n") << args[1];
    EXPECT_EQ(run.out, "") << args[1];  // no prompt
    EXPECT_TRUE(readFile(dir / "sessionlog.txt") == log) << args[1];
  }
  // Standard output appending to the log.
  const ToolRun appending =
      runScript(dir, "\"$SESSION_STATS\" -p Kestrel -o - >> sessionlog.txt");
  EXPECT_EQ(appending.status, 2);
  EXPECT_EQ(appending.err, refused + "sessionlog.txt\n");
  EXPECT_TRUE(readFile(dir / "sessionlog.txt") == log);
  EXPECT_EQ(
      namesIn(dir.path()),
      (std::vector<std::string>{"hard.txt", "link.txt", "sessionlog.txt"}));
  // A device is no log to lose.
  EXPECT_EQ(runTool(dir, std::nullopt,
                    {"-l", "/dev/null", "-o", "/dev/null", "-p", "Nobody"})
                .status,
            1);
}

// The temporary name is short, so a report whose name is as long as a name
// may be (255 bytes) is still written.
TEST(ReportFile, LongestReportNameIsWritten) {
  if (kOnWindows) GTEST_SKIP() << "a 255-byte name passes Windows' MAX_PATH";
  ExampleDir dir;
  const std::string name(255, 'r');
  writeFile(dir / name, "old");
  const ToolRun run = runTool(dir, std::nullopt, {"-p", "Kestrel", "-o", name});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(readFile(dir / name), sourceFile(kGolden));
  EXPECT_EQ(namesIn(dir.path()),
            (std::vector<std::string>{name, "sessionlog.txt"}));
}

// The replace flow over files in memory that fail one step on demand,
// recording each step.
class FakeFiles final : public ReportFileSystem {
 public:
  std::map<std::string, std::string> files;
  std::string failing;  // the step that fails with `failure`
  Status failure = Status::ofErrno(EIO);
  std::vector<std::string> steps;

  Status locate(const std::string& path, ReportTarget& target) override {
    target = {ReportTarget::Kind::kReplace, path, -1};
    return step("locate");
  }
  std::string folderOf(const std::string& path) override {
    return path.substr(0, path.rfind('/') + 1);
  }
  std::string_view nameLetters() override { return "a"; }
  Status create(const std::string& path, FileHandle& handle) override {
    if (files.contains(path)) return Status::ofErrno(EEXIST);
    if (Status failed = step("create"); !failed.ok()) return failed;
    names_.push_back(path);
    files[path];
    handle = static_cast<FileHandle>(names_.size() - 1);
    return Status();
  }
  Status adoptPermissions(FileHandle /*handle*/,
                          const std::string& /*target*/) override {
    return step("adoptPermissions");
  }
  int writes = 0;

  Status write(FileHandle handle, const char* data, std::size_t size) override {
    EXPECT_GT(size, 0U) << "a write of no bytes";
    ++writes;
    files[names_.at(static_cast<std::size_t>(handle))].append(data, size);
    return step("write");
  }
  Status syncData(FileHandle /*handle*/) override { return step("syncData"); }
  Status close(FileHandle /*handle*/) override { return step("close"); }
  Status rename(const std::string& from, const std::string& to) override {
    if (Status failed = step("rename"); !failed.ok()) return failed;
    files[to] = files.at(from);
    files.erase(from);
    return Status();
  }
  Status syncFolder(const std::string& /*path*/) override {
    return step("syncFolder");
  }
  void remove(const std::string& path) override { files.erase(path); }

 private:
  Status step(const std::string& name) {
    if (steps.empty() || steps.back() != name) steps.push_back(name);
    return name == failing ? failure : Status();
  }

  std::vector<std::string> names_;
};

TEST(ReportFile, FailingStepLeavesTheOldReportAndNoTemporaryFile) {
  const std::vector<std::string> kSteps = {
      "locate",   "create", "write",  "adoptPermissions",
      "syncData", "close",  "rename", "syncFolder"};
  {
    FakeFiles files;
    files.files["r/x.txt"] = "old";
    ASSERT_TRUE(replaceReportFile(files, "r/x.txt", [](std::ostream& out) {
                  out << ""
                      << "new";
                }).ok());
    // The data is on the disk before the rename, the folder after.
    EXPECT_EQ(files.files,
              (std::map<std::string, std::string>{{"r/x.txt", "new"}}));
    EXPECT_EQ(files.steps, kSteps);
  }
  {
    // Every name taken (the fake has one): another's file is left alone.
    FakeFiles files;
    files.files[".ss-aaaaaaaa"] = "someone else's";
    const Status status =
        replaceReportFile(files, "x.txt", [](std::ostream&) {});
    EXPECT_EQ(status.error(), EEXIST);
    EXPECT_EQ(files.files, (std::map<std::string, std::string>{
                               {".ss-aaaaaaaa", "someone else's"}}));
  }
  for (std::ptrdiff_t failing = 0;
       failing + 1 < static_cast<std::ptrdiff_t>(kSteps.size()); ++failing) {
    FakeFiles files;
    files.files["x.txt"] = "old";
    files.failing = kSteps[static_cast<std::size_t>(failing)];
    // After a failed write nothing more is written, and the stream fails.
    const Status status =
        replaceReportFile(files, "x.txt", [](std::ostream& out) {
          out << "new";
          out.clear();
          out << "more";
        });
    EXPECT_EQ(status.error(), EIO) << files.failing;
    EXPECT_EQ(files.writes, failing < 2    ? 0
                            : failing == 2 ? 1
                                           : 2)
        << files.failing;
    EXPECT_EQ(files.files,
              (std::map<std::string, std::string>{{"x.txt", "old"}}))
        << files.failing;
    // Nothing after the failure but closing the open temporary file.
    std::vector<std::string> expected(kSteps.begin(),
                                      kSteps.begin() + failing + 1);
    if (failing >= 2 && failing <= 4) expected.emplace_back("close");
    EXPECT_EQ(files.steps, expected);
  }
  FakeFiles held;
  held.failing = "rename";
  held.failure = Status::failed("held");
  EXPECT_EQ(replaceReportFile(held, "x.txt", [](std::ostream&) {}).message(),
            "could not write x.txt: held");
}

}  // namespace
}  // namespace sessionstats
