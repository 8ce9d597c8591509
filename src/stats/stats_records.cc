#include "stats/stats_records.h"

namespace sessionstats {
namespace {

// One player's view of a match. Passed by value: behind a reference its
// numbers would have to be read again after every counter update, which
// the compiler cannot tell apart from a write to them.
struct Side {
  std::int32_t wins = 0;
  std::int32_t losses = 0;
  std::int32_t roundsWon = 0;
  std::int32_t roundsLost = 0;
  int ownCharacter = 0;
  int matchup = 0;  // matchupIndex(own, opposing character)
};

void addSide(Tally& tally, Side side, std::int32_t seconds) {
  addWrapping(tally.matchWins, side.wins);
  addWrapping(tally.matchLosses, side.losses);
  addWrapping(tally.roundWins, side.roundsWon);
  addWrapping(tally.roundLosses, side.roundsLost);
  addWrapping(tally.totalSeconds, seconds);
  addWrapping(tally.charWins[side.ownCharacter], side.wins);
  addWrapping(tally.charLosses[side.ownCharacter], side.losses);
  addWrapping(tally.charRoundWins[side.ownCharacter], side.roundsWon);
  addWrapping(tally.charRoundLosses[side.ownCharacter], side.roundsLost);
  addWrapping(tally.matchupWins[side.matchup], side.wins);
  addWrapping(tally.matchupLosses[side.matchup], side.losses);
  addWrapping(tally.matchupRoundWins[side.matchup], side.roundsWon);
  addWrapping(tally.matchupRoundLosses[side.matchup], side.roundsLost);
}

void addPlayer(PlayerStats& player, Side side, std::int32_t seconds) {
  addSide(player, side, seconds);
  addWrapping(player.lengthBuckets[lengthBucket(seconds)], 1);
  if (seconds < player.shortestSeconds) player.shortestSeconds = seconds;
  if (seconds > player.longestSeconds) player.longestSeconds = seconds;
}

void addOpponent(OpponentStats& entry, Side side, Side other,
                 std::int32_t seconds) {
  addSide(entry, side, seconds);
  addWrapping(entry.oppCharWins[other.ownCharacter], other.wins);
  addWrapping(entry.oppCharLosses[other.ownCharacter], other.losses);
  addWrapping(entry.oppCharRoundWins[other.ownCharacter], other.roundsWon);
  addWrapping(entry.oppCharRoundLosses[other.ownCharacter], other.roundsLost);
}

}  // namespace

PlayerStats& findOrAddPlayer(PlayerList& players, std::string_view name) {
  return players.findOrAdd(name);
}

OpponentStats& findOrAddOpponent(PlayerStats& owner, std::string_view name) {
  return owner.opponents.findOrAdd(name);
}

MatchRecords findOrAddMatchRecords(PlayerList& players, std::string_view first,
                                   std::string_view second) {
  MatchRecords records;
  records.player1 = &findOrAddPlayer(players, first);
  records.player2 = &findOrAddPlayer(players, second);
  records.player1VsPlayer2 =
      &findOrAddOpponent(*records.player1, records.player2->name);
  records.player2VsPlayer1 =
      &findOrAddOpponent(*records.player2, records.player1->name);
  return records;
}

void recordMatch(const MatchRecords& records, const MatchResult& match) {
  const std::int32_t won1 = match.winner == 1 ? 1 : 0;
  const std::int32_t won2 = match.winner == 2 ? 1 : 0;
  const int c1 = match.character1;
  const int c2 = match.character2;
  const Side side1{won1,
                   1 - won1,
                   match.player1Rounds,
                   match.player2Rounds,
                   c1,
                   matchupIndex(c1, c2)};
  const Side side2{won2,
                   1 - won2,
                   match.player2Rounds,
                   match.player1Rounds,
                   c2,
                   matchupIndex(c2, c1)};
  addPlayer(*records.player1, side1, match.seconds);
  addPlayer(*records.player2, side2, match.seconds);
  addOpponent(*records.player1VsPlayer2, side1, side2, match.seconds);
  addOpponent(*records.player2VsPlayer1, side2, side1, match.seconds);
}

}  // namespace sessionstats
