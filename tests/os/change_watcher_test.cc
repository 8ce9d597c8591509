#include "os/change_watcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "tool_run.h"

namespace sessionstats {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// Far longer than any wait that a change or a signal ends.
constexpr milliseconds kLongWait{30000};

using MakeWatcher = std::unique_ptr<ChangeWatcher> (*)(const std::string&,
                                                       OutputWatch);

TEST(ChangeWatcher, AnAppendOrANewFileEndsTheWait) {
  for (const MakeWatcher make : {watchForChanges, pollForChanges}) {
    const testing::TempDir dir;
    const auto log = dir / "sessionlog.txt";
    testing::writeFile(log, "one\n");
    std::filesystem::create_directory(dir / "made");
    testing::writeFile(dir / "made" / "four.txt", "four\n");
    const std::unique_ptr<ChangeWatcher> watcher =
        make(log.string(), OutputWatch::kNone);
    // Appended before the first wait, as after the first read.
    std::ofstream(log, std::ios::app) << "two\n";
    Clock::time_point began = Clock::now();
    EXPECT_TRUE(watcher->wait(kLongWait));
    EXPECT_LT(Clock::now() - began, kLongWait);
    // Removed: the wait that sees it goes by; then made again.
    std::filesystem::remove(log);
    EXPECT_TRUE(watcher->wait(milliseconds(0)));
    testing::writeFile(log, "three\n");
    began = Clock::now();
    EXPECT_TRUE(watcher->wait(kLongWait));
    EXPECT_LT(Clock::now() - began, kLongWait);
    // Removed, then another file renamed into place from a folder that is
    // not watched.
    std::filesystem::remove(log);
    EXPECT_TRUE(watcher->wait(milliseconds(0)));
    std::filesystem::rename(dir / "made" / "four.txt", log);
    began = Clock::now();
    EXPECT_TRUE(watcher->wait(kLongWait));
    EXPECT_LT(Clock::now() - began, kLongWait);
  }
}

// In a child process of its own: an interrupt stays noted for the rest of
// the process.
TEST(ChangeWatcherDeathTest, AnInterruptEndsTheWaitNotTheProcess) {
  if (testing::kOnWindows) {
    GTEST_SKIP() << "a signal; Windows interrupts with console events";
  }
  const testing::TempDir dir;
  const std::string log = (dir / "sessionlog.txt").string();
  EXPECT_EXIT(
      {
        bool ok = false;
        {
          const std::unique_ptr<ChangeWatcher> watcher =
              watchForChanges(log, OutputWatch::kNone);
          ok = watcher->wait(milliseconds(1));
          // Held until the wait lets it in.
          ok = ok && std::raise(SIGTERM) == 0;
          ok = ok && !watcher->wait(kLongWait);
          ok = ok && !watcher->wait(milliseconds(1));  // for good
        }
        ok = ok && !pollForChanges(log, OutputWatch::kNone)->wait(kLongWait);
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace sessionstats
