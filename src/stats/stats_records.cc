#include "stats/stats_records.h"

#include <algorithm>
#include <bit>

namespace sessionstats {
namespace {

std::uint64_t pairKey(const PlayerRecord& a, const PlayerRecord& b) {
  const auto [low, high] = std::minmax(a.id, b.id);
  return std::uint64_t{low} << 32 | high;
}

void addLength(PlayerRecord& player, std::int32_t seconds) {
  addWrapping(player.lengthBuckets[lengthBucket(seconds)], 1);
  if (seconds < player.shortestSeconds) player.shortestSeconds = seconds;
  if (seconds > player.longestSeconds) player.longestSeconds = seconds;
}

void add(std::int32_t& counter, std::uint32_t amount) {
  addWrapping(counter, static_cast<std::int32_t>(amount));
}

// Adds the grid of `pair` as side `side` sees it to `tally`, and to the
// opponent's counts by his own character when `opponent` is given, and the
// pair's time. Every sum is one of the cells' counts, so only the cells that
// hold matches are visited, found through the rows' masks (recordMatch sets
// a cell's bit whenever it counts into it): most cells of a grid stay empty.
void addView(Tally& tally, const PairRecord& pair, int side,
             OpponentStats* opponent) {
  const int other = 1 - side;
  add(tally.totalSeconds, pair.totalSeconds);
  for (int row = 0; row < kCharacterCount; ++row) {
    for (std::uint32_t used = pair.usedCells[row]; used != 0;
         used &= used - 1) {
      const int column = std::countr_zero(used);
      const PairCell& cell = (*pair.rows[row])[column];
      const int own = side == 0 ? row : column;
      const int opposing = side == 0 ? column : row;
      const int index = matchupIndex(own, opposing);
      const std::uint32_t wins = cell.wins[side];
      const std::uint32_t losses = cell.wins[other] + cell.neither;
      const std::uint32_t roundWins = cell.rounds[side];
      const std::uint32_t roundLosses = cell.rounds[other];
      add(tally.matchupWins[index], wins);
      add(tally.matchupLosses[index], losses);
      add(tally.charWins[own], wins);
      add(tally.charLosses[own], losses);
      add(tally.charRoundWins[own], roundWins);
      add(tally.charRoundLosses[own], roundLosses);
      add(tally.matchWins, wins);
      add(tally.matchLosses, losses);
      add(tally.roundWins, roundWins);
      add(tally.roundLosses, roundLosses);
      if (opponent == nullptr) continue;
      add(opponent->oppCharWins[opposing], cell.wins[other]);
      add(opponent->oppCharLosses[opposing], cell.wins[side] + cell.neither);
      add(opponent->oppCharRoundWins[opposing], roundLosses);
      add(opponent->oppCharRoundLosses[opposing], roundWins);
    }
  }
}

// Calls visit(side) for each side of `pair` that belongs to the owner on
// `ownSide`: both for a player who met himself, whose every match gave him
// both sides.
template <typename Visit>
void forOwnSides(const PairRecord& pair, int ownSide, Visit&& visit) {
  if (pair.players[0] == pair.players[1]) {
    visit(0);
    visit(1);
  } else {
    visit(ownSide);
  }
}

}  // namespace

PlayerRecord& findOrAddPlayer(StatsRecords& records, std::string_view name) {
  const auto found = records.playerIndex_.find(name);
  if (found != records.playerIndex_.end()) return *found->second;
  PlayerRecord& added = records.players_.emplace_back();
  added.name = name;
  added.id = static_cast<std::uint32_t>(records.players_.size() - 1);
  records.playerIndex_.emplace(added.name, &added);
  return added;
}

PairRecord& findOrAddOpponent(StatsRecords& records, PlayerRecord& owner,
                              PlayerRecord& opponent) {
  PairRecord*& pair = records.pairs_[pairKey(owner, opponent)];
  if (pair != nullptr) return *pair;
  pair = records.arena_.make<PairRecord>();
  pair->players = {&owner, &opponent};
  owner.pairs.push_back(pair);
  if (&opponent != &owner) opponent.pairs.push_back(pair);
  return *pair;
}

MatchRecords findOrAddMatchRecords(StatsRecords& records,
                                   std::string_view first,
                                   std::string_view second) {
  MatchRecords session;
  session.player1 = &findOrAddPlayer(records, first);
  session.player2 = &findOrAddPlayer(records, second);
  session.pair =
      &findOrAddOpponent(records, *session.player1, *session.player2);
  session.player1IsSide1 = session.pair->players[0] != session.player1;
  return session;
}

void recordMatch(StatsRecords& records, const MatchRecords& session,
                 const MatchResult& match) {
  const int side1 = session.player1IsSide1 ? 1 : 0;  // player 1's side
  const int side2 = 1 - side1;
  std::array<int, 2> character{};
  character[side1] = match.character1;
  character[side2] = match.character2;
  PairRecord& pair = *session.pair;
  PairRow*& row = pair.rows[character[0]];
  if (row == nullptr) row = records.arena_.make<PairRow>();
  PairCell& cell = (*row)[character[1]];
  pair.usedCells[character[0]] |= std::uint32_t{1} << character[1];
  if (match.winner == 1) {
    ++cell.wins[side1];
  } else if (match.winner == 2) {
    ++cell.wins[side2];
  } else {
    ++cell.neither;
  }
  cell.rounds[side1] += static_cast<std::uint32_t>(match.player1Rounds);
  cell.rounds[side2] += static_cast<std::uint32_t>(match.player2Rounds);
  pair.totalSeconds += static_cast<std::uint32_t>(match.seconds);
  addLength(*session.player1, match.seconds);
  addLength(*session.player2, match.seconds);
}

PlayerStats buildPlayerStats(const PlayerRecord& player) {
  PlayerStats stats;
  stats.name = player.name;
  stats.shortestSeconds = player.shortestSeconds;
  stats.longestSeconds = player.longestSeconds;
  stats.lengthBuckets = player.lengthBuckets;
  stats.opponents.reserve(player.pairs.size());
  for (const PairRecord* pair : player.pairs) {
    const int ownSide = pair->players[0] == &player ? 0 : 1;
    forOwnSides(*pair, ownSide,
                [&](int side) { addView(stats, *pair, side, nullptr); });
    stats.opponents.push_back({pair, ownSide});
  }
  return stats;
}

void buildOpponentStats(const OpponentEntry& entry, OpponentStats& stats) {
  stats = OpponentStats{};
  stats.name = opponentName(entry);
  forOwnSides(*entry.pair, entry.ownSide,
              [&](int side) { addView(stats, *entry.pair, side, &stats); });
}

std::string_view opponentName(const OpponentEntry& entry) {
  return entry.pair->players[1 - entry.ownSide]->name;
}

// A cell's bit is set by the match that first counts into it, and every match
// adds one to a side's wins or to neither: the entry's match wins and losses
// sum those of its cells, so they are not both zero while the pair holds
// fewer than 2^31 matches (a player met by himself adds his matches twice).
bool hasMatches(const OpponentEntry& entry) {
  const auto& used = entry.pair->usedCells;
  return std::any_of(used.begin(), used.end(),
                     [](std::uint32_t mask) { return mask != 0; });
}

CellCounts matchupCell(const OpponentEntry& entry, int own, int opposing) {
  const PairRecord& pair = *entry.pair;
  std::uint32_t wins = 0;
  std::uint32_t losses = 0;
  // The cell as side `side` sees it, as addView adds it.
  forOwnSides(pair, entry.ownSide, [&](int side) {
    const int row = side == 0 ? own : opposing;
    const int column = side == 0 ? opposing : own;
    if ((pair.usedCells[row] >> column & 1U) == 0) return;
    const PairCell& cell = (*pair.rows[row])[column];
    wins += cell.wins[side];
    losses += cell.wins[1 - side] + cell.neither;
  });
  return {static_cast<std::int32_t>(wins), static_cast<std::int32_t>(losses)};
}

}  // namespace sessionstats
