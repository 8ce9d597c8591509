#ifndef SESSION_STATS_REPORT_HTML_BAR_CHART_H_
#define SESSION_STATS_REPORT_HTML_BAR_CHART_H_

#include "report/html_page.h"
#include "stats/tally.h"

namespace sessionstats {

/// Writes the "Match lengths" section: a bar chart of the matches in each
/// length band of `lengths` from 0 seconds to the last band that holds at
/// least 0.5% of the matches, then, when longer matches remain, one band
/// "N+" of them all (so a chart of matches up to 210 s ends at 210-239);
/// every bar with its exact count as its tooltip; a note when no band holds
/// a match. Negative counts draw as zero.
void writeLengthChart(HtmlPage& page, const LengthCounts& lengths);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_BAR_CHART_H_
