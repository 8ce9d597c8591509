#include "app/change_watcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
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

using MakeWatcher = std::unique_ptr<ChangeWatcher> (*)(const std::string&);

TEST(ChangeWatcher, AStopSignalEndsTheWaitNotTheProcess) {
  for (const MakeWatcher make : {watchForChanges, pollForChanges}) {
    const testing::TempDir dir;
    const std::unique_ptr<ChangeWatcher> watcher =
        make((dir / "sessionlog.txt").string());
    EXPECT_TRUE(watcher->wait(milliseconds(1)));
    // Held until the wait lets it in.
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_FALSE(watcher->wait(kLongWait));
    EXPECT_FALSE(watcher->wait(milliseconds(1)));  // for good
  }
  const testing::TempDir dir;
  const std::unique_ptr<ChangeWatcher> watcher =
      watchForChanges((dir / "sessionlog.txt").string());
  ASSERT_EQ(std::raise(SIGINT), 0);
  EXPECT_FALSE(watcher->wait(kLongWait));
}

TEST(ChangeWatcher, AnAppendOrANewFileEndsTheWait) {
  for (const MakeWatcher make : {watchForChanges, pollForChanges}) {
    const testing::TempDir dir;
    const auto log = dir / "sessionlog.txt";
    testing::writeFile(log, "one\n");
    const std::unique_ptr<ChangeWatcher> watcher = make(log.string());
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
  }
}

}  // namespace
}  // namespace sessionstats
