#ifndef SESSION_STATS_STATS_MATCH_FILTER_H_
#define SESSION_STATS_STATS_MATCH_FILTER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "stats/match_log.h"
#include "stats/stats_records.h"

namespace sessionstats {

/// Stands for any character in MatchFilter.
inline constexpr int kAnyCharacter = -1;

/// Which matches of the reported player count; a match must pass every
/// condition that is set. A match the player plays against himself passes
/// when either of its sides does, and then counts whole.
struct MatchFilter {
  std::optional<std::string> opponent;  // the opponent's record name
  int character = kAnyCharacter;        // the player's own character
  int against = kAnyCharacter;          // the opposing character
  std::uint32_t since = kNoDate;        // packed dates, both inclusive
  std::uint32_t until = kNoDate;
  // Only the matches of the player's last N sessions among those with a
  // match that passes the other conditions.
  std::optional<std::uint32_t> lastSessions;

  /// Whether any condition is set.
  bool any() const {
    return opponent || character != kAnyCharacter || against != kAnyCharacter ||
           since != kNoDate || until != kNoDate || lastSessions;
  }
};

/// Removes from `log` every match that `player` does not play or that fails
/// `filter`, keeping the order of the rest. With since or until set, a match
/// without a date fails. Allocates nothing.
void keepMatches(MatchLog& log, const PlayerRecord& player,
                 const MatchFilter& filter);

/// Removes from `log` every match outside the window of `filter`'s since,
/// until and lastSessions (counted over the log's sessions), whoever plays
/// it; its other conditions are not looked at. Allocates nothing.
void keepMatchesInWindow(MatchLog& log, const MatchFilter& filter);

/// Counts `matches` again into `records` (which must be empty), as if the
/// log held only them in their sessions: `player`'s opponent entries are
/// made in the order of his own, so a report of his record in `records`
/// lists his opponents as the full one does. REQUIRES: every match is one
/// that `player` plays; `player` outlives `records`' use.
void replayMatches(const PlayerRecord& player, const MatchLog& matches,
                   StatsRecords& records);

/// Each condition of `filter` as a short text: "opponent Moth", "character
/// Sion", "against Ciel", "since 2026-11-01", "until 2026-11-30", "last 3
/// sessions".
std::vector<std::string> describeFilter(const MatchFilter& filter);

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_MATCH_FILTER_H_
