#ifndef SESSION_STATS_REPORT_HTML_SESSIONS_H_
#define SESSION_STATS_REPORT_HTML_SESSIONS_H_

#include "report/html_page.h"
#include "stats/session_history.h"

namespace sessionstats {

/// Writes the "Results over time" section: a line chart of the share of
/// matches won at each point of resultsOverTime (at most 60), each with its
/// counts as its tooltip, and a dashed moving average of five points when
/// they are groups of sessions. A note when there is no point.
void writeResultsChart(HtmlPage& page, const SessionHistory& history);

/// Writes the "Recent sessions" section: a table of the last 20 sessions of
/// `history`, the newest first, or a note when there is none.
void writeRecentSessions(HtmlPage& page, const SessionHistory& history);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_SESSIONS_H_
