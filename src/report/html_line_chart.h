#ifndef SESSION_STATS_REPORT_HTML_LINE_CHART_H_
#define SESSION_STATS_REPORT_HTML_LINE_CHART_H_

#include "report/html_page.h"
#include "stats/session_history.h"

namespace sessionstats {

/// Writes the "Results over time" section: a line chart of the share of
/// matches won, each point with its counts as its tooltip. The sessions of
/// `history` with a match are one point each when there are at most 60
/// sessions; otherwise the dated ones are summed by week (Monday to
/// Sunday), month or year, the shortest step that gives at most 60 points
/// (a session whose date is not a real date counts as undated), and a moving
/// average joins them. A note when there is no point.
void writeResultsChart(HtmlPage& page, const SessionHistory& history);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_LINE_CHART_H_
