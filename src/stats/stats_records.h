#ifndef SESSION_STATS_STATS_STATS_RECORDS_H_
#define SESSION_STATS_STATS_STATS_RECORDS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "stats/record_list.h"
#include "stats/tally.h"

namespace sessionstats {

/// One player's results against one opponent, seen from the owner's side,
/// and the opponent's results by the opponent's own character.
struct OpponentStats : Tally {
  std::string name;
  CharacterCounts oppCharWins{};
  CharacterCounts oppCharLosses{};
  CharacterCounts oppCharRoundWins{};
  CharacterCounts oppCharRoundLosses{};
};

using OpponentList = RecordList<OpponentStats>;

/// Everything counted for one canonical player name.
struct PlayerStats : Tally {
  std::string name;
  OpponentList opponents;
  std::int32_t shortestSeconds = kInitialShortestSeconds;
  std::int32_t longestSeconds = 0;
  LengthCounts lengthBuckets{};
};

using PlayerList = RecordList<PlayerStats>;

/// The four records a match between two players adds to.
struct MatchRecords {
  PlayerStats* player1 = nullptr;
  PlayerStats* player2 = nullptr;
  OpponentStats* player1VsPlayer2 = nullptr;
  OpponentStats* player2VsPlayer1 = nullptr;
};

/// The numbers of one result line, passed on as read.
struct MatchResult {
  std::int32_t winner = 0;  // 1 or 2; anything else is a loss for both sides
  std::int32_t player1Rounds = 0;
  std::int32_t player2Rounds = 0;
  std::int32_t character1 = 0;
  std::int32_t character2 = 0;
  std::int32_t seconds = 0;
};

/// The record named `name` in `players`, appended when there is none.
PlayerStats& findOrAddPlayer(PlayerList& players, std::string_view name);

/// `owner`'s entry for the opponent named `name`, appended when there is none.
OpponentStats& findOrAddOpponent(PlayerStats& owner, std::string_view name);

/// The records of a session between `first` and `second`: both players' (first
/// then second), then each one's entry for the other, each created when
/// missing. Both names the same: one player and one entry, met by himself.
MatchRecords findOrAddMatchRecords(PlayerList& players, std::string_view first,
                                   std::string_view second);

/// Adds one match to the four records; a player who meets himself gets both
/// sides. Every sum wraps around modulo 2^32.
/// REQUIRES: the four pointers of `records` are set; both character indices
/// of `match` are in 0..22.
void recordMatch(const MatchRecords& records, const MatchResult& match);

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_STATS_RECORDS_H_
