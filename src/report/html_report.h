#ifndef SESSION_STATS_REPORT_HTML_REPORT_H_
#define SESSION_STATS_REPORT_HTML_REPORT_H_

#include <ostream>
#include <string_view>

#include "stats/session_history.h"
#include "stats/stats_records.h"

namespace sessionstats {

/// The Content-Security-Policy every HTML report carries in a meta tag: no
/// script, no remote or local load of any kind, only its own inline styles.
inline constexpr std::string_view kHtmlContentSecurityPolicy =
    "default-src 'none'; script-src 'none'; style-src 'unsafe-inline'; "
    "base-uri 'none'; form-action 'none'";

/// Sessions up to this many are charted one point each; more are charted
/// one point per day.
inline constexpr std::size_t kMaxSessionPoints = 40;

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
