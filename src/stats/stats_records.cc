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
  int matchup = 0;  // own + 23 * opponent character
};

// The fields that PlayerStats and OpponentStats share, from the owner's side.
template <typename Record>
void addSide(Record& record, Side side, std::int32_t seconds) {
  addWrapping(record.matchWins, side.wins);
  addWrapping(record.matchLosses, side.losses);
  addWrapping(record.roundWins, side.roundsWon);
  addWrapping(record.roundLosses, side.roundsLost);
  addWrapping(record.totalSeconds, seconds);
  addWrapping(record.charWins[side.ownCharacter], side.wins);
  addWrapping(record.charLosses[side.ownCharacter], side.losses);
  addWrapping(record.charRoundWins[side.ownCharacter], side.roundsWon);
  addWrapping(record.charRoundLosses[side.ownCharacter], side.roundsLost);
  addWrapping(record.matchupWins[side.matchup], side.wins);
  addWrapping(record.matchupLosses[side.matchup], side.losses);
  addWrapping(record.matchupRoundWins[side.matchup], side.roundsWon);
  addWrapping(record.matchupRoundLosses[side.matchup], side.roundsLost);
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

int lengthBucket(std::int32_t seconds) {
  const std::int32_t band = seconds / 30;
  if (band < 0) return 0;
  if (band >= kLengthBucketCount) return kLengthBucketCount - 1;
  return static_cast<int>(band);
}

void recordMatch(const SessionState& session, const MatchResult& match) {
  const std::int32_t won1 = match.winner == 1 ? 1 : 0;
  const std::int32_t won2 = match.winner == 2 ? 1 : 0;
  const int c1 = match.character1;
  const int c2 = match.character2;
  const Side side1{won1,
                   1 - won1,
                   match.player1Rounds,
                   match.player2Rounds,
                   c1,
                   c1 + kCharacterCount * c2};
  const Side side2{won2,
                   1 - won2,
                   match.player2Rounds,
                   match.player1Rounds,
                   c2,
                   c2 + kCharacterCount * c1};
  addPlayer(*session.player1, side1, match.seconds);
  addPlayer(*session.player2, side2, match.seconds);
  addOpponent(*session.player1VsPlayer2, side1, side2, match.seconds);
  addOpponent(*session.player2VsPlayer1, side2, side1, match.seconds);
}

}  // namespace sessionstats
