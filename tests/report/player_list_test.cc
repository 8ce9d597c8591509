#include "report/player_list.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "tool_run.h"

namespace sessionstats {
namespace {

std::string listOf(const std::vector<PlayerListEntry>& players) {
  std::ostringstream out;
  writePlayerList(out, players);
  return out.str();
}

void add(std::vector<PlayerListEntry>& players, const char* name,
         std::int32_t wins, std::int32_t losses) {
  players.push_back({{wins, losses}, name});
}

TEST(PlayerList, MostMatchesFirstTiesInLogOrderIdlePlayersIncluded) {
  std::vector<PlayerListEntry> players;
  add(players, "Idle", 0, 0);
  add(players, "Ana Lee", 2, 1);
  add(players, "Moth", 0, 3);
  add(players, "Kestrel", 9, 1);
  EXPECT_EQ(listOf(players),
            "Matches  Wins  Losses  Player\n"
            "     10     9       1  Kestrel\n"
            "      3     2       1  Ana Lee\n"
            "      3     0       3  Moth\n"
            "      0     0       0  Idle\n");
}

TEST(PlayerList, ColumnsGrowForWideAndWrappedCounts) {
  std::vector<PlayerListEntry> players;
  add(players, "Big", std::numeric_limits<std::int32_t>::max(), 1);
  add(players, "Wrapped", std::numeric_limits<std::int32_t>::min(), 0);
  EXPECT_EQ(listOf(players),
            "    Matches         Wins  Losses  Player\n"
            " 2147483648   2147483647       1  Big\n"
            "-2147483648  -2147483648       0  Wrapped\n");
}

// A name that would retitle the terminal and clear a line: escaped on a
// terminal (script gives the run one; its line ends become CR LF), exact
// through a pipe.
TEST(PlayerList, TerminalSeesEscapesAPipeTheExactName) {
  if (testing::kOnWindows) GTEST_SKIP() << "needs script and a POSIX shell";
  testing::TempDir dir;
  testing::writeFile(
      dir / "sessionlog.txt",
      "Session start. Players: Kestrel vs \x1b]0;pwned\x07\x1b[2K"
      "\\x\n"
      "Player 2 wins match 2-0 : Sion vs Ciel (50)\n");
  EXPECT_EQ(testing::runScript(dir, "\"$SESSION_STATS\" --list | cat").out,
            "Matches  Wins  Losses  Player\n"
            "      1     0       1  Kestrel\n"
            "      1     1       0  \x1b]0;pwned\x07\x1b[2K\\x\n");
  EXPECT_EQ(testing::runScript(
                dir, "script -q -c \"'$SESSION_STATS' --list\" /dev/null")
                .out,
            "Matches  Wins  Losses  Player\r\n"
            "      1     0       1  Kestrel\r\n"
            "      1     1       0  \\033]0;pwned\\a\\033[2K\\\\x\r\n");
}

}  // namespace
}  // namespace sessionstats
