#ifndef SESSION_STATS_REPORT_HTML_INSIGHTS_H_
#define SESSION_STATS_REPORT_HTML_INSIGHTS_H_

#include "report/html_page.h"
#include "stats/insights.h"

namespace sessionstats {

/// Writes the "What changes your results" section from `insights`: a chart
/// of the form month by month, its 95% interval as a band, beside the share
/// of matches won each month, with a sentence on which line is which; and a
/// table of the conditions (after a loss, the stages of a session, the hour
/// bands), each row first in plain words: the chance to win an even match
/// under it with its interval, or that it is the reference, that it has too
/// few matches to tell (under 30) or none. A note instead of both when no
/// month has a match. Figures that are not numbers are drawn as 0%.
void writeInsights(HtmlPage& page, const Insights& insights);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_INSIGHTS_H_
