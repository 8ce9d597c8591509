#include "report/player_list.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>

#include "stats/stats_records.h"

namespace sessionstats {
namespace {

std::string listOf(const PlayerList& players) {
  std::ostringstream out;
  writePlayerList(out, players);
  return out.str();
}

PlayerStats& add(PlayerList& players, const char* name, std::int32_t wins,
                 std::int32_t losses) {
  PlayerStats& player = findOrAddPlayer(players, name);
  player.matchWins = wins;
  player.matchLosses = losses;
  return player;
}

TEST(PlayerList, MostMatchesFirstTiesInLogOrderIdlePlayersIncluded) {
  PlayerList players;
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
  PlayerList players;
  add(players, "Big", std::numeric_limits<std::int32_t>::max(), 1);
  add(players, "Wrapped", std::numeric_limits<std::int32_t>::min(), 0);
  EXPECT_EQ(listOf(players),
            "    Matches         Wins  Losses  Player\n"
            " 2147483648   2147483647       1  Big\n"
            "-2147483648  -2147483648       0  Wrapped\n");
}

}  // namespace
}  // namespace sessionstats
