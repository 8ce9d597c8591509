#include "report/html_insights.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "report/html_chart.h"
#include "report/html_page.h"

namespace sessionstats {
namespace {

std::string section(const Insights& insights) {
  std::ostringstream out;
  HtmlPage page(out);
  writeInsights(page, insights);
  page.flush();
  return out.str();
}

// The effect on the log-odds that gives an even match `percent` won.
double logitOf(double percent) { return std::log(percent / (100 - percent)); }

ConditionEffect level(int from, int to, std::int64_t matches, double percent) {
  ConditionEffect effect;
  effect.from = from;
  effect.to = to;
  effect.matches = matches;
  effect.wins = matches / 2;
  effect.losses = matches - matches / 2;
  if (matches > 0) {
    effect.logit = logitOf(percent);
    effect.logitLow = logitOf(percent - 5);
    effect.logitHigh = logitOf(percent + 5);
  }
  return effect;
}

Insights twoMonths() {
  Insights insights;
  insights.form = {{.month = 202512,
                    .matches = 4,
                    .wins = 3,
                    .losses = 1,
                    .form = 0.6,
                    .formLow = 0.5,
                    .formHigh = 0.7},
                   {.month = 202601,
                    .matches = 2,
                    .wins = 0,
                    .losses = 2,
                    .form = 0.4,
                    .formLow = 0.2,
                    .formHigh = 0.55}};
  insights.afterLoss = level(0, 0, kConditionMinMatches, 25);
  insights.sessionStage = {level(1, 5, 400, 50), level(6, 10, 100, 60),
                           level(11, 20, kConditionMinMatches - 1, 70),
                           level(21, 0, 40, 65)};
  insights.sessionStage[0].reference = true;
  insights.timeOfDay = {level(0, 6, 0, 0), level(6, 12, 1, 40),
                        level(12, 18, 50, 45), level(18, 24, 300, 50)};
  insights.timeOfDay[3].reference = true;
  return insights;
}

// Each condition in plain words first: a figure from kConditionMinMatches
// matches on, too little to tell below, the reference and a band without a
// match each said so.
TEST(HtmlInsights, ConditionsInPlainWordsWithTheirIntervals) {
  const std::string html = section(twoMonths());
  for (const char* row : {
           "<tr><td>After a loss you win 25% of even matches <span "
           "class=\"nowrap\">(20–30%)</span>.</td>"
           "<td>30</td><td>15</td><td>15</td><td>25.0%</td>"
           "<td>20.0% – 30.0%</td></tr>",
           "<td>In matches 1–5 of a session: the reference the others are "
           "measured against.</td><td>400</td>",
           "<td>In matches 6–10 of a session you win 60% of even matches "
           "<span class=\"nowrap\">(55–65%)</span>.</td>",
           "<td>In matches 11–20 of a session: too little to tell from 29 "
           "matches.</td><td>29</td><td>14</td><td>15</td><td>–</td>"
           "<td>–</td></tr>",
           "<td>From match 21 of a session on you win 65% of even matches "
           "<span class=\"nowrap\">(60–70%)</span>.</td>",
           "<td>Between 00:00 and 06:00 you played no match.</td>",
           "<td>Between 06:00 and 12:00: too little to tell from 1 match.</td>",
           "<td>Between 12:00 and 18:00 you win 45% of even matches "
           "<span class=\"nowrap\">(40–50%)</span>.</td>",
       }) {
    EXPECT_NE(html.find(row), std::string::npos) << row;
  }
}

// The form and its band beside the share won, month by month.
TEST(HtmlInsights, FormChartShowsEachMonthBesideTheShareWon) {
  const std::string html = section(twoMonths());
  EXPECT_NE(html.find("<title>2025-12: form 60.0% (50.0% – 70.0%); 3 won, 1 "
                      "lost (75.0%)</title>"),
            std::string::npos);
  const ChartFrame frame = chartFrame(kRateAxisTop, "%");
  const auto point = [&](std::size_t i, double percent) {
    return std::to_string(pointX(frame, i, 2)) + "," +
           std::to_string(rateY(percent)) + " ";
  };
  EXPECT_NE(html.find("class=\"band\" points=\"" + point(0, 70) + point(1, 55) +
                      point(1, 20) + point(0, 50) + "\""),
            std::string::npos);
  EXPECT_NE(html.find("class=\"raw\" points=\"" + point(0, 75) + point(1, 0)),
            std::string::npos);
  EXPECT_NE(html.find("class=\"form\" points=\"" + point(0, 60) + point(1, 40)),
            std::string::npos);
  EXPECT_NE(html.find(">2026-01</text>"), std::string::npos);

  // Eleven months have room for a label each, twelve for every second one;
  // the first and last points stand as far inside the plot.
  for (const std::uint32_t count : {11U, 12U}) {
    Insights year;
    for (std::uint32_t month = 1; month <= count; ++month) {
      year.form.push_back({.month = 202600 + month, .wins = 1});
    }
    const std::string months = section(year);
    EXPECT_NE(months.find(">2026-01</text>"), std::string::npos);
    EXPECT_NE(months.find(">2026-03</text>"), std::string::npos);
    EXPECT_EQ(months.find(">2026-02</text>") != std::string::npos, count == 11)
        << count;
  }
  EXPECT_EQ(pointX(frame, 0, 11) - frame.left,
            frame.left + frame.width() - pointX(frame, 10, 11));

  Insights undated;
  EXPECT_NE(section(undated).find("No dated match"), std::string::npos);
}

}  // namespace
}  // namespace sessionstats
