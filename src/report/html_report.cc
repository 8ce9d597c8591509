#include "report/html_report.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "report/html_bar_chart.h"
#include "report/html_chart.h"
#include "report/html_heatmap.h"
#include "report/html_line_chart.h"
#include "report/html_page.h"
#include "report/report_format.h"
#include "stats/character_roster.h"

namespace sessionstats {
namespace {

std::int64_t matchCount(std::int32_t wins, std::int32_t losses) {
  return std::int64_t{wins} + losses;
}

void writeFigure(HtmlPage& page, std::string_view label,
                 const auto& writeValue) {
  page.raw("<div class=\"figure\"><b>");
  writeValue();
  page.raw("</b><span>").raw(label).raw("</span></div>\n");
}

void writeFilters(HtmlPage& page, const std::vector<std::string>& filters) {
  page.raw("<p class=\"filters\">");
  if (filters.empty()) {
    page.raw("All matches in the log");
  } else {
    page.raw("Filters: ");
    for (std::size_t i = 0; i < filters.size(); ++i) {
      if (i > 0) page.raw(" · ");
      page.escaped(filters[i]);
    }
  }
  page.raw("</p>\n");
}

void writeStreaks(HtmlPage& page, const Streaks& streaks) {
  page.raw("<p class=\"streaks\">");
  if (streaks.longestWinning == 0 && streaks.longestLosing == 0) {
    page.raw("<span>No streak counted</span></p>\n");
    return;
  }
  page.raw("<span>Longest winning streak: ")
      .number(streaks.longestWinning)
      .raw("</span><span>Longest losing streak: ")
      .number(streaks.longestLosing)
      .raw("</span><span>Current streak: ");
  if (streaks.current > 0) {
    const bool one = streaks.current == 1;
    page.number(streaks.current)
        .raw(streaks.currentIsWinning ? (one ? " win" : " wins")
                                      : (one ? " loss" : " losses"));
  } else {
    page.raw("none");
  }
  page.raw("</span></p>\n");
}

// A match length as a figure; a player without a match has none.
void writeLengthFigure(HtmlPage& page, std::string_view label,
                       const PlayerStats& player, std::int32_t seconds) {
  writeFigure(page, label, [&] {
    if (player.shortestSeconds == kInitialShortestSeconds) {
      page.raw("–");
    } else {
      page.number(seconds).raw("s");
    }
  });
}

void writeHeader(HtmlPage& page, const PlayerStats& player,
                 const SessionHistory& history) {
  const std::int64_t matches = matchCount(player.matchWins, player.matchLosses);
  page.raw(
          "<header class=\"top\">\n<p class=\"kicker\">session-stats "
          "report</p>\n<h1>")
      .escaped(player.name)
      .raw("</h1>\n");
  writeFilters(page, history.filters);
  page.raw("<div class=\"figures\">\n");
  writeFigure(page, "matches", [&] { page.number(matches); });
  writeFigure(page, "win rate", [&] {
    page.percentage(winPercentage(player.matchWins, player.matchLosses));
  });
  writeFigure(page, "won / lost", [&] {
    page.number(player.matchWins).raw(" / ").number(player.matchLosses);
  });
  writeFigure(page, "rounds won / lost", [&] {
    page.number(player.roundWins).raw(" / ").number(player.roundLosses);
  });
  writeFigure(page, "time played", [&] {
    page.put(kMaxTimeSplitLength, formatTimeSplit, player.totalSeconds);
  });
  writeFigure(page, "average match", [&] {
    page.put(kMaxAverageLength, formatAverage, player.totalSeconds, matches)
        .raw("s");
  });
  writeLengthFigure(page, "shortest match", player, player.shortestSeconds);
  writeLengthFigure(page, "longest match", player, player.longestSeconds);
  page.raw("</div>\n");
  writeStreaks(page, history.streaks);
  page.raw("</header>\n");
}

void writeRateBar(HtmlPage& page, std::int32_t wins, std::int32_t losses) {
  const double percent = winPercentage(wins, losses);
  const double shown = drawableRate(percent);
  page.raw("<div class=\"bar\"><i><b style=\"width:")
      .number(std::lround(shown))
      .raw("%\"></b></i><em>")
      .percentage(percent)
      .raw("</em></div>");
}

void writeCharacterTable(HtmlPage& page, const CharacterCounts& wins,
                         const CharacterCounts& losses,
                         const CharacterCounts& roundWins,
                         const CharacterCounts& roundLosses) {
  page.raw(
      "<div class=\"scroll\"><table "
      "class=\"chars\">\n<tr><th>Character</th><th>Matches</th>"
      "<th>Won</th><th>Lost</th><th>Win "
      "rate</th><th>Rounds</th></tr>\n");
  for (int c = 0; c < kCharacterCount; ++c) {
    if (wins[c] == 0 && losses[c] == 0) continue;
    page.raw("<tr><td>")
        .escaped(kRoster.longName[c])
        .raw("</td><td>")
        .number(matchCount(wins[c], losses[c]))
        .raw("</td><td>")
        .number(wins[c])
        .raw("</td><td>")
        .number(losses[c])
        .raw("</td><td class=\"rate\">");
    writeRateBar(page, wins[c], losses[c]);
    page.raw("</td><td>")
        .number(roundWins[c])
        .raw(" / ")
        .number(roundLosses[c])
        .raw("</td></tr>\n");
  }
  page.raw("</table></div>\n");
}

void writeOpponentSection(HtmlPage& page, const PlayerStats& player,
                          const OpponentStats& opponent) {
  const std::int64_t matches =
      matchCount(opponent.matchWins, opponent.matchLosses);
  page.raw("<details>\n<summary>")
      .escaped(opponent.name)
      .raw("<small>")
      .number(matches)
      .raw(matches == 1 ? " match, " : " matches, ")
      .number(opponent.matchWins)
      .raw(" won, ")
      .number(opponent.matchLosses)
      .raw(" lost, ")
      .percentage(winPercentage(opponent.matchWins, opponent.matchLosses))
      .raw("</small></summary>\n<p class=\"note\">Time played ");
  page.put(kMaxTimeSplitLength, formatTimeSplit, opponent.totalSeconds);
  page.raw(" · average ");
  page.put(kMaxAverageLength, formatAverage, opponent.totalSeconds, matches)
      .raw("s");
  page.raw(" · rounds ")
      .number(opponent.roundWins)
      .raw(" won, ")
      .number(opponent.roundLosses)
      .raw(" lost</p>\n<h3>")
      .escaped(player.name)
      .raw(" by character</h3>\n");
  writeCharacterTable(page, opponent.charWins, opponent.charLosses,
                      opponent.charRoundWins, opponent.charRoundLosses);
  page.raw("<h3>").escaped(opponent.name).raw(" by character</h3>\n");
  writeCharacterTable(page, opponent.oppCharWins, opponent.oppCharLosses,
                      opponent.oppCharRoundWins, opponent.oppCharRoundLosses);
  page.raw("<h3>Matchups</h3>\n");
  writeHeatmap(page, opponent.matchupWins, opponent.matchupLosses);
  page.raw("</details>\n");
}

}  // namespace

// The opponents are built one at a time into one OpponentStats, as the text
// report does, so thousands of opponents need no memory for their counts.
void writeHtmlReport(std::ostream& out, const PlayerStats& player,
                     const SessionHistory& history) {
  HtmlPage page(out);
  writePageStart(page, player.name);
  writeHeader(page, player, history);
  page.raw("<section>\n<h2>By character</h2>\n");
  writeCharacterTable(page, player.charWins, player.charLosses,
                      player.charRoundWins, player.charRoundLosses);
  page.raw("</section>\n");
  writeLengthChart(page, player.lengthBuckets);
  page.raw(
      "<section>\n<h2>Matchups</h2>\n<p class=\"note\">Rows: the character "
      "played; columns: the character faced; each cell: matches won/lost. "
      "Point at a cell for its exact counts.</p>\n");
  writeHeatmap(page, player.matchupWins, player.matchupLosses);
  writeHeatmapLegend(page);
  page.raw("</section>\n");
  writeResultsChart(page, history);
  page.raw("<h2 class=\"opponents\">Opponents</h2>\n");
  OpponentStats opponent;
  bool anyOpponent = false;
  for (const OpponentEntry& entry : player.opponents) {
    buildOpponentStats(entry, opponent);
    if (opponent.matchWins == 0 && opponent.matchLosses == 0) continue;
    writeOpponentSection(page, player, opponent);
    anyOpponent = true;
    page.mayFlush();
  }
  if (!anyOpponent)
    page.raw("<p class=\"note\">No opponent with a result.</p>\n");
  writePageEnd(page);
}

}  // namespace sessionstats
