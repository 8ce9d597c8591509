#include "report/html_sessions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
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
        {{wins, 2, 2, 4}, ordinal, parseDate(date), "Moth", 300});
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

// A grouped point has no detail, and so empty isolate marks.
const std::string kNoDetail = "\u2068\u2069";

std::string chart(const SessionHistory& history) {
  std::ostringstream out;
  HtmlPage page(out);
  writeResultsChart(page, history);
  page.flush();
  return out.str();
}

// The tooltips of the chart's points of `history`.
std::vector<std::string> points(const SessionHistory& history) {
  const std::string html = chart(history);
  std::vector<std::string> titles;
  for (std::size_t at = html.find("<title>"); at != std::string::npos;
       at = html.find("<title>", at + 1)) {
    const std::size_t text = at + std::string_view("<title>").size();
    titles.push_back(html.substr(text, html.find("</title>", text) - text));
  }
  return titles;
}

TEST(ResultsChart, UpToSixtySessionsOnePointPerSessionWithAMatch) {
  SessionHistory history;
  addSessions(history, "2026-11-02", 59);
  history.sessions.push_back(
      {{0, 0, 0, 0}, 99, parseDate("2026-11-03"), "Moth", 0});
  const std::vector<std::string> titles = points(history);
  ASSERT_EQ(titles.size(), 59U);
  EXPECT_EQ(titles[0],
            "Session 1 (\u20682026-11-02, vs Moth\u2069): 1 won, 2 lost "
            "(33.3%)");
  // The plot is 686 units wide: room for 42 dots of full size, not more.
  EXPECT_NE(chart(history).find("r=\"4\""), std::string::npos);
  history.sessions.resize(42);
  EXPECT_NE(chart(history).find("r=\"6\""), std::string::npos);
}

TEST(ResultsChart, ManySessionsGroupByWeekFromMonday) {
  // Sunday and Monday fall in different weeks; a week may span two years.
  SessionHistory history;
  addSessions(history, "2025-12-31", 20);  // Wednesday
  addSessions(history, "2026-01-04", 20);  // Sunday, same week
  addSessions(history, "2026-11-01", 10);  // Sunday
  addSessions(history, "2026-11-02", 10);  // Monday
  addSessions(history, "", 5);             // undated
  addSessions(history, "2026-02-30", 5);   // not a date
  history.sessions.push_back(
      {{0, 0, 0, 0}, 99, parseDate("2026-11-02"), "Wren", 0});
  EXPECT_EQ(points(history),
            (std::vector<std::string>{
                "Week of 2025-12-29" + kNoDetail +
                    ": 40 sessions, 120 matches, 40 won, 80 lost (33.3%)",
                "Week of 2026-10-26" + kNoDetail +
                    ": 10 sessions, 30 matches, 10 won, 20 lost (33.3%)",
                "Week of 2026-11-02" + kNoDetail +
                    ": 10 sessions, 30 matches, 10 won, 20 lost (33.3%)"}));
}

TEST(ResultsChart, TooManyWeeksGroupByMonthThenByYear) {
  // Sessions on the 1st and the 15th of 31 months: 61 weeks, 31 months.
  SessionHistory twiceMonthly;
  for (int half = 0; half <= 60; ++half) {
    const int month = half / 2;
    addSessions(twiceMonthly, dateOf(2024 + month / 12, month % 12 + 1,
                                     half % 2 == 0 ? 1 : 15));
  }
  std::vector<std::string> titles = points(twiceMonthly);
  ASSERT_EQ(titles.size(), 31U);
  EXPECT_TRUE(titles.front().starts_with("Month 2024-01" + kNoDetail +
                                         ": 2 sessions, "));
  EXPECT_TRUE(
      titles.back().starts_with("Month 2026-07" + kNoDetail + ": 1 session, "));

  // One week fewer, as many sessions: 60 weeks still go by week.
  twiceMonthly.sessions.pop_back();
  addSessions(twiceMonthly, "2024-01-01");
  titles = points(twiceMonthly);
  EXPECT_EQ(titles.size(), 60U);
  EXPECT_TRUE(titles.front().starts_with("Week of ")) << titles.front();

  // One session a month for 61 months: 6 years.
  SessionHistory monthly;
  for (int month = 0; month <= 60; ++month) {
    addSessions(monthly, dateOf(2020 + month / 12, month % 12 + 1, 15));
  }
  titles = points(monthly);
  ASSERT_EQ(titles.size(), 6U);
  for (std::size_t year = 0; year < titles.size(); ++year) {
    EXPECT_TRUE(titles[year].starts_with("Year " + std::to_string(2020 + year) +
                                         kNoDetail + ": "))
        << titles[year];
  }
  EXPECT_TRUE(
      titles.back().starts_with("Year 2025" + kNoDetail + ": 1 session, "));
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
  const std::string html = chart(history);
  const std::vector<std::string> line = polyline(html, "line");
  const std::vector<std::string> trend = polyline(html, "trend");
  ASSERT_EQ(line.size(), 6U);
  ASSERT_EQ(trend.size(), 6U);
  EXPECT_EQ(trend[0], line[0]);  // each point counts itself
  EXPECT_NE(trend[4], line[4]);
  EXPECT_EQ(trend[5], line[5]);
}

}  // namespace
}  // namespace sessionstats
