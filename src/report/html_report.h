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

/// Writes the report of `player` as one self-contained HTML5 page in UTF-8:
/// inline CSS and SVG, no script and no reference to any other file or
/// host. It holds the totals (figures with grouped digits, "–" for a rate
/// or an average of no match), `history`'s streaks and filters, the results
/// by character, the matchup heatmap (one cell of class "qN" per grid cell
/// with a win or a loss), the best and worst matchups of at least 20
/// matches with their 95% Wilson intervals, the win rate over `history`'s
/// sessions, what changes the results (writeInsights in html_insights.h, of
/// `insights`), the last 20 sessions (newest first), the match lengths, a table
/// of the opponents with a match counted (hasMatches), most matches first, and
/// in the same order a <details> section with his heatmap for each of the most
/// played (writeOpponents in html_opponents.h). Every name passes through
/// htmlEscaped, so any bytes in the log give well-formed UTF-8 and no markup.
/// Counts that wrapped around to negative values are shown as they are and
/// drawn as zero. Output to a failing stream is silently lost; the writer never
/// flushes.
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
