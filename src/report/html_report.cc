#include "report/html_report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report/html_chart.h"
#include "report/html_heatmap.h"
#include "report/html_insights.h"
#include "report/html_opponents.h"
#include "report/html_page.h"
#include "report/html_sessions.h"
#include "report/html_table.h"
#include "report/report_format.h"
#include "stats/character_roster.h"
#include "stats/match_log.h"
#include "stats/win_rate_interval.h"

namespace sessionstats {
namespace {

// A matchup needs this many matches to be among those that matter, and
// that many of the best and of the worst are shown.
constexpr std::int64_t kMatchupMinMatches = 20;
constexpr std::size_t kMatchupsShown = 5;
// A length band has a bar of its own when it holds at least 1/kTailShare of
// the matches, or when a later one does; the rarer longer matches share one
// more band, "N+".
constexpr std::int64_t kTailShare = 200;

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
  const std::int64_t matches = player.matches();
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

constexpr std::array<TableColumn, 6> kCharacterColumns{{
    {"Character", CellKind::kText},
    {"Matches"},
    {"Won"},
    {"Lost"},
    {"Win rate", CellKind::kRate},
    {"Rounds", CellKind::kCount, Narrow::kHide},
}};

void writeCharacterTable(HtmlPage& page, const PlayerStats& player) {
  HtmlTable table(page, "chars sticky", kCharacterColumns);
  for (int c = 0; c < kCharacterCount; ++c) {
    const std::int32_t won = player.charWins[c];
    const std::int32_t lost = player.charLosses[c];
    if (won == 0 && lost == 0) continue;
    table.text(kRoster.longName[c])
        .results(won, lost)
        .rounds(player.charRoundWins[c], player.charRoundLosses[c])
        .endRow();
  }
  table.end();
}

// One matchup of the player's grid: own and opposing character.
struct Matchup {
  int own = 0;
  int opposing = 0;
  std::int32_t wins = 0;
  std::int32_t losses = 0;
  double percent = 0;
};

constexpr std::array<TableColumn, 6> kMatchupColumns{{
    {"Matchup", CellKind::kText},
    {"Matches"},
    {"Won"},
    {"Lost"},
    {"Win rate", CellKind::kRate},
    {"95% interval", CellKind::kInterval, Narrow::kBelow},
}};

void writeMatchupTable(HtmlPage& page, std::string_view title,
                       const std::vector<Matchup>& matchups) {
  page.raw("<h3>").raw(title).raw("</h3>\n");
  HtmlTable table(page, "matchups sticky fold", kMatchupColumns);
  for (const Matchup& m : matchups) {
    const WinRateInterval interval = wilsonInterval(m.wins, m.losses);
    table.cell()
        .escaped(kRoster.longName[m.own])
        .raw(" vs ")
        .escaped(kRoster.longName[m.opposing]);
    table.results(m.wins, m.losses)
        .interval(interval.low, interval.high)
        .endRow();
  }
  table.end();
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
      if (won < 0 || lost < 0 ||
          std::int64_t{won} + lost < kMatchupMinMatches) {
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

// The "Match lengths" section: a bar chart of the matches in each length
// band, from 0 seconds to the last band that holds its share, then the band
// "N+" of any longer ones (so a chart of matches up to 210 s ends at
// 210-239); each bar with its exact count as its tooltip; a note when no
// band holds a match. Negative counts draw as zero.
void writeLengthChart(HtmlPage& page, const LengthCounts& lengths) {
  page.raw("<section class=\"far\">\n<h2>Match lengths</h2>\n");
  std::int64_t total = 0;
  for (const std::int32_t count : lengths) total += drawable(count);
  if (total == 0) {
    page.raw("<p class=\"note\">No match to show.</p>\n</section>\n");
    return;
  }
  int shown = 0;
  for (int band = 0; band < kLengthBucketCount; ++band) {
    if (drawable(lengths[band]) * kTailShare >= total) shown = band + 1;
  }
  std::vector<std::int64_t> counts(lengths.begin(), lengths.begin() + shown);
  std::int64_t tail = 0;
  for (int band = shown; band < kLengthBucketCount; ++band) {
    tail += drawable(lengths[band]);
  }
  if (tail > 0) counts.push_back(tail);
  const bool openEnded = tail > 0 || shown == kLengthBucketCount;
  const std::size_t last = counts.size() - 1;
  Chart chart;
  chart.label = "Bar chart of the number of matches by length in seconds";
  chart.valueTitle = "Matches";
  chart.categoryTitle = "Match length (seconds)";
  chart.rates = false;
  chart.series.resize(1);
  chart.series[0].kind = SeriesKind::kBars;
  for (std::size_t band = 0; band <= last; ++band) {
    chart.series[0].values.push_back(
        static_cast<double>(drawable(counts[band])));
    chart.labels.push_back(
        std::to_string(static_cast<std::int64_t>(band) * kLengthBandSeconds) +
        (openEnded && band == last ? "+" : ""));
  }
  writeChart(page, chart, [&](std::size_t band) {
    page.raw(chart.labels[band]);
    if (!openEnded || band != last) {
      page.raw(" to ").number(
          static_cast<std::int64_t>(band + 1) * kLengthBandSeconds - 1);
    }
    page.raw(" seconds: ")
        .count(counts[band])
        .raw(counts[band] == 1 ? " match" : " matches");
  });
  page.raw("</section>\n");
}

}  // namespace

void writeHtmlReportStart(std::ostream& out, const PlayerStats& player,
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
      "won, in percent. Point at or tap a cell for its exact counts.</p>\n");
  writeHeatmap(page, player.matchupWins, player.matchupLosses);
  page.raw("</section>\n");
  writeMatchupsThatMatter(page, player);
  writeResultsChart(page, history);
  page.flush();
}

void writeHtmlReportEnd(std::ostream& out, const PlayerStats& player,
                        const SessionHistory& history, const Insights& insights,
                        PageReader reader) {
  HtmlPage page(out);
  writeInsights(page, insights);
  writeRecentSessions(page, history);
  writeLengthChart(page, player.lengthBuckets);
  writeOpponents(page, player, history, reader);
  writePageEnd(page);
}

}  // namespace sessionstats
