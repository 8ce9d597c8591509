#ifndef SESSION_STATS_TESTS_TEST_SESSION_H_
#define SESSION_STATS_TESTS_TEST_SESSION_H_

#include <string_view>

#include "stats/stats_records.h"

namespace sessionstats::testing {

/// A session between two players in a list of their own, opened the way the
/// log reader opens one; play() counts a match as a result line would.
struct TestSession {
  PlayerList players;
  MatchRecords records;

  TestSession(std::string_view first, std::string_view second)
      : records(findOrAddMatchRecords(players, first, second)) {}

  // Not const: it changes the records that the session points to.
  void play(int winner,  // NOLINT(readability-make-member-function-const)
            int rounds1, int rounds2, int character1, int character2,
            int seconds) {
    recordMatch(records,
                {winner, rounds1, rounds2, character1, character2, seconds});
  }

  const PlayerStats& first() const { return *records.player1; }
};

}  // namespace sessionstats::testing

#endif  // SESSION_STATS_TESTS_TEST_SESSION_H_
