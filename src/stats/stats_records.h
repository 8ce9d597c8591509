#ifndef SESSION_STATS_STATS_STATS_RECORDS_H_
#define SESSION_STATS_STATS_STATS_RECORDS_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "stats/arena.h"
#include "stats/record_list.h"
#include "stats/tally.h"

namespace sessionstats {

// The records kept while the log is read are made for counting: one record
// per pair of players that met, holding both players' sides, so that a match
// adds to one record; and a small record per player. The classic views,
// PlayerStats with its OpponentStats from the owner's side, are summed from
// the pairs when a report is written. Sums modulo 2^32 do not depend on their
// order, so summing at the end gives exactly what counting into the views
// match by match would.

/// Marks a free slot of a pair's cell table.
inline constexpr std::uint16_t kFreeCell = kMatchupCount;

/// The counts of one grid cell of a pair: the characters of its two sides
/// (matchupIndex(side 0's, side 1's), or kFreeCell), matches won by each
/// side, matches neither won (a loss for both), and rounds won by each side.
struct PairCell {
  std::uint16_t characters = kFreeCell;
  std::array<std::uint32_t, 2> wins{};
  std::uint32_t neither = 0;
  std::array<std::uint32_t, 2> rounds{};
};

struct PlayerRecord;

/// Everything two players did against each other. Side 0 is the first player
/// of the start line that created the pair. A player met by himself has one
/// pair with himself on both sides, each match counted once from player 1's
/// side. The cells are a hash table made on the first match and grown as
/// character pairs are met, so a pair costs about as much as the character
/// pairs it has seen: a log's pair uses a few of the grid's 529 cells.
/// Against rows of 23 cells made on first use, the 1M-line log peaks at
/// 14.8 MB vs 22.9 MB and its full run takes 131 ms vs 148 ms of CPU time,
/// the report summing only the cells in use; the reading phase alone is 3%
/// slower, finding a cell by its hash.
struct PairRecord {
  std::array<const PlayerRecord*, 2> players{};
  std::uint32_t totalSeconds = 0;
  std::uint32_t cellCount = 0;  // cells in use
  std::uint32_t capacity = 0;   // slots of `cells`: 0 or a power of two
  PairCell* cells = nullptr;    // open addressing, linear probing
};

/// Calls visit(const PairCell&) for every cell of `pair` in use, in no
/// particular order.
template <typename Visit>
void forEachCell(const PairRecord& pair, Visit visit) {
  for (std::uint32_t slot = 0; slot < pair.capacity; ++slot) {
    if (pair.cells[slot].characters != kFreeCell) visit(pair.cells[slot]);
  }
}

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
    return players_.find(name);
  }
  const RecordList<PlayerRecord>& players() const { return players_; }

 private:
  friend PlayerRecord& findOrAddPlayer(StatsRecords& records,
                                       std::string_view name);
  friend PairRecord& findOrAddOpponent(StatsRecords& records,
                                       PlayerRecord& owner,
                                       PlayerRecord& opponent);
  friend void recordMatch(StatsRecords& records, const MatchRecords& session,
                          const MatchResult& match);

  // Cell tables hold at most 2^kMaxCellTableBits slots.
  static constexpr int kMaxCellTableBits = 10;

  // The cell of `characters` in `pair`, added when missing.
  PairCell& findOrAddCell(PairRecord& pair, std::uint16_t characters);
  // Doubles the table of `pair`, or makes its first.
  void growCells(PairRecord& pair);

  RecordList<PlayerRecord> players_;
  // Keyed by both players' ids, the smaller one in the high half.
  std::unordered_map<std::uint64_t, PairRecord*> pairs_;
  Arena arena_;  // pairs and their cell tables
  // Tables that a pair has outgrown, by the log2 of their size, for the next
  // pair that grows to that size.
  std::array<std::vector<PairCell*>, kMaxCellTableBits + 1> spareTables_;
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

/// Asks the processor to bring in the memory that counting the session's
/// matches will touch, while the lines before its first result are read.
void prefetchForCounting(const MatchRecords& session);

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

/// The classic record of `player`, summed from his pairs.
PlayerStats buildPlayerStats(const PlayerRecord& player);

/// Overwrites `stats` with the counts of `entry`; `stats.name` refers to the
/// opponent's record.
void buildOpponentStats(const OpponentEntry& entry, OpponentStats& stats);

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_STATS_RECORDS_H_
