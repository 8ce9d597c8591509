#ifndef SESSION_STATS_TESTS_REFERENCE_RECORDS_H_
#define SESSION_STATS_TESTS_REFERENCE_RECORDS_H_

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "stats/stats_records.h"

namespace sessionstats::testing {

/// The plain accounting that the records must agree with: every player has
/// his totals and one entry per opponent, and each match is added, side by
/// side, to both players and to each one's entry for the other, as it comes.
class ReferenceRecords {
 public:
  struct Entry {
    std::string name;
    OpponentStats stats;
  };
  struct Player {
    std::string name;
    PlayerStats stats;
    std::vector<Entry> entries;
  };

  /// A start line between `first` and `second`: players, then entries, made
  /// when missing.
  void startSession(std::string_view first, std::string_view second) {
    player1_ = &findOrAdd(first);
    player2_ = &findOrAdd(second);
    entry12_ = &findOrAddEntry(*player1_, second);
    entry21_ = &findOrAddEntry(*player2_, first);
  }

  void recordMatch(const MatchResult& match) {
    const Side side1{match.winner == 1, match.player1Rounds,
                     match.player2Rounds, match.character1, match.character2};
    const Side side2{match.winner == 2, match.player2Rounds,
                     match.player1Rounds, match.character2, match.character1};
    addPlayer(*player1_, side1, match.seconds);
    addPlayer(*player2_, side2, match.seconds);
    addEntry(*entry12_, side1, side2, match.seconds);
    addEntry(*entry21_, side2, side1, match.seconds);
  }

  const std::deque<Player>& players() const { return players_; }

 private:
  struct Side {
    bool won = false;
    std::int32_t roundsWon = 0;
    std::int32_t roundsLost = 0;
    int own = 0;
    int opposing = 0;
  };

  Player& findOrAdd(std::string_view name) {
    for (Player& player : players_) {
      if (player.name == name) return player;
    }
    Player& added = players_.emplace_back();
    added.name = name;
    return added;
  }

  static OpponentStats& findOrAddEntry(Player& owner, std::string_view name) {
    for (Entry& entry : owner.entries) {
      if (entry.name == name) return entry.stats;
    }
    owner.entries.push_back({std::string(name), {}});
    return owner.entries.back().stats;
  }

  static void add(std::int32_t& counter, std::int32_t amount) {
    addWrapping(counter, amount);
  }

  static void addTally(Tally& tally, const Side& side, std::int32_t seconds) {
    const std::int32_t wins = side.won ? 1 : 0;
    const int index = matchupIndex(side.own, side.opposing);
    add(tally.matchWins, wins);
    add(tally.matchLosses, 1 - wins);
    add(tally.roundWins, side.roundsWon);
    add(tally.roundLosses, side.roundsLost);
    add(tally.totalSeconds, seconds);
    add(tally.charWins[side.own], wins);
    add(tally.charLosses[side.own], 1 - wins);
    add(tally.charRoundWins[side.own], side.roundsWon);
    add(tally.charRoundLosses[side.own], side.roundsLost);
    add(tally.matchupWins[index], wins);
    add(tally.matchupLosses[index], 1 - wins);
  }

  static void addPlayer(Player& player, const Side& side,
                        std::int32_t seconds) {
    PlayerStats& stats = player.stats;
    addTally(stats, side, seconds);
    add(stats.lengthBuckets[lengthBucket(seconds)], 1);
    if (seconds < stats.shortestSeconds) stats.shortestSeconds = seconds;
    if (seconds > stats.longestSeconds) stats.longestSeconds = seconds;
  }

  static void addEntry(OpponentStats& entry, const Side& side,
                       const Side& other, std::int32_t seconds) {
    addTally(entry, side, seconds);
    const std::int32_t otherWins = other.won ? 1 : 0;
    add(entry.oppCharWins[other.own], otherWins);
    add(entry.oppCharLosses[other.own], 1 - otherWins);
    add(entry.oppCharRoundWins[other.own], other.roundsWon);
    add(entry.oppCharRoundLosses[other.own], other.roundsLost);
  }

  std::deque<Player> players_;
  Player* player1_ = nullptr;
  Player* player2_ = nullptr;
  OpponentStats* entry12_ = nullptr;
  OpponentStats* entry21_ = nullptr;
};

}  // namespace sessionstats::testing

#endif  // SESSION_STATS_TESTS_REFERENCE_RECORDS_H_
