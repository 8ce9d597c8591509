#ifndef SESSION_STATS_REPORT_OVERLAY_PAGE_H_
#define SESSION_STATS_REPORT_OVERLAY_PAGE_H_

#include <ostream>
#include <string_view>

#include "stats/session_history.h"

namespace sessionstats {

/// Seconds after which the overlay page asks the browser to load it again.
inline constexpr int kOverlayRefreshSeconds = 1;

/// What the overlay shows before the player's first match.
inline constexpr std::string_view kWaitingForSession = "Waiting for a session";

/// The label over the last session, shown between sessions.
inline constexpr std::string_view kLastSessionLabel = "Last session";

/// Writes the overlay of `player` for a streaming program's browser source:
/// one small self-contained HTML5 page in UTF-8 on a transparent background,
/// with the content security policy of the HTML report (no script at all)
/// and a <meta http-equiv="refresh"> every kOverlayRefreshSeconds. With
/// history.current it shows the player against the opponent, the session's
/// score in matches and rounds, the streak, the record against this
/// opponent, the last results as W and L marks of one width after "Last
/// 10:" and the characters played; else the same of history.last under
/// kLastSessionLabel; without either, the name and kWaitingForSession. Colours
/// and size are CSS custom properties on :root (--overlay-size, --overlay-text,
/// --overlay-outline,
/// --overlay-win, --overlay-loss, --overlay-font). Every name passes through
/// htmlEscaped. Output to a failing stream is silently lost.
void writeOverlayPage(std::ostream& out, std::string_view player,
                      const SessionHistory& history);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_OVERLAY_PAGE_H_
