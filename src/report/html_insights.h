#ifndef SESSION_STATS_REPORT_HTML_INSIGHTS_H_
#define SESSION_STATS_REPORT_HTML_INSIGHTS_H_

#include "report/html_page.h"
#include "stats/insights.h"

namespace sessionstats {

/// Writes the "What changes your results" section from `insights`: the four
/// plain answers (answerPlainly), each a sentence; a chart of the form
/// month by month that scales to the page's width, its 95% interval as a
/// band, beside the share of matches won each month (months of under 10
/// matches faint and out of that line); and a table of the conditions with
/// matches, each row first in plain words: the win-% points more or fewer
/// at an even match where the difference is clear, "no clear difference",
/// or too few matches to tell (under kMinMatchesToTell); then, alike, a
/// table of the characters played enough to tell. Under 200 dated
/// matches, one sentence saying how many more it takes instead. Figures
/// that are not numbers are drawn as 0.
void writeInsights(HtmlPage& page, const Insights& insights);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_INSIGHTS_H_
