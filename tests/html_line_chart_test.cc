#include "report/html_line_chart.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "stats/session_history.h"

namespace sessionstats {
namespace {

// `count` sessions of `wins` wins and 2 losses on `date`, after those in
// `history`.
void addSessions(SessionHistory& history, const std::string& date,
                 int count = 1, std::int32_t wins = 1) {
  for (int i = 0; i < count; ++i) {
    const auto ordinal =
        static_cast<std::uint32_t>(history.sessions.size() + 1);
    history.sessions.push_back(
        {ordinal, parseDate(date), "Moth", wins, 2, 2, 4, 300});
  }
}

std::string dateOf(int year, int month, int day) {
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about
  // "0" + std::string at -O2.
  std::string date = std::to_string(year);
  for (const int part : {month, day}) {
    date += part < 10 ? "-0" : "-";
    date += std::to_string(part);
  }
  return date;
}

std::vector<std::string> labels(const ResultSeries& series) {
  std::vector<std::string> out;
  for (const ResultPoint& point : series.points) out.push_back(point.label);
  return out;
}

TEST(ResultSeries, UpToTheLimitOnePointPerSessionWithAMatch) {
  SessionHistory history;
  addSessions(history, "2026-11-02", kMaxSessionPoints - 1);
  history.sessions.push_back(
      {99, parseDate("2026-11-03"), "Wren", 0, 0, 0, 0, 0});
  const ResultSeries series = resultSeries(history);
  EXPECT_EQ(series.step, TimeStep::kSession);
  ASSERT_EQ(series.points.size(), kMaxSessionPoints - 1);
  EXPECT_EQ(series.points[0].label, "1");
  EXPECT_EQ(series.points[0].detail, "2026-11-02, vs Moth");
}

TEST(ResultSeries, ManySessionsGroupByWeekFromMonday) {
  // Sunday and Monday fall in different weeks; a week may span two years.
  SessionHistory history;
  addSessions(history, "2025-12-31", 20);  // Wednesday
  addSessions(history, "2026-01-04", 20);  // Sunday, same week
  addSessions(history, "2026-11-01", 10);  // Sunday
  addSessions(history, "2026-11-02", 10);  // Monday
  addSessions(history, "", 5);             // undated
  addSessions(history, "2026-02-30", 5);   // not a date
  history.sessions.push_back(
      {99, parseDate("2026-11-02"), "Wren", 0, 0, 0, 0, 0});
  const ResultSeries series = resultSeries(history);
  EXPECT_EQ(series.step, TimeStep::kWeek);
  EXPECT_EQ(labels(series), (std::vector<std::string>{
                                "2025-12-29", "2026-10-26", "2026-11-02"}));
  EXPECT_EQ(series.points[0].sessions, 40);
  EXPECT_EQ(series.points[0].wins, 40);
  EXPECT_EQ(series.points[0].losses, 80);
  EXPECT_EQ(series.points[2].sessions, 10);
}

TEST(ResultSeries, TooManyWeeksGroupByMonthThenByYear) {
  // Sessions on the 1st and the 15th of 31 months: 61 weeks, 31 months.
  SessionHistory twiceMonthly;
  for (int half = 0; half <= static_cast<int>(kMaxTimePoints); ++half) {
    const int month = half / 2;
    addSessions(twiceMonthly, dateOf(2024 + month / 12, month % 12 + 1,
                                     half % 2 == 0 ? 1 : 15));
  }
  ResultSeries series = resultSeries(twiceMonthly);
  EXPECT_EQ(series.step, TimeStep::kMonth);
  ASSERT_EQ(series.points.size(), 31U);
  EXPECT_EQ(series.points.front().label, "2024-01");
  EXPECT_EQ(series.points.front().sessions, 2);
  EXPECT_EQ(series.points.back().label, "2026-07");
  EXPECT_EQ(series.points.back().sessions, 1);

  // One week fewer, as many sessions: 60 weeks still go by week.
  twiceMonthly.sessions.pop_back();
  addSessions(twiceMonthly, "2024-01-01");
  series = resultSeries(twiceMonthly);
  EXPECT_EQ(series.step, TimeStep::kWeek);
  EXPECT_EQ(series.points.size(), kMaxTimePoints);

  // One session a month for 61 months: 6 years.
  SessionHistory monthly;
  for (int month = 0; month <= static_cast<int>(kMaxTimePoints); ++month) {
    addSessions(monthly, dateOf(2020 + month / 12, month % 12 + 1, 15));
  }
  series = resultSeries(monthly);
  EXPECT_EQ(series.step, TimeStep::kYear);
  EXPECT_EQ(labels(series), (std::vector<std::string>{"2020", "2021", "2022",
                                                      "2023", "2024", "2025"}));
  EXPECT_EQ(series.points.back().sessions, 1);
}

// The points of the polyline of class `kind` in `html`, "x,y" each.
std::vector<std::string> polyline(const std::string& html,
                                  const std::string& kind) {
  const std::string start = "<polyline class=\"" + kind + "\" points=\"";
  const std::size_t at = html.find(start) + start.size();
  std::istringstream points(html.substr(at, html.find('"', at) - at));
  return {std::istream_iterator<std::string>(points), {}};
}

TEST(ResultsChart, TheTrendOfAPointAveragesItAndTheFourBefore) {
  // A week mostly won, then five weeks all lost: the sixth trend point no
  // longer holds the first week.
  SessionHistory history;
  addSessions(history, "2026-11-02", 11, 8);
  for (const char* date :
       {"2026-11-09", "2026-11-16", "2026-11-23", "2026-11-30", "2026-12-07"}) {
    addSessions(history, date, 10, 0);
  }
  std::ostringstream out;
  HtmlPage page(out);
  writeResultsChart(page, history);
  page.flush();
  const std::vector<std::string> line = polyline(out.str(), "line");
  const std::vector<std::string> trend = polyline(out.str(), "trend");
  ASSERT_EQ(line.size(), 6U);
  ASSERT_EQ(trend.size(), 6U);
  EXPECT_NE(trend[4], line[4]);
  EXPECT_EQ(trend[5], line[5]);
}

}  // namespace
}  // namespace sessionstats
