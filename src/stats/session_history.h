#ifndef SESSION_STATS_STATS_SESSION_HISTORY_H_
#define SESSION_STATS_STATS_SESSION_HISTORY_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stats/match_log.h"

namespace sessionstats {

/// One counted session of the reported player, seen from his side: the
/// matches of that session that passed the filters in force. A long log
/// holds tens of thousands of them, hence the packed date and the name kept
/// by its record.
struct SessionSummary {
  std::uint32_t ordinal = 0;     // among the sessions the log counts, from 1
  std::uint32_t date = kNoDate;  // packed, of its first match; or kNoDate
  std::string_view opponent;     // the opponent's record name
  std::int32_t matchWins = 0;
  std::int32_t matchLosses = 0;
  std::int32_t roundWins = 0;
  std::int32_t roundLosses = 0;
  std::int32_t seconds = 0;
};

/// Runs of consecutive matches of the reported player, in log order.
struct Streaks {
  std::int64_t longestWinning = 0;
  std::int64_t longestLosing = 0;
  std::int64_t current = 0;       // length of the run in progress at the end
  bool currentIsWinning = false;  // meaningful when current > 0
};

/// Most results that CurrentSession::lastResults holds.
inline constexpr std::size_t kLastResultCount = 10;

/// The reported player's session in progress, from his side, over the
/// matches the report counts (those that pass the filters), with what a
/// player on stream wants beside it.
struct CurrentSession {
  std::string opponent;  // the opponent's record name
  std::int32_t matchWins = 0;
  std::int32_t matchLosses = 0;
  std::int32_t roundWins = 0;
  std::int32_t roundLosses = 0;
  std::vector<int> characters;  // own characters, in the order first played
  // Every counted match against this opponent, this session's included.
  std::int32_t recordWins = 0;
  std::int32_t recordLosses = 0;
  // The run of equal results that the last counted match belongs to, over
  // all sessions: 0 before any match.
  std::int64_t streak = 0;
  bool streakIsWinning = false;
  // The last kLastResultCount counted results or fewer, over all sessions,
  // the oldest first: true for a win.
  std::vector<bool> lastResults;
};

/// What a report shows beyond the classic totals: the sessions, the streaks
/// and the filters in force, each filter as the user gave it ("since
/// 2026-11-01").
struct SessionHistory {
  std::vector<SessionSummary> sessions;
  Streaks streaks;
  std::vector<std::string> filters;
  // The player's session in progress at the end of the log, if any.
  std::optional<CurrentSession> current;
};

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_SESSION_HISTORY_H_
