#include "report/html_sessions.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "report/html_chart.h"
#include "report/html_table.h"
#include "report/report_format.h"
#include "stats/character_roster.h"
#include "stats/match_log.h"

namespace sessionstats {
namespace {

// How many of the last sessions the page lists.
constexpr std::size_t kRecentSessions = 20;
// The results over time have at most this many points; the moving average
// takes each with the points before it, kTrendPoints in all.
constexpr std::size_t kMaxPoints = 60;
constexpr std::size_t kTrendPoints = 5;

// What the chart calls a point of each step, in TimeStep's order.
struct StepWords {
  std::string_view pointName;  // before a point's label in its tooltip
  std::string_view axisTitle;
  std::string_view note;  // after "Share of matches won "
};
constexpr std::array<StepWords, 4> kStepWords = {{
    {"Session ", "Session", "per session, in the order of the log"},
    {"Week of ", "Week (from its Monday)", "per week"},
    {"Month ", "Month", "per month"},
    {"Year ", "Year", "per year"},
}};

const StepWords& wordsOf(TimeStep step) {
  return kStepWords[static_cast<std::size_t>(step)];
}

// The short names of the characters whose bits `characters` sets.
void writeCharacters(HtmlPage& page, std::uint32_t characters) {
  std::string_view separator;
  for (int c = 0; c < kCharacterCount; ++c) {
    if ((characters >> c & 1U) == 0) continue;
    page.raw(separator).escaped(kRoster.shortName[c]);
    separator = ", ";
  }
}

// A session's row: the date and time of its first match ("–" where the log
// gives none), the opponent, matches and rounds won and lost, the time
// played and the characters of both sides in roster order.
constexpr std::array<TableColumn, 6> kSessionColumns{{
    {"Started", CellKind::kText},
    {"Opponent", CellKind::kText},
    {"Matches"},
    {"Rounds", CellKind::kCount, Narrow::kHide},
    {"Length", CellKind::kCount, Narrow::kHide},
    {"Characters", CellKind::kText, Narrow::kBelow},
}};

void writeSessionRow(HtmlTable& table, const SessionSummary& session) {
  HtmlPage& page = table.cell();
  if (session.date == kNoDate && session.time == kNoTime) {
    page.raw("–");
  } else {
    page.put(kMaxStampLength, writeDate, session.date)
        .raw(session.date != kNoDate && session.time != kNoTime ? " " : "")
        .put(kMaxStampLength, writeTime, session.time);
  }
  table.name(session.opponent)
      .cell()
      .count(session.matchWins)
      .raw("–")
      .count(session.matchLosses);
  table.cell().count(session.roundWins).raw("–").count(session.roundLosses);
  table.cell().duration(session.seconds);
  writeCharacters(table.cell(), session.ownCharacters);
  page.raw(" vs ");
  writeCharacters(page, session.opposingCharacters);
  table.endRow();
}

}  // namespace

void writeResultsChart(HtmlPage& page, const SessionHistory& history) {
  page.raw("<section class=\"far\">\n<h2>Results over time</h2>\n");
  const ResultSeries series = resultsOverTime(history, kMaxPoints);
  const std::vector<ResultPoint>& points = series.points;
  if (points.empty()) {
    page.raw(
        "<p class=\"note\">No dated session: there is no result to show over "
        "time.</p>\n</section>\n");
    return;
  }
  const bool grouped = series.step != TimeStep::kSession;
  page.raw("<p class=\"note\">Share of matches won ")
      .raw(wordsOf(series.step).note)
      .raw(grouped ? "; the dashed line is the average of each point with the "
                     "four before it, weighted by matches"
                   : "")
      .raw(".</p>\n");
  const StepWords& words = wordsOf(series.step);
  Chart chart;
  chart.label = "Line chart of the win rate over time";
  chart.valueTitle = "Matches won";
  chart.categoryTitle = words.axisTitle;
  ChartSeries line;
  line.svgClass = "line";
  for (const ResultPoint& point : points) {
    line.values.push_back(winPercentage(point.wins, point.losses));
    chart.labels.push_back(point.label);
  }
  chart.series.push_back(line);
  if (grouped) {
    chart.series.push_back({SeriesKind::kLine,
                            "trend",
                            movingWinPercent(points, kTrendPoints),
                            {}});
  }
  line.kind = SeriesKind::kPoints;
  chart.series.push_back(std::move(line));
  writeChart(page, chart, [&](std::size_t i) {
    const ResultPoint& point = points[i];
    page.raw(words.pointName)
        .escaped(point.label)
        .raw(point.detail.empty() ? "" : " (")
        .isolatedName(point.detail)  // ends in the opponent's name
        .raw(point.detail.empty() ? "" : ")")
        .raw(": ");
    if (grouped) {
      page.count(point.sessions)
          .raw(point.sessions == 1 ? " session, " : " sessions, ")
          .count(std::int64_t{point.wins} + point.losses)
          .raw(" matches, ");
    }
    page.count(point.wins)
        .raw(" won, ")
        .count(point.losses)
        .raw(" lost (")
        .winRate(point.wins, point.losses)
        .raw(")");
  });
  page.raw("</section>\n");
}

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
      "side.</p>\n");
  HtmlTable table(page, "recent sticky fold", kSessionColumns);
  for (auto session = sessions.rbegin();
       session != sessions.rbegin() + static_cast<std::ptrdiff_t>(shown);
       ++session) {
    writeSessionRow(table, *session);
  }
  table.end();
  page.raw("</section>\n");
}

}  // namespace sessionstats
