#include "live/live_report.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <sstream>
#include <string>

namespace sessionstats {
namespace {

TEST(LiveReport, ChangedWhenWhatItWritesChanges) {
  std::string written;
  const OutputSink sink =
      [&written](const std::function<void(std::ostream&)>& write) {
        std::ostringstream out;
        write(out);
        written = out.str();
        return Status();
      };
  ReportRequest list;
  list.listing = true;
  list.follow = true;
  LiveReport players(list, sink);
  EXPECT_FALSE(players.changed());
  // New players change a list before they play a match.
  players.line("Session start. Players: Kestrel vs Moth");
  EXPECT_TRUE(players.changed());
  EXPECT_FALSE(players.changed());

  ReportRequest report;
  report.player = "Kestrel";
  report.follow = true;
  LiveReport kestrel(report, sink);
  kestrel.line("Session start. Players: Wren vs Moth");
  EXPECT_FALSE(kestrel.changed());  // a session he does not play
  kestrel.line("Session start. Players: Kestrel vs Moth");
  EXPECT_TRUE(kestrel.changed());
  kestrel.line("Player 2 wins match 1-2 : Sion vs Ciel (50 seconds)");
  EXPECT_TRUE(kestrel.changed());
  EXPECT_FALSE(kestrel.changed());
  ASSERT_TRUE(kestrel.write().ok());
  EXPECT_EQ(kestrel.counted(), "Kestrel, 1 match");
  EXPECT_NE(written.find("Stats for: Kestrel\r\n"), std::string::npos)
      << written;
}

}  // namespace
}  // namespace sessionstats
