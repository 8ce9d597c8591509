#include "report/html_recent_sessions.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "stats/character_roster.h"
#include "stats/match_log.h"

namespace sessionstats {
namespace {

// The short names of the characters whose bits `characters` sets.
void writeCharacters(HtmlPage& page, std::uint32_t characters) {
  std::string_view separator;
  for (int c = 0; c < kCharacterCount; ++c) {
    if ((characters >> c & 1U) == 0) continue;
    page.raw(separator).escaped(shortName(c));
    separator = ", ";
  }
}

void writeSessionRow(HtmlPage& page, const SessionSummary& session) {
  page.raw("<tr><td>");
  if (session.date == kNoDate && session.time == kNoTime) {
    page.raw("–");
  } else {
    page.put(kMaxStampLength, writeDate, session.date)
        .raw(session.date != kNoDate && session.time != kNoTime ? " " : "")
        .put(kMaxStampLength, writeTime, session.time);
  }
  page.raw("</td><td>")
      .name(session.opponent)
      .raw("</td><td>")
      .count(session.matchWins)
      .raw("–")
      .count(session.matchLosses)
      .raw("</td><td>")
      .count(session.roundWins)
      .raw("–")
      .count(session.roundLosses)
      .raw("</td><td>")
      .duration(session.seconds)
      .raw("</td><td>");
  writeCharacters(page, session.ownCharacters);
  page.raw(" vs ");
  writeCharacters(page, session.opposingCharacters);
  page.raw("</td></tr>\n");
}

}  // namespace

void writeRecentSessions(HtmlPage& page, const SessionHistory& history) {
  page.raw("<section class=\"far\" id=\"recent\">\n<h2>Recent sessions</h2>\n");
  const auto& sessions = history.sessions;
  if (sessions.empty()) {
    page.raw("<p class=\"note\">No session counted.</p>\n</section>\n");
    return;
  }
  const std::size_t shown = std::min(sessions.size(), kRecentSessions);
  page.raw("<p class=\"note\">");
  if (shown < sessions.size()) {
    page.raw("The last ")
        .count(static_cast<std::int64_t>(shown))
        .raw(" of ")
        .count(static_cast<std::int64_t>(sessions.size()))
        .raw(" sessions");
  } else {
    page.raw("Every session");
  }
  page.raw(
      ", the newest first: the time of the first match, matches "
      "and rounds won–lost, the time played and the characters of each "
      "side.</p>\n<div class=\"scroll\"><table class=\"recent sticky\">\n"
      "<tr><th>Started</th><th>Opponent</th><th>Matches</th><th>Rounds</th>"
      "<th>Length</th><th>Characters</th></tr>\n");
  for (auto session = sessions.rbegin();
       session != sessions.rbegin() + static_cast<std::ptrdiff_t>(shown);
       ++session) {
    writeSessionRow(page, *session);
  }
  page.raw("</table></div>\n</section>\n");
}

}  // namespace sessionstats
