#ifndef SESSION_STATS_STATS_STATS_RECORDS_H_
#define SESSION_STATS_STATS_STATS_RECORDS_H_

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/arena.h"
#include "stats/tally.h"

namespace sessionstats {

// The records kept while the log is read are made for counting: one record
// per pair of players that met, holding both players' sides, so that a match
// adds to one record; and a small record per player. The views the
// reports read, PlayerStats with its OpponentStats from the owner's side, are
// summed from the pairs when a report is written. Sums modulo 2^32 do not
// depend on their order, so summing at the end gives exactly what counting into
// the views match by match would.

/// The counts of one grid cell of a pair: matches won by each side, matches
/// neither won (a loss for both), and rounds won by each side.
struct PairCell {
  std::array<std::uint32_t, 2> wins{};
  std::uint32_t neither = 0;
  std::array<std::uint32_t, 2> rounds{};
};

/// The cells of one character of side 0, by the character of side 1.
using PairRow = std::array<PairCell, kCharacterCount>;

struct PlayerRecord;

/// Everything two players did against each other. Side 0 is the first player
/// of the start line that created the pair. A player met by himself has one
/// pair with himself on both sides, each match counted once from player 1's
/// side. A row of cells is made on the first match counted in it, so a pair
/// costs about as much as the character pairs it has seen; bit c of a row's
/// mask is set once a match is counted in its cell c.
struct PairRecord {
  std::array<const PlayerRecord*, 2> players{};
  std::uint32_t totalSeconds = 0;
  std::array<PairRow*, kCharacterCount> rows{};  // by the character of side 0
  std::array<std::uint32_t, kCharacterCount> usedCells{};  // a mask per row
};

/// What is kept of one player while reading: the match lengths, and his pairs
/// in the order his opponent entries were created.
struct PlayerRecord {
  std::string name;
  std::uint32_t id = 0;  // creation order, from 0
  std::int32_t shortestSeconds = kInitialShortestSeconds;
  std::int32_t longestSeconds = 0;
  LengthCounts lengthBuckets{};
  std::vector<const PairRecord*> pairs;
};

/// The pair records of a session and who is player 1 in it.
struct MatchRecords {
  PlayerRecord* player1 = nullptr;
  PlayerRecord* player2 = nullptr;
  PairRecord* pair = nullptr;
  bool player1IsSide1 = false;  // player 1 is side 1 of the pair
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

/// All records of a log: players in creation order, found by name, and the
/// pairs of players that met. Records never move once made.
class StatsRecords {
 public:
  /// The player named `name`, or nullptr.
  const PlayerRecord* findPlayer(std::string_view name) const {
    const auto found = playerIndex_.find(name);
    return found == playerIndex_.end() ? nullptr : found->second;
  }
  /// The players in creation order.
  const std::deque<PlayerRecord>& players() const { return players_; }

 private:
  friend PlayerRecord& findOrAddPlayer(StatsRecords& records,
                                       std::string_view name);
  friend PairRecord& findOrAddOpponent(StatsRecords& records,
                                       PlayerRecord& owner,
                                       PlayerRecord& opponent);
  friend void recordMatch(StatsRecords& records, const MatchRecords& session,
                          const MatchResult& match);

  // A deque never moves what it holds, so the index points into it (by the
  // record's name); the arena makes the records impossible to copy.
  std::deque<PlayerRecord> players_;
  std::unordered_map<std::string_view, PlayerRecord*> playerIndex_;
  // Keyed by both players' ids, the smaller one in the high half.
  std::unordered_map<std::uint64_t, PairRecord*> pairs_;
  Arena arena_;  // pairs and their rows
};

/// The player named `name`, appended when there is none.
PlayerRecord& findOrAddPlayer(StatsRecords& records, std::string_view name);

/// The pair that holds `owner`'s opponent entry for `opponent` and the
/// opponent's entry for `owner`: both entries are made together, `owner` on
/// side 0, and appended to each player's list (once when they are the same).
PairRecord& findOrAddOpponent(StatsRecords& records, PlayerRecord& owner,
                              PlayerRecord& opponent);

/// The records of a session between `first` and `second`: the players (first
/// then second) and their pair, each made when missing.
MatchRecords findOrAddMatchRecords(StatsRecords& records,
                                   std::string_view first,
                                   std::string_view second);

/// Adds one match to the session's pair and to both players' lengths; a
/// player who meets himself gets both sides. Every sum wraps around modulo
/// 2^32. REQUIRES: `session` comes from `records`; both character indices of
/// `match` are in 0..22.
void recordMatch(StatsRecords& records, const MatchRecords& session,
                 const MatchResult& match);

/// One opponent entry of a player: the pair that holds it, and the owner's
/// side of it.
struct OpponentEntry {
  const PairRecord* pair = nullptr;
  int ownSide = 0;
};

/// One player's results against one opponent, seen from the owner's side,
/// and the opponent's results by the opponent's own character.
struct OpponentStats : Tally {
  std::string_view name;
  CharacterCounts oppCharWins{};
  CharacterCounts oppCharLosses{};
  CharacterCounts oppCharRoundWins{};
  CharacterCounts oppCharRoundLosses{};
};

/// Everything counted for one player, and his opponent entries in the order
/// they were created; buildOpponentStats gives the counts of each.
struct PlayerStats : Tally {
  std::string name;
  std::int32_t shortestSeconds = kInitialShortestSeconds;
  std::int32_t longestSeconds = 0;
  LengthCounts lengthBuckets{};
  std::vector<OpponentEntry> opponents;
};

/// The record of `player` that the reports read, summed from his pairs.
PlayerStats buildPlayerStats(const PlayerRecord& player);

/// Overwrites `stats` with the counts of `entry`; `stats.name` refers to the
/// opponent's record.
void buildOpponentStats(const OpponentEntry& entry, OpponentStats& stats);

/// The name of the opponent of `entry`, from his record.
std::string_view opponentName(const OpponentEntry& entry);

/// Whether a match of the owner against the opponent of `entry` was counted
/// (an opponent met only at start lines has none), even where the entry's
/// match wins and losses have both wrapped around to zero.
bool hasMatches(const OpponentEntry& entry);

/// The counts of one cell of a grid: matches won and lost.
struct CellCounts {
  std::int32_t wins = 0;
  std::int32_t losses = 0;
};

/// The owner's cell (`own`, `opposing`) of his grid against the opponent of
/// `entry`, read from the pair: what buildOpponentStats puts in matchupWins
/// and matchupLosses at matchupIndex(own, opposing).
/// REQUIRES: both are character indices, 0 <= index < kCharacterCount.
CellCounts matchupCell(const OpponentEntry& entry, int own, int opposing);

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_STATS_RECORDS_H_
