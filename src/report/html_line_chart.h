#ifndef SESSION_STATS_REPORT_HTML_LINE_CHART_H_
#define SESSION_STATS_REPORT_HTML_LINE_CHART_H_

#include <cstddef>

#include "report/html_page.h"
#include "stats/session_history.h"

namespace sessionstats {

/// Sessions up to this many are charted one point each; more are charted
/// one point per day.
inline constexpr std::size_t kMaxSessionPoints = 40;

/// Writes the "Results over time" section: a line chart of the share of
/// matches won per session of `history` (sessions without a match left
/// out), or per day when there are more than kMaxSessionPoints sessions
/// (undated sessions left out), each point with its counts as its tooltip;
/// a note when no point remains.
void writeResultsChart(HtmlPage& page, const SessionHistory& history);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_LINE_CHART_H_
