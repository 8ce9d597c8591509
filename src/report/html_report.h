#ifndef SESSION_STATS_REPORT_HTML_REPORT_H_
#define SESSION_STATS_REPORT_HTML_REPORT_H_

#include <ostream>

#include "stats/insights.h"
#include "stats/session_history.h"
#include "stats/stats_records.h"

namespace sessionstats {

/// Who the page is for: a person at a console, whom it may point to an
/// option, or one who started the tool by a double click and has none, whom
/// it points to the text report written beside the page instead.
enum class PageReader : unsigned char { kConsole, kDoubleClick };

/// Writes the report of `player` as one self-contained HTML5 page in UTF-8
/// (inline CSS and SVG, no script, no reference to another file or host):
/// the totals, the results by character and by matchup, over `history`'s
/// sessions and under the conditions of `insights`, and by opponent, in
/// words for `reader`. Any bytes in a name give well-formed UTF-8 and no
/// markup; counts that wrapped around to negative values are shown as they
/// are and drawn as zero. Output to a failing stream is silently lost.
///
/// The page is written in two calls, so that the insights can be fitted
/// while the rest is written: writeHtmlReportStart writes all before what
/// changes the results, and writeHtmlReportEnd that and the rest.
void writeHtmlReportStart(std::ostream& out, const PlayerStats& player,
                          const SessionHistory& history);
void writeHtmlReportEnd(std::ostream& out, const PlayerStats& player,
                        const SessionHistory& history, const Insights& insights,
                        PageReader reader = PageReader::kConsole);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_REPORT_H_
