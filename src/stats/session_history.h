#ifndef SESSION_STATS_STATS_SESSION_HISTORY_H_
#define SESSION_STATS_STATS_SESSION_HISTORY_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stats/match_filter.h"
#include "stats/match_log.h"
#include "stats/stats_records.h"
#include "stats/tally.h"

namespace sessionstats {

/// One counted session of the reported player, seen from his side: the
/// matches of that session that passed the filters in force. A long log
/// holds tens of thousands of them, hence the packed date and time, the
/// characters as sets of bits and the name kept by its record.
struct SessionSummary : Score {
  std::uint32_t ordinal = 0;     // among the sessions the log counts, from 1
  std::uint32_t date = kNoDate;  // packed, of its first match; or kNoDate
  std::string_view opponent;     // the opponent's record name
  std::int32_t seconds = 0;
  std::uint32_t time = kNoTime;  // packed, of its first match; or kNoTime
  // Bit i set when character i (kRoster's index) played a match, on the
  // player's side and on his opponent's.
  std::uint32_t ownCharacters = 0;
  std::uint32_t opposingCharacters = 0;
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
struct CurrentSession : Score {
  std::string opponent;         // the opponent's record name
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

/// What a report shows beyond the totals of the text report: the sessions, the
/// streaks and the filters in force, each filter as the user gave it ("since
/// 2026-11-01").
struct SessionHistory {
  std::vector<SessionSummary> sessions;
  Streaks streaks;
  std::vector<std::string> filters;
  // The player's session in progress at the end of the log, if any.
  std::optional<CurrentSession> current;
  // Without one, the session of his last counted match, if any: its score,
  // with the record, streak and last results as they stood at its end.
  std::optional<CurrentSession> last;
};

/// The session a log leaves open: started and not yet ended by its results
/// line or by the next start line. No players when none is open.
struct OpenSession {
  std::uint32_t ordinal = 0;  // as in MatchEntry::session
  const PlayerRecord* player1 = nullptr;
  const PlayerRecord* player2 = nullptr;
};

/// The history of `player` over `matches` (in log order, each one he plays)
/// in one pass: his sessions, his streaks, `filter` as text, and his session
/// in progress when `open` is a session he plays whose opponent passes
/// filter.opponent (else current stays empty), else his last session among
/// `matches` (else last stays empty too). A match against himself
/// counts once per side, player 1's first, as the report does.
SessionHistory buildSessionHistory(const PlayerRecord& player,
                                   const MatchLog& matches,
                                   const OpenSession& open,
                                   const MatchFilter& filter);

/// What a point of the results over time stands for.
enum class TimeStep : std::uint8_t { kSession, kWeek, kMonth, kYear };

/// A point of the results over time: one session, or the sessions of a
/// week, month or year. Its sums wrap around like every count.
struct ResultPoint {
  // The session's ordinal, or the group's first day: "2024-03-04" (the
  // Monday of a week), "2024-03" (a month), "2024" (a year).
  std::string label;
  std::string detail;  // a session's "date, vs opponent"; a group's ""
  std::int64_t sessions = 0;
  std::int32_t wins = 0;
  std::int32_t losses = 0;
};

/// The points of the results over time, in time order.
struct ResultSeries {
  TimeStep step = TimeStep::kSession;
  std::vector<ResultPoint> points;
};

/// The sessions of `history` with a match, one point each when there are at
/// most `maxPoints` sessions; otherwise the dated ones summed by week
/// (Monday to Sunday), month or year, the shortest step that gives at most
/// `maxPoints` points (a date that is no real date counts as undated).
ResultSeries resultsOverTime(const SessionHistory& history,
                             std::size_t maxPoints);

/// The share of matches won, in percent, of each point with the `span` - 1
/// before it, weighted by their matches; a negative (wrapped) count counts
/// as none, a point without a match as 0%. REQUIRES: span > 0.
std::vector<double> movingWinPercent(const std::vector<ResultPoint>& points,
                                     std::size_t span);

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_SESSION_HISTORY_H_
