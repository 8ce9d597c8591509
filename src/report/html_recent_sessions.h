#ifndef SESSION_STATS_REPORT_HTML_RECENT_SESSIONS_H_
#define SESSION_STATS_REPORT_HTML_RECENT_SESSIONS_H_

#include <cstddef>

#include "report/html_page.h"
#include "stats/session_history.h"

namespace sessionstats {

/// How many of the last sessions the page lists.
inline constexpr std::size_t kRecentSessions = 20;

/// Writes the "Recent sessions" section: a table of the last
/// kRecentSessions sessions of `history`, the newest first, each with the
/// date and time of its first match ("–" where the log gives none), the
/// opponent, matches and rounds won and lost, the time played and the
/// characters of both sides in roster order. A note instead when there is
/// no session.
void writeRecentSessions(HtmlPage& page, const SessionHistory& history);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_RECENT_SESSIONS_H_
