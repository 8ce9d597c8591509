#include "stats/current_session.h"

#include <algorithm>

namespace sessionstats {

std::optional<CurrentSession> findCurrentSession(const PlayerRecord& player,
                                                 const MatchLog& matches,
                                                 const OpenSession& open,
                                                 const MatchFilter& filter) {
  if (open.player1 != &player && open.player2 != &player) return std::nullopt;
  const PlayerRecord* const opponent =
      open.player1 == &player ? open.player2 : open.player1;
  if (filter.opponent && opponent->name != *filter.opponent) {
    return std::nullopt;
  }
  CurrentSession current;
  current.opponent = opponent->name;
  // The last results go round a ring: the log may hold millions of matches.
  std::vector<bool> ring(kLastResultCount);
  std::size_t results = 0;
  for (const MatchEntry& entry : matches) {
    const bool thisSession = entry.session == open.ordinal;
    forEachSide(entry, player, [&](const MatchSide& side) {
      ring[results % kLastResultCount] = side.won;
      ++results;
      if (current.streak == 0 || current.streakIsWinning != side.won) {
        current.streak = 0;
        current.streakIsWinning = side.won;
      }
      ++current.streak;
      if (side.opponent == opponent) {
        addWrapping(side.won ? current.recordWins : current.recordLosses, 1);
      }
      if (!thisSession) return;
      addWrapping(side.won ? current.matchWins : current.matchLosses, 1);
      addWrapping(current.roundWins, side.ownRounds);
      addWrapping(current.roundLosses, side.opposingRounds);
      if (std::find(current.characters.begin(), current.characters.end(),
                    side.ownCharacter) == current.characters.end()) {
        current.characters.push_back(side.ownCharacter);
      }
    });
  }
  const std::size_t kept = std::min(results, kLastResultCount);
  for (std::size_t i = results - kept; i < results; ++i) {
    current.lastResults.push_back(ring[i % kLastResultCount]);
  }
  return current;
}

}  // namespace sessionstats
