#include "report/overlay_page.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report/html_page.h"
#include "stats/character_roster.h"

namespace sessionstats {
namespace {

// How describeFilter begins the text of an opponent filter.
constexpr std::string_view kOpponentFilter = "opponent ";

// Seconds after which the page asks the browser to load it again.
constexpr int kRefreshSeconds = 1;

// Light text with a dark outline reads on any scene a stream shows behind
// it; one custom property per colour lets a streamer restyle it with one
// line of CSS (a browser source's own CSS field, for one).
constexpr std::string_view kOverlayStyle =
    ":root{--overlay-size:40px;--overlay-text:#ffffff;"
    "--overlay-outline:#000000;--overlay-win:#5ee07a;--overlay-loss:#ff6b6b;"
    "--overlay-font:\"Segoe UI\",\"Noto Sans\",\"DejaVu Sans\",sans-serif}\n"
    "html,body{margin:0;background:transparent}\n"
    "body{padding:.3em .5em;color:var(--overlay-text);"
    "font:700 var(--overlay-size)/1.25 var(--overlay-font);"
    "-webkit-text-stroke:.12em var(--overlay-outline);paint-order:stroke fill;"
    "text-shadow:0 0 .12em var(--overlay-outline)}\n"
    "div{white-space:nowrap}\n"
    ".detail{font-size:.55em}\n"
    ".score{font-size:1.6em}\n"
    ".win{color:var(--overlay-win)}\n"
    ".loss{color:var(--overlay-loss)}\n"
    ".mark{display:inline-block;width:1.4em;text-align:center}\n";

// "<span class="win">3</span> - <span class="loss">2</span>"
void writeScore(HtmlPage& page, std::int64_t wins, std::int64_t losses) {
  page.raw("<span class=\"win\">")
      .number(wins)
      .raw("</span> - <span class=\"loss\">")
      .number(losses)
      .raw("</span>");
}

void startLine(HtmlPage& page, std::string_view classes) {
  page.raw("<div class=\"").raw(classes).raw("\">");
}

// What the record against the opponent counts: "All-time", or the filters
// in force, "Since 2026-11-02" ("Character Sion, since 2026-11-02"). An
// opponent filter keeps every match against the opponent shown.
std::string recordLabel(const std::vector<std::string>& filters) {
  std::string label;
  for (const std::string& filter : filters) {
    if (filter.starts_with(kOpponentFilter)) continue;
    if (!label.empty()) label += ", ";
    label += filter;
  }
  if (label.empty()) return "All-time";
  // Every filter's text begins with a lower-case ASCII word.
  if (label.front() >= 'a' && label.front() <= 'z') {
    label.front() = static_cast<char>(label.front() - 'a' + 'A');
  }
  return label;
}

void writeSession(HtmlPage& page, std::string_view player,
                  const CurrentSession& current,
                  const std::vector<std::string>& filters) {
  startLine(page, "players");
  page.name(player)
      .raw(" <span class=\"detail\">vs</span> <span class=\"opponent\">")
      .name(current.opponent)
      .raw("</span></div>\n");
  startLine(page, "score");
  writeScore(page, current.matchWins, current.matchLosses);
  page.raw("</div>\n");
  startLine(page, "rounds detail");
  page.raw("Rounds ");
  writeScore(page, current.roundWins, current.roundLosses);
  page.raw("</div>\n");
  startLine(page, "streak detail");
  page.raw("Streak: ");
  if (current.streak == 0) {
    page.raw("none");
  } else {
    page.raw(current.streakIsWinning ? "<span class=\"win\">"
                                     : "<span class=\"loss\">")
        .number(current.streak);
    if (current.streakIsWinning) {
      page.raw(current.streak == 1 ? " win" : " wins");
    } else {
      page.raw(current.streak == 1 ? " loss" : " losses");
    }
    page.raw("</span>");
  }
  page.raw("</div>\n");
  startLine(page, "record detail");
  page.escaped(recordLabel(filters))
      .raw(" vs ")
      .name(current.opponent)
      .raw(": ");
  writeScore(page, current.recordWins, current.recordLosses);
  page.raw("</div>\n");
  startLine(page, "last-results detail");
  // Boxes of one width keep a W, wider than an L, in step with the rest.
  page.raw("Last ")
      .number(static_cast<std::int64_t>(current.lastResults.size()))
      .raw(": ");
  for (const bool won : current.lastResults) {
    page.raw(won ? "<span class=\"mark win\">W</span>"
                 : "<span class=\"mark loss\">L</span>");
  }
  page.raw("</div>\n");
  startLine(page, "characters detail");
  bool first = true;
  for (const int character : current.characters) {
    if (!first) page.raw(", ");
    first = false;
    page.escaped(kRoster.longName[character]);
  }
  page.raw("</div>\n");
}

}  // namespace

void writeOverlayPage(std::ostream& out, std::string_view player,
                      const SessionHistory& history) {
  HtmlPage page(out);
  page.raw(
          "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta "
          "charset=\"utf-8\">\n<meta http-equiv=\"Content-Security-Policy\" "
          "content=\"")
      .raw(kHtmlContentSecurityPolicy)
      .raw("\">\n<meta http-equiv=\"refresh\" content=\"")
      .number(kRefreshSeconds)
      .raw("\">\n<title>")
      .isolatedName(player)
      .raw("</title>\n<style>\n")
      .raw(kOverlayStyle)
      .raw("</style>\n</head>\n<body>\n");
  if (history.current) {
    writeSession(page, player, *history.current, history.filters);
  } else if (history.last) {
    startLine(page, "last-session detail");
    page.raw("Last session</div>\n");
    writeSession(page, player, *history.last, history.filters);
  } else {
    startLine(page, "players");
    page.name(player).raw("</div>\n");
    startLine(page, "waiting detail");
    page.raw("Waiting for a session</div>\n");
  }
  page.raw("</body>\n</html>\n").flush();
}

}  // namespace sessionstats
