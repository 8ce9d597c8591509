#include "live/log_follower.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string_view>
#include <thread>
#include <utility>

#include "tool_run.h"

namespace sessionstats {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLines = 20;

// Counts the writes; the write after the last line fails, which ends the
// follow.
struct CountingTarget final : FollowTarget {
  void restart() override {}
  void line(std::string_view /*line*/) override { ++lines; }
  bool changed() override { return std::exchange(seen, lines) != lines; }
  Status write() override {
    ++writes;
    return lines < kLines ? Status() : Status::failed("all lines written");
  }
  int lines = 0;
  int seen = 0;
  int writes = 0;
};

// Lines that come 20 ms apart are written together: writes stand at least
// kMinRewriteInterval apart, however busy the machine.
TEST(LogFollower, LinesOfABurstAreWrittenTogether) {
  const testing::TempDir dir;
  const auto log = dir / "sessionlog.txt";
  testing::writeFile(log, "");
  // No signal comes, so the watcher's rule of one thread, which is about
  // where interrupts go, does not matter here.
  std::thread appender([&log] {
    for (int i = 0; i < kLines; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      std::ofstream(log, std::ios::app) << "line\n";
    }
  });
  CountingTarget target;
  std::ostringstream err;
  const Clock::time_point began = Clock::now();
  const Status status =
      followLog(log.string(), target, err, OutputWatch::kNone);
  const auto elapsed = Clock::now() - began;
  appender.join();
  EXPECT_EQ(status.what(), "all lines written");
  EXPECT_LE(target.writes, 1 + elapsed / kMinRewriteInterval);
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace sessionstats
