#include "stats/current_session.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace sessionstats {
namespace {

// Sums one pass over the matches into a CurrentSession. The last results go
// round a ring: the log may hold millions of matches.
class SessionSums {
 public:
  SessionSums(const PlayerRecord& opponent, std::uint32_t ordinal)
      : opponent_(opponent), ordinal_(ordinal) {
    current_.opponent = opponent.name;
  }

  void add(const MatchSide& side) {
    ring_[results_ % kLastResultCount] = side.won;
    ++results_;
    if (current_.streak == 0 || current_.streakIsWinning != side.won) {
      current_.streak = 0;
      current_.streakIsWinning = side.won;
    }
    ++current_.streak;
    if (side.opponent == &opponent_) {
      addWrapping(side.won ? current_.recordWins : current_.recordLosses, 1);
    }
    if (side.entry->session == ordinal_) addToSession(side);
  }

  CurrentSession finish() {
    const std::size_t kept = std::min(results_, kLastResultCount);
    for (std::size_t i = results_ - kept; i < results_; ++i) {
      current_.lastResults.push_back(ring_[i % kLastResultCount]);
    }
    return std::move(current_);
  }

 private:
  void addToSession(const MatchSide& side) {
    addWrapping(side.won ? current_.matchWins : current_.matchLosses, 1);
    addWrapping(current_.roundWins, side.ownRounds);
    addWrapping(current_.roundLosses, side.opposingRounds);
    std::vector<int>& characters = current_.characters;
    if (std::find(characters.begin(), characters.end(), side.ownCharacter) ==
        characters.end()) {
      characters.push_back(side.ownCharacter);
    }
  }

  const PlayerRecord& opponent_;
  std::uint32_t ordinal_ = 0;
  CurrentSession current_;
  std::array<bool, kLastResultCount> ring_{};
  std::size_t results_ = 0;
};

}  // namespace

std::optional<CurrentSession> findCurrentSession(const PlayerRecord& player,
                                                 const MatchLog& matches,
                                                 const OpenSession& open,
                                                 const MatchFilter& filter) {
  if (open.player1 != &player && open.player2 != &player) return std::nullopt;
  const PlayerRecord& opponent =
      open.player1 == &player ? *open.player2 : *open.player1;
  if (filter.opponent && opponent.name != *filter.opponent) {
    return std::nullopt;
  }
  SessionSums sums(opponent, open.ordinal);
  for (const MatchEntry& entry : matches) {
    forEachSide(entry, player,
                [&sums](const MatchSide& side) { sums.add(side); });
  }
  return sums.finish();
}

}  // namespace sessionstats
