#include "report/overlay_page.h"

#include <string>

#include "report/html_escape.h"
#include "report/html_page.h"
#include "stats/character_roster.h"

namespace sessionstats {
namespace {

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
void appendScore(std::string& page, std::int64_t wins, std::int64_t losses) {
  page += "<span class=\"win\">";
  page += std::to_string(wins);
  page += "</span> - <span class=\"loss\">";
  page += std::to_string(losses);
  page += "</span>";
}

void appendLine(std::string& page, std::string_view classes) {
  page += "<div class=\"";
  page += classes;
  page += "\">";
}

void appendSession(std::string& page, std::string_view player,
                   const CurrentSession& current) {
  appendLine(page, "players");
  appendNameElement(page, player);
  page += " <span class=\"detail\">vs</span> <span class=\"opponent\">";
  appendNameElement(page, current.opponent);
  page += "</span></div>\n";
  appendLine(page, "score");
  appendScore(page, current.matchWins, current.matchLosses);
  page += "</div>\n";
  appendLine(page, "rounds detail");
  page += "Rounds ";
  appendScore(page, current.roundWins, current.roundLosses);
  page += "</div>\n";
  appendLine(page, "streak detail");
  page += "Streak: ";
  if (current.streak == 0) {
    page += "none";
  } else {
    page += current.streakIsWinning ? "<span class=\"win\">"
                                    : "<span class=\"loss\">";
    page += std::to_string(current.streak);
    if (current.streakIsWinning) {
      page += current.streak == 1 ? " win" : " wins";
    } else {
      page += current.streak == 1 ? " loss" : " losses";
    }
    page += "</span>";
  }
  page += "</div>\n";
  appendLine(page, "record detail");
  page += "All-time vs ";
  appendNameElement(page, current.opponent);
  page += ": ";
  appendScore(page, current.recordWins, current.recordLosses);
  page += "</div>\n";
  appendLine(page, "last-results detail");
  // Boxes of one width keep a W, wider than an L, in step with the rest.
  page += "Last ";
  page += std::to_string(current.lastResults.size());
  page += ": ";
  for (const bool won : current.lastResults) {
    page += won ? "<span class=\"mark win\">W</span>"
                : "<span class=\"mark loss\">L</span>";
  }
  page += "</div>\n";
  appendLine(page, "characters detail");
  bool first = true;
  for (const int character : current.characters) {
    if (!first) page += ", ";
    first = false;
    appendHtmlEscaped(page, kRoster.longName[character]);
  }
  page += "</div>\n";
}

}  // namespace

void writeOverlayPage(std::ostream& out, std::string_view player,
                      const SessionHistory& history) {
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"";
  page += kHtmlContentSecurityPolicy;
  page += "\">\n<meta http-equiv=\"refresh\" content=\"";
  page += std::to_string(kRefreshSeconds);
  page += "\">\n<title>";
  appendIsolatedName(page, player);
  page += "</title>\n<style>\n";
  page += kOverlayStyle;
  page += "</style>\n</head>\n<body>\n";
  if (history.current) {
    appendSession(page, player, *history.current);
  } else if (history.last) {
    appendLine(page, "last-session detail");
    page += "Last session";
    page += "</div>\n";
    appendSession(page, player, *history.last);
  } else {
    appendLine(page, "players");
    appendNameElement(page, player);
    page += "</div>\n";
    appendLine(page, "waiting detail");
    page += "Waiting for a session";
    page += "</div>\n";
  }
  page += "</body>\n</html>\n";
  out.write(page.data(), static_cast<std::streamsize>(page.size()));
}

}  // namespace sessionstats
