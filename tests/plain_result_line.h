#ifndef SESSION_STATS_TESTS_PLAIN_RESULT_LINE_H_
#define SESSION_STATS_TESTS_PLAIN_RESULT_LINE_H_

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "stats/character_roster.h"
#include "stats/stats_records.h"

namespace sessionstats::testing {

/// The plain reading of a result line (given after its date and time) that
/// readResultLine must agree with: sscanf for its head, then each separator
/// searched with std::string::find from the one before it, the names looked
/// up whole, and atoi for the seconds. REQUIRES: `rest` holds no NUL.
inline bool plainResultLine(const std::string& rest, MatchResult& match) {
  int numbers[3];
  if (std::sscanf(rest.c_str(), "Player %d wins match %d-%d : ", &numbers[0],
                  &numbers[1], &numbers[2]) != 3) {
    return false;
  }
  const std::size_t colon = rest.find(" : ");
  if (colon == std::string::npos) return false;
  const std::size_t versus = rest.find(" vs ", colon);
  if (versus == std::string::npos || versus < colon + 3) return false;
  const std::size_t paren = rest.find(" (", versus);
  if (paren == std::string::npos || paren < versus + 4) return false;
  match.character1 = findCharacter(
      std::string_view(rest).substr(colon + 3, versus - colon - 3));
  match.character2 = findCharacter(
      std::string_view(rest).substr(versus + 4, paren - versus - 4));
  match.winner = numbers[0];
  match.player1Rounds = numbers[1];
  match.player2Rounds = numbers[2];
  match.seconds = std::atoi(rest.c_str() + paren + 2);
  return match.character1 < kCharacterCount &&
         match.character2 < kCharacterCount;
}

/// Whether two results hold the same fields.
inline bool sameMatch(const MatchResult& a, const MatchResult& b) {
  return a.winner == b.winner && a.player1Rounds == b.player1Rounds &&
         a.player2Rounds == b.player2Rounds && a.character1 == b.character1 &&
         a.character2 == b.character2 && a.seconds == b.seconds;
}

}  // namespace sessionstats::testing

#endif  // SESSION_STATS_TESTS_PLAIN_RESULT_LINE_H_
