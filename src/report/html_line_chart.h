#ifndef SESSION_STATS_REPORT_HTML_LINE_CHART_H_
#define SESSION_STATS_REPORT_HTML_LINE_CHART_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "report/html_page.h"
#include "stats/session_history.h"

namespace sessionstats {

/// Sessions up to this many are charted one point each; more are grouped by
/// time.
inline constexpr std::size_t kMaxSessionPoints = 60;
/// Grouped sessions give at most this many points: by week when that is
/// enough, else by month, else by year.
inline constexpr std::size_t kMaxTimePoints = 60;

/// What a point of the results chart stands for.
enum class TimeStep { kSession, kWeek, kMonth, kYear };

/// One point of the results chart.
struct ResultPoint {
  /// The session's ordinal, or the group's first day: "2024-03-04" (the
  /// Monday of a week), "2024-03" (a month), "2024" (a year).
  std::string label;
  std::string detail;  // a session's date and opponent
  std::int64_t sessions = 0;
  // Sums of sessions wrap around like every count of the report.
  std::int32_t wins = 0;
  std::int32_t losses = 0;
};

/// The points of the results chart, in time order.
struct ResultSeries {
  TimeStep step = TimeStep::kSession;
  std::vector<ResultPoint> points;
};

/// The sessions of `history` with a match, one point each when there are at
/// most kMaxSessionPoints sessions; otherwise the dated ones summed by week
/// (Monday to Sunday), month or year, the shortest step that gives at most
/// kMaxTimePoints points. A session whose date is not a real date counts as
/// undated.
ResultSeries resultSeries(const SessionHistory& history);

/// Writes the "Results over time" section: a line chart of the share of
/// matches won per point of resultSeries, each point with its counts as its
/// tooltip, and for grouped points a moving average; a note when there is
/// no point.
void writeResultsChart(HtmlPage& page, const SessionHistory& history);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_LINE_CHART_H_
