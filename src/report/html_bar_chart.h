#ifndef SESSION_STATS_REPORT_HTML_BAR_CHART_H_
#define SESSION_STATS_REPORT_HTML_BAR_CHART_H_

#include "report/html_page.h"
#include "stats/tally.h"

namespace sessionstats {

/// Writes the "Match lengths" section: a bar chart of the matches in each
/// length band of `lengths`, every bar with its exact count as its tooltip,
/// or a note when no band holds a match. Negative counts draw as zero.
void writeLengthChart(HtmlPage& page, const LengthCounts& lengths);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_BAR_CHART_H_
