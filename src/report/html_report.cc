#include "report/html_report.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "report/html_bar_chart.h"
#include "report/html_chart.h"
#include "report/html_heatmap.h"
#include "report/html_line_chart.h"
#include "report/html_page.h"
#include "report/report_format.h"
#include "stats/character_roster.h"
#include "stats/win_rate_interval.h"

namespace sessionstats {
namespace {

// A matchup needs this many matches to be among those that matter, and
// that many of the best and of the worst are shown.
constexpr std::int64_t kMatchupMinMatches = 20;
constexpr std::size_t kMatchupsShown = 5;

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
      page.name(filters[i]);  // an opponent's ends in his name
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
      .count(streaks.longestWinning)
      .raw("</span><span>Longest losing streak: ")
      .count(streaks.longestLosing)
      .raw("</span><span>Current streak: ");
  if (streaks.current > 0) {
    const bool one = streaks.current == 1;
    page.count(streaks.current)
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
      page.count(seconds).raw("s");
    }
  });
}

void writeHeader(HtmlPage& page, const PlayerStats& player,
                 const SessionHistory& history) {
  const std::int64_t matches = matchCount(player.matchWins, player.matchLosses);
  page.raw(
          "<header class=\"top\">\n<p class=\"kicker\">session-stats "
          "report</p>\n<h1>")
      .name(player.name)
      .raw("</h1>\n");
  writeFilters(page, history.filters);
  page.raw("<div class=\"figures\">\n");
  writeFigure(page, "matches", [&] { page.count(matches); });
  writeFigure(page, "win rate",
              [&] { page.winRate(player.matchWins, player.matchLosses); });
  writeFigure(page, "won / lost", [&] {
    page.count(player.matchWins).raw(" / ").count(player.matchLosses);
  });
  writeFigure(page, "rounds won / lost", [&] {
    page.count(player.roundWins).raw(" / ").count(player.roundLosses);
  });
  writeFigure(page, "time played", [&] { page.duration(player.totalSeconds); });
  writeFigure(page, "average match", [&] {
    if (matches == 0) {
      page.raw("–");
    } else {
      page.put(kMaxAverageLength, formatAverage, player.totalSeconds, matches)
          .raw("s");
    }
  });
  writeLengthFigure(page, "shortest match", player, player.shortestSeconds);
  writeLengthFigure(page, "longest match", player, player.longestSeconds);
  page.raw("</div>\n");
  writeStreaks(page, history.streaks);
  page.raw("</header>\n");
}

// A bar of the share won beside the rate; the bar's width is one of the
// stylesheet's "wN" classes.
void writeRateBar(HtmlPage& page, std::int32_t wins, std::int32_t losses) {
  page.raw("<div class=\"bar\"><i><b class=\"w")
      .number(std::lround(drawableRate(winPercentage(wins, losses))))
      .raw("\"></b></i><em>")
      .winRate(wins, losses)
      .raw("</em></div>");
}

void writeCharacterTable(HtmlPage& page, const PlayerStats& player) {
  page.raw(
      "<div class=\"scroll\"><table class=\"chars sticky\">\n<tr><th>"
      "Character</th><th>Matches</th><th>Won</th><th>Lost</th><th>Win "
      "rate</th><th>Rounds</th></tr>\n");
  for (int c = 0; c < kCharacterCount; ++c) {
    const std::int32_t won = player.charWins[c];
    const std::int32_t lost = player.charLosses[c];
    if (won == 0 && lost == 0) continue;
    page.raw("<tr><td>")
        .escaped(kRoster.longName[c])
        .raw("</td><td>")
        .count(matchCount(won, lost))
        .raw("</td><td>")
        .count(won)
        .raw("</td><td>")
        .count(lost)
        .raw("</td><td class=\"rate\">");
    writeRateBar(page, won, lost);
    page.raw("</td><td>")
        .count(player.charRoundWins[c])
        .raw(" / ")
        .count(player.charRoundLosses[c])
        .raw("</td></tr>\n");
  }
  page.raw("</table></div>\n");
}

// One matchup of the player's grid: own and opposing character.
struct Matchup {
  int own = 0;
  int opposing = 0;
  std::int32_t wins = 0;
  std::int32_t losses = 0;
  double percent = 0;
};

void writeMatchupRows(HtmlPage& page, const std::vector<Matchup>& matchups) {
  for (const Matchup& m : matchups) {
    const WinRateInterval interval = wilsonInterval(m.wins, m.losses);
    page.raw("<tr><td>")
        .escaped(kRoster.longName[m.own])
        .raw(" vs ")
        .escaped(kRoster.longName[m.opposing])
        .raw("</td><td>")
        .count(matchCount(m.wins, m.losses))
        .raw("</td><td>")
        .count(m.wins)
        .raw("</td><td>")
        .count(m.losses)
        .raw("</td><td class=\"rate\">");
    writeRateBar(page, m.wins, m.losses);
    page.raw("</td><td>")
        .shortPercentage(interval.low)
        .raw(" – ")
        .shortPercentage(interval.high)
        .raw("</td></tr>\n");
  }
}

void writeMatchupTable(HtmlPage& page, std::string_view title,
                       const std::vector<Matchup>& matchups) {
  page.raw("<h3>").raw(title).raw(
      "</h3>\n<div class=\"scroll\"><table class=\"matchups sticky\">\n"
      "<tr><th>Matchup</th><th>Matches</th><th>Won</th><th>Lost</th>"
      "<th>Win rate</th><th>95% interval</th></tr>\n");
  writeMatchupRows(page, matchups);
  page.raw("</table></div>\n");
}

// The best and the worst matchups of the grid with enough matches to tell,
// by win rate; each one shows its Wilson interval, so a rate from few
// matches reads as the wide guess it is.
void writeMatchupsThatMatter(HtmlPage& page, const PlayerStats& player) {
  std::vector<Matchup> matchups;
  for (int own = 0; own < kCharacterCount; ++own) {
    for (int opposing = 0; opposing < kCharacterCount; ++opposing) {
      const int cell = matchupIndex(own, opposing);
      const std::int32_t won = player.matchupWins[cell];
      const std::int32_t lost = player.matchupLosses[cell];
      if (won < 0 || lost < 0 || matchCount(won, lost) < kMatchupMinMatches) {
        continue;
      }
      matchups.push_back({own, opposing, won, lost, winPercentage(won, lost)});
    }
  }
  page.raw("<section>\n<h2>Matchups that matter</h2>\n");
  if (matchups.empty()) {
    page.raw("<p class=\"note\">No matchup has ")
        .count(kMatchupMinMatches)
        .raw(
            " matches yet: too few to tell a strong matchup from a lucky "
            "run.</p>\n</section>\n");
    return;
  }
  page.raw("<p class=\"note\">Matchups with at least ")
      .count(kMatchupMinMatches)
      .raw(
          " matches. The 95% interval is where the true win rate lies, "
          "given how many matches were played (Wilson score).</p>\n");
  std::stable_sort(
      matchups.begin(), matchups.end(),
      [](const Matchup& a, const Matchup& b) { return a.percent > b.percent; });
  const std::size_t best = std::min(kMatchupsShown, (matchups.size() + 1) / 2);
  const std::size_t worst = std::min(kMatchupsShown, matchups.size() - best);
  writeMatchupTable(
      page, "Best",
      {matchups.begin(), matchups.begin() + static_cast<std::ptrdiff_t>(best)});
  if (worst > 0) {
    writeMatchupTable(page, "Worst",
                      {matchups.rbegin(),
                       matchups.rbegin() + static_cast<std::ptrdiff_t>(worst)});
  }
  page.raw("</section>\n");
}

// The totals of an opponent, without the per-character counts.
struct OpponentTotals {
  std::int32_t matchWins = 0;
  std::int32_t matchLosses = 0;
  std::int32_t roundWins = 0;
  std::int32_t roundLosses = 0;
  std::int32_t totalSeconds = 0;
};

// An opponent with a result, as its row of the opponents table shows it.
struct OpponentRow {
  const OpponentEntry* entry = nullptr;
  std::string_view name;
  OpponentTotals totals;
  std::string_view lastDate;  // "" when no session with him is dated
};

// The opponents with a result, most matches first; equal ones in the order
// they were met.
std::vector<OpponentRow> opponentRows(const PlayerStats& player,
                                      const SessionHistory& history) {
  std::unordered_map<std::string_view, std::string_view> lastDates;
  for (const SessionSummary& session : history.sessions) {
    if (session.date.empty()) continue;
    std::string_view& last = lastDates[session.opponent];
    last = std::max<std::string_view>(last, session.date);
  }
  std::vector<OpponentRow> rows;
  OpponentStats stats;
  for (const OpponentEntry& entry : player.opponents) {
    if (!hasMatches(entry)) continue;
    buildOpponentStats(entry, stats);
    const auto found = lastDates.find(stats.name);
    const OpponentTotals totals{stats.matchWins, stats.matchLosses,
                                stats.roundWins, stats.roundLosses,
                                stats.totalSeconds};
    rows.push_back({&entry, stats.name, totals,
                    found == lastDates.end() ? "" : found->second});
  }
  std::stable_sort(
      rows.begin(), rows.end(), [](const OpponentRow& a, const OpponentRow& b) {
        return matchCount(a.totals.matchWins, a.totals.matchLosses) >
               matchCount(b.totals.matchWins, b.totals.matchLosses);
      });
  return rows;
}

void writeOpponentTable(HtmlPage& page, const std::vector<OpponentRow>& rows) {
  page.raw(
      "<section class=\"far\">\n<p class=\"note\">Sorted by matches, most "
      "first; the sections below follow the same order, each with the "
      "matches won/lost by the character played (rows) and faced "
      "(columns).</p>\n<div "
      "class=\"scroll\"><table class=\"opps sticky\">\n<tr><th>Opponent</th>"
      "<th>Matches</th><th>Won</th><th>Lost</th><th>Win rate</th>"
      "<th>Rounds</th><th>Time played</th><th>Last met</th></tr>\n");
  for (const OpponentRow& row : rows) {
    const OpponentTotals& t = row.totals;
    page.raw("<tr><td>")
        .name(row.name)
        .raw("</td><td>")
        .count(matchCount(t.matchWins, t.matchLosses))
        .raw("</td><td>")
        .count(t.matchWins)
        .raw("</td><td>")
        .count(t.matchLosses)
        .raw("</td><td class=\"rate\">");
    writeRateBar(page, t.matchWins, t.matchLosses);
    page.raw("</td><td>")
        .count(t.roundWins)
        .raw(" / ")
        .count(t.roundLosses)
        .raw("</td><td>")
        .duration(t.totalSeconds)
        .raw("</td><td>")
        .raw(row.lastDate.empty() ? "–" : "")
        .escaped(row.lastDate)
        .raw("</td></tr>\n");
    page.mayFlush();
  }
  page.raw("</table></div>\n</section>\n");
}

void writeOpponentSection(HtmlPage& page, const OpponentStats& opponent,
                          std::string_view lastDate) {
  const std::int64_t matches =
      matchCount(opponent.matchWins, opponent.matchLosses);
  page.raw("<details class=\"opp\">\n<summary>")
      .name(opponent.name)
      .raw("<small>")
      .count(matches)
      .raw(matches == 1 ? " match, " : " matches, ")
      .count(opponent.matchWins)
      .raw(" won, ")
      .count(opponent.matchLosses)
      .raw(" lost, ")
      .winRate(opponent.matchWins, opponent.matchLosses)
      .raw("</small></summary>\n<p class=\"note\">Time played ")
      .duration(opponent.totalSeconds)
      .raw(" · average ");
  page.put(kMaxAverageLength, formatAverage, opponent.totalSeconds, matches)
      .raw("s · rounds ")
      .count(opponent.roundWins)
      .raw(" won, ")
      .count(opponent.roundLosses)
      .raw(" lost");
  if (!lastDate.empty()) page.raw(" · last met ").escaped(lastDate);
  page.raw("</p>\n");
  writeCountHeatmap(page, opponent.matchupWins, opponent.matchupLosses,
                    {opponent.charWins, opponent.charLosses,
                     opponent.oppCharLosses, opponent.oppCharWins});
  page.raw("</details>\n");
}

}  // namespace

// The opponents are summed once for the table and again, one at a time
// into one OpponentStats, for their sections, so thousands of opponents
// need memory only for their totals.
void writeHtmlReport(std::ostream& out, const PlayerStats& player,
                     const SessionHistory& history) {
  HtmlPage page(out);
  writePageStart(page, player.name);
  writeHeader(page, player, history);
  page.raw("<section>\n<h2>By character</h2>\n");
  writeCharacterTable(page, player);
  page.raw("</section>\n");
  page.raw(
      "<section>\n<h2>Matchups</h2>\n<p class=\"note\">Rows: the character "
      "played; columns: the character faced; each cell: the share of matches "
      "won, in percent. Point at a cell for its exact counts.</p>\n");
  writeHeatmap(page, player.matchupWins, player.matchupLosses);
  page.raw("</section>\n");
  writeMatchupsThatMatter(page, player);
  writeResultsChart(page, history);
  writeLengthChart(page, player.lengthBuckets);
  page.raw("<h2 class=\"opponents\">Opponents</h2>\n");
  const std::vector<OpponentRow> rows = opponentRows(player, history);
  if (rows.empty()) {
    page.raw("<p class=\"note\">No opponent with a result.</p>\n");
  } else {
    writeOpponentTable(page, rows);
  }
  OpponentStats opponent;
  for (const OpponentRow& row : rows) {
    buildOpponentStats(*row.entry, opponent);
    writeOpponentSection(page, opponent, row.lastDate);
    page.mayFlush();
  }
  writePageEnd(page);
}

}  // namespace sessionstats
