#ifndef SESSION_STATS_STATS_SESSION_HISTORY_H_
#define SESSION_STATS_STATS_SESSION_HISTORY_H_

#include <cstdint>
#include <string>
#include <vector>

namespace sessionstats {

/// One counted session of the reported player, seen from his side: the
/// matches of that session that passed the filters in force.
struct SessionSummary {
  std::uint32_t ordinal = 0;  // among the sessions the log counts, from 1
  std::string date;           // "YYYY-MM-DD" of its first match; may be empty
  std::string opponent;       // the opponent's record name
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

/// What a report shows beyond the classic totals: the sessions, the streaks
/// and the filters in force, each filter as the user gave it ("since
/// 2026-11-01").
struct SessionHistory {
  std::vector<SessionSummary> sessions;
  Streaks streaks;
  std::vector<std::string> filters;
};

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_SESSION_HISTORY_H_
