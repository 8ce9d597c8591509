#ifndef SESSION_STATS_REPORT_HTML_OPPONENTS_H_
#define SESSION_STATS_REPORT_HTML_OPPONENTS_H_

#include "report/html_page.h"
#include "report/html_report.h"
#include "stats/session_history.h"
#include "stats/stats_records.h"

namespace sessionstats {

/// Writes the opponents part of the HTML report: a table of every opponent
/// of `player` with a match counted (hasMatches), most matches first (equal
/// ones in the order met), with his totals and the date of the last session
/// with him in `history`; then, in the same order, a <details> section with
/// his heatmap for each of the first 30, and when there are more, a line
/// under the table that says how to see any other one (for `reader`: by an
/// option, or in the text report beside the page). A note instead when no
/// opponent has a match.
void writeOpponents(HtmlPage& page, const PlayerStats& player,
                    const SessionHistory& history, PageReader reader);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_OPPONENTS_H_
