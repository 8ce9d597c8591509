#ifndef SESSION_STATS_REPORT_HTML_REPORT_H_
#define SESSION_STATS_REPORT_HTML_REPORT_H_

#include <ostream>

#include "stats/session_history.h"
#include "stats/stats_records.h"

namespace sessionstats {

/// Writes the report of `player` as one self-contained HTML5 page in UTF-8:
/// inline CSS and SVG, no script and no reference to any other file or
/// host. It holds the totals, `history`'s streaks and filters, the results
/// by character, the match lengths, the matchup heatmap (one SVG group of
/// class "cell" per grid cell with a win or a loss), the win rate over
/// `history`'s sessions and one <details> section per opponent with a result,
/// in the order they were met. Every name passes through htmlEscaped, so any
/// bytes in the log give well-formed UTF-8 and no markup. Counts that wrapped
/// around to negative values are shown as they are and drawn as zero.
/// Output to a failing stream is silently lost; the writer never flushes.
void writeHtmlReport(std::ostream& out, const PlayerStats& player,
                     const SessionHistory& history);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_REPORT_H_
