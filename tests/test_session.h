#ifndef SESSION_STATS_TESTS_TEST_SESSION_H_
#define SESSION_STATS_TESTS_TEST_SESSION_H_

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "stats/match_filter.h"
#include "stats/stats_records.h"

namespace sessionstats::testing {

/// The classic record of the player named `name`; a test that asks for a
/// missing one fails.
inline PlayerStats playerStats(const StatsRecords& records,
                               std::string_view name) {
  const PlayerRecord* player = records.findPlayer(name);
  EXPECT_NE(player, nullptr) << "no player " << name;
  return player ? buildPlayerStats(*player) : PlayerStats{};
}

/// `owner`'s opponent entries in creation order, built.
inline std::vector<OpponentStats> opponentStats(const PlayerStats& owner) {
  std::vector<OpponentStats> entries(owner.opponents.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    buildOpponentStats(owner.opponents[i], entries[i]);
  }
  return entries;
}

/// `owner`'s entry for `opponent`; a test that asks for a missing one fails.
inline OpponentStats opponentStats(const StatsRecords& records,
                                   std::string_view owner,
                                   std::string_view opponent) {
  for (const OpponentStats& entry :
       opponentStats(playerStats(records, owner))) {
    if (entry.name == opponent) return entry;
  }
  ADD_FAILURE() << "no entry " << opponent << " for " << owner;
  return {};
}

/// The matches of `log` that keepMatches keeps.
inline MatchLog selectMatches(const MatchLog& log, const PlayerRecord& player,
                              const MatchFilter& filter) {
  MatchLog kept = log;
  keepMatches(kept, player, filter);
  return kept;
}

/// A session between two players in records of their own, opened the way
/// the log reader opens one; play() counts a match as a result line would.
struct TestSession {
  StatsRecords records;
  MatchRecords session;

  TestSession(std::string_view first, std::string_view second)
      : session(findOrAddMatchRecords(records, first, second)) {}

  void play(int winner, int rounds1, int rounds2, int character1,
            int character2, int seconds) {
    recordMatch(records, session,
                {winner, rounds1, rounds2, character1, character2, seconds});
  }

  PlayerStats first() const { return buildPlayerStats(*session.player1); }
  PlayerStats second() const { return buildPlayerStats(*session.player2); }
  // Each one's entry for the other.
  OpponentStats firstVsSecond() const {
    return opponentStats(records, session.player1->name, session.player2->name);
  }
  OpponentStats secondVsFirst() const {
    return opponentStats(records, session.player2->name, session.player1->name);
  }
};

}  // namespace sessionstats::testing

#endif  // SESSION_STATS_TESTS_TEST_SESSION_H_
