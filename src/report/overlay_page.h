#ifndef SESSION_STATS_REPORT_OVERLAY_PAGE_H_
#define SESSION_STATS_REPORT_OVERLAY_PAGE_H_

#include <ostream>
#include <string_view>

#include "stats/session_history.h"

namespace sessionstats {

/// Writes the overlay of `player` for a streaming program's browser source:
/// one small self-contained HTML5 page in UTF-8 on a transparent background,
/// with the content security policy of the HTML report (no script at all)
/// and a <meta http-equiv="refresh"> every second. With history.current it
/// shows the player against the opponent, the session's score in matches
/// and rounds, the streak, the record against this opponent (under
/// "All-time", or under history.filters but an opponent filter when others
/// are in force: "Since 2026-11-02 vs Moth"), the last
/// results as W and L marks of one width after "Last
/// 10:" and the characters played; else the same of history.last under
/// "Last session"; without either, the name and "Waiting for a session".
/// Colours and size are CSS custom properties on :root (--overlay-size,
/// --overlay-text, --overlay-outline, --overlay-win, --overlay-loss,
/// --overlay-font). Every name is escaped (HtmlPage::escaped). Output to a
/// failing stream is silently lost.
void writeOverlayPage(std::ostream& out, std::string_view player,
                      const SessionHistory& history);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_OVERLAY_PAGE_H_
