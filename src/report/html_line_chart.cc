#include "report/html_line_chart.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report/html_chart.h"
#include "stats/match_log.h"
#include "stats/tally.h"

namespace sessionstats {
namespace {

// Sessions up to this many are charted one point each; more are grouped by
// time, into at most kMaxTimePoints points.
constexpr std::size_t kMaxSessionPoints = 60;
constexpr std::size_t kMaxTimePoints = 60;

// What a point of the chart stands for.
enum class TimeStep { kSession, kWeek, kMonth, kYear };

struct ResultPoint {
  // The session's ordinal, or the group's first day: "2024-03-04" (the
  // Monday of a week), "2024-03" (a month), "2024" (a year).
  std::string label;
  std::string detail;  // a session's date and opponent
  std::int64_t sessions = 0;
  // Sums of sessions wrap around like every count of the report.
  std::int32_t wins = 0;
  std::int32_t losses = 0;
};

// The points of the chart, in time order.
struct ResultSeries {
  TimeStep step = TimeStep::kSession;
  std::vector<ResultPoint> points;
};

// The moving average takes each point with the points before it, this many
// in all, weighted by their matches.
constexpr std::size_t kTrendPoints = 5;

// "YYYY-MM-DD" of the Monday of the week of the packed date `date`.
std::string weekStart(std::uint32_t date) {
  constexpr std::uint32_t kYearScale = 10000;
  constexpr std::uint32_t kMonthScale = 100;
  const std::chrono::sys_days day = std::chrono::year_month_day{
      std::chrono::year(static_cast<int>(date / kYearScale)),
      std::chrono::month(date / kMonthScale % kMonthScale),
      std::chrono::day(date % kMonthScale)};
  const std::chrono::year_month_day monday{
      day - (std::chrono::weekday(day) - std::chrono::Monday)};
  return formatDate(static_cast<std::uint32_t>(
      static_cast<int>(monday.year()) * kYearScale +
      static_cast<unsigned>(monday.month()) * kMonthScale +
      static_cast<unsigned>(monday.day())));
}

// What the chart calls a point of each step, in TimeStep's order.
struct StepWords {
  std::string_view pointName;  // before a point's label in its tooltip
  std::string_view axisTitle;
  std::string_view note;        // after "Share of matches won "
  std::size_t labelLength = 0;  // of a group's label, a prefix of its date
};
constexpr std::array<StepWords, 4> kStepWords = {{
    {"Session ", "Session", "per session, in the order of the log", 0},
    {"Week of ", "Week (from its Monday)", "per week", 0},
    {"Month ", "Month", "per month", 7},  // "YYYY-MM"
    {"Year ", "Year", "per year", 4},     // "YYYY"
}};

const StepWords& wordsOf(TimeStep step) {
  return kStepWords[static_cast<std::size_t>(step)];
}

// The label of the group of the packed date `packed` for `step`.
std::string groupLabel(TimeStep step, std::uint32_t packed) {
  if (step == TimeStep::kWeek) return weekStart(packed);
  return formatDate(packed).substr(0, wordsOf(step).labelLength);
}

void addSession(ResultPoint& point, const SessionSummary& session) {
  ++point.sessions;
  addWrapping(point.wins, session.matchWins);
  addWrapping(point.losses, session.matchLosses);
}

bool hasMatch(const SessionSummary& session) {
  return session.matchWins != 0 || session.matchLosses != 0;
}

std::vector<ResultPoint> groupedPoints(const SessionHistory& history,
                                       TimeStep step) {
  std::map<std::string, ResultPoint> groups;
  for (const SessionSummary& session : history.sessions) {
    if (session.date == kNoDate || !hasMatch(session)) continue;
    addSession(groups[groupLabel(step, session.date)], session);
  }
  std::vector<ResultPoint> points;
  points.reserve(groups.size());
  for (auto& [label, point] : groups) {
    point.label = label;
    points.push_back(std::move(point));
  }
  return points;
}

// The moving average: each point with the kTrendPoints - 1 before it,
// weighted by their matches.
std::vector<double> trend(const std::vector<ResultPoint>& points) {
  std::vector<double> percents;
  for (std::size_t i = 0; i < points.size(); ++i) {
    std::int64_t wins = 0;
    std::int64_t matches = 0;
    for (std::size_t j = i + 1 - std::min(i + 1, kTrendPoints); j <= i; ++j) {
      wins += drawable(points[j].wins);
      matches += drawable(points[j].wins) + drawable(points[j].losses);
    }
    percents.push_back(matches == 0 ? 0
                                    : 100.0 * static_cast<double>(wins) /
                                          static_cast<double>(matches));
  }
  return percents;
}

// The sessions with a match one point each, or the dated ones grouped by
// the shortest step that gives at most kMaxTimePoints points.
ResultSeries resultSeries(const SessionHistory& history) {
  ResultSeries series;
  if (history.sessions.size() <= kMaxSessionPoints) {
    for (const SessionSummary& session : history.sessions) {
      if (!hasMatch(session)) continue;
      ResultPoint point;
      point.label = std::to_string(session.ordinal);
      if (session.date != kNoDate) {
        point.detail = formatDate(session.date) + ", ";
      }
      point.detail += "vs ";
      point.detail += session.opponent;
      addSession(point, session);
      series.points.push_back(std::move(point));
    }
    return series;
  }
  for (const TimeStep step :
       {TimeStep::kWeek, TimeStep::kMonth, TimeStep::kYear}) {
    series.step = step;
    series.points = groupedPoints(history, step);
    if (series.points.size() <= kMaxTimePoints) break;
  }
  return series;
}

}  // namespace

void writeResultsChart(HtmlPage& page, const SessionHistory& history) {
  page.raw("<section class=\"far\">\n<h2>Results over time</h2>\n");
  const ResultSeries series = resultSeries(history);
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
    chart.series.push_back({SeriesKind::kLine, "trend", trend(points), {}});
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

}  // namespace sessionstats
