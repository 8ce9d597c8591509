#include "report/html_insights.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report/html_chart.h"
#include "stats/match_log.h"

namespace sessionstats {
namespace {

// A condition with fewer matches than this gets no figure on the page: its
// interval would be too wide to tell anything.
constexpr std::int64_t kConditionMinMatches = 30;
// A chart of a single month draws its interval as a box this wide either
// side of the point, where a band would have no width.
constexpr int kLoneBandHalfWidth = 8;
constexpr int kDotRadius = 5;
// The share won is marked too, above the form's dot, so that a single month
// shows it.
constexpr int kRawDotRadius = 3;
// "YYYY-MM" of a month packed as YYYYMM.
constexpr std::size_t kMonthLabelLength = 7;
constexpr std::uint32_t kMonthScale = 100;

// A probability as a percentage a chart and a table can show: 0 to 100, and
// 0 for what is not a number.
double percentOf(double probability) {
  if (std::isnan(probability)) return 0;
  return std::clamp(probability * 100, 0.0, 100.0);
}

// The chance to win an even match, given the effect on its log-odds.
double evenMatchPercent(double logit) {
  return percentOf(1 / (1 + std::exp(-logit)));
}

// "YYYY-MM" of a month packed as YYYYMM.
std::string monthLabel(std::uint32_t month) {
  constexpr std::uint32_t kDay = 1;
  return formatDate((month * kMonthScale) + kDay).substr(0, kMonthLabelLength);
}

double rawPercent(const MonthForm& month) {
  const std::int64_t matches = month.wins + month.losses;
  if (matches <= 0) return 0;
  return percentOf(static_cast<double>(month.wins) /
                   static_cast<double>(matches));
}

// The band of the form's interval: along the upper ends, back along the
// lower ones.
void writeBand(HtmlPage& page, const std::vector<MonthForm>& form,
               const ChartFrame& frame) {
  const std::size_t count = form.size();
  const int lone = count == 1 ? kLoneBandHalfWidth : 0;
  const auto corner = [&](std::size_t i, int shift, double probability) {
    page.number(pointX(frame, i, count) + shift)
        .raw(",")
        .number(rateY(percentOf(probability)))
        .raw(" ");
  };
  page.raw("<polygon class=\"band\" points=\"");
  for (std::size_t i = 0; i < count; ++i) {
    corner(i, -lone, form[i].formHigh);
    if (lone != 0) corner(i, lone, form[i].formHigh);
  }
  for (std::size_t i = count; i-- > 0;) {
    corner(i, lone, form[i].formLow);
    if (lone != 0) corner(i, -lone, form[i].formLow);
  }
  page.raw("\"/>\n");
}

double formPercent(const MonthForm& month) { return percentOf(month.form); }

void writeFormDots(HtmlPage& page, const std::vector<MonthForm>& form,
                   const ChartFrame& frame) {
  page.raw("<g class=\"dots\">\n");
  for (std::size_t i = 0; i < form.size(); ++i) {
    const MonthForm& month = form[i];
    page.raw("<circle class=\"q")
        .number(rateStep(formPercent(month)))
        .raw("\"")
        .attr("cx", pointX(frame, i, form.size()))
        .attr("cy", rateY(formPercent(month)))
        .attr("r", kDotRadius)
        .raw("><title>");
    page.raw(monthLabel(month.month))
        .raw(": form ")
        .shortPercentage(formPercent(month))
        .raw(" (")
        .shortPercentage(percentOf(month.formLow))
        .raw(" – ")
        .shortPercentage(percentOf(month.formHigh))
        .raw("); ")
        .count(month.wins)
        .raw(" won, ")
        .count(month.losses)
        .raw(" lost (")
        .shortPercentage(rawPercent(month))
        .raw(")</title></circle>\n<circle class=\"raw\"")
        .attr("cx", pointX(frame, i, form.size()))
        .attr("cy", rateY(rawPercent(month)))
        .attr("r", kRawDotRadius)
        .raw("/>\n");
  }
  page.raw("</g>\n");
}

void writeFormChart(HtmlPage& page, const std::vector<MonthForm>& form) {
  page.raw(
      "<p class=\"note\">The solid line is your form in each month: your "
      "chance to beat an opponent of average strength, the band around it "
      "its 95% interval. The dashed line is the share of matches you won. "
      "They differ where you met stronger or weaker opponents than average, "
      "or played under the conditions below; a month of few matches has a "
      "wide band.</p>\n<div class=\"scroll\">");
  const ChartFrame frame = chartFrame(kRateAxisTop, "%");
  writeSvgOpen(page,
               "Line chart of the form by month with its interval, beside "
               "the share of matches won");
  writeValueAxis(page, frame, kRateAxisTop, kRateAxisStep, "%", "Win chance");
  writeBand(page, form, frame);
  std::vector<double> formPercents;
  std::vector<double> rawPercents;
  std::vector<std::string> labels;
  for (const MonthForm& month : form) {
    formPercents.push_back(formPercent(month));
    rawPercents.push_back(rawPercent(month));
    labels.push_back(monthLabel(month.month));
  }
  // The share won dashed over the form, so that it shows where they meet.
  writeRateLine(page, "form", frame, formPercents);
  writeRateLine(page, "raw", frame, rawPercents);
  writeFormDots(page, form, frame);
  writePointLabels(page, frame, labels);
  writeCategoryAxis(page, frame, "Month");
  page.raw("</svg></div>\n");
}

// The conditions of a match, each with levels of its own.
enum class Condition { kAfterLoss, kSessionStage, kTimeOfDay };

// Where a level of `condition` holds, as the start of a sentence.
void writeLevelWords(HtmlPage& page, Condition condition,
                     const ConditionEffect& level) {
  if (condition == Condition::kAfterLoss) {
    page.raw("After a loss");
  } else if (condition == Condition::kSessionStage && level.to == 0) {
    page.raw("From match ").number(level.from).raw(" of a session on");
  } else if (condition == Condition::kSessionStage) {
    page.raw("In matches ")
        .number(level.from)
        .raw("–")
        .number(level.to)
        .raw(" of a session");
  } else {
    constexpr std::int64_t kTwoDigits = 10;
    page.raw("Between ")
        .raw(level.from < kTwoDigits ? "0" : "")
        .number(level.from)
        .raw(":00 and ")
        .raw(level.to < kTwoDigits ? "0" : "")
        .number(level.to)
        .raw(":00");
  }
}

void writeConditionRow(HtmlPage& page, Condition condition,
                       const ConditionEffect& level) {
  page.raw("<tr><td>");
  writeLevelWords(page, condition, level);
  const bool told =
      !level.reference && level.logit && level.matches >= kConditionMinMatches;
  if (level.matches == 0) {
    page.raw(" you played no match.");
  } else if (level.reference) {
    page.raw(": the reference the others are measured against.");
  } else if (!told) {
    page.raw(": too little to tell from ")
        .count(level.matches)
        .raw(level.matches == 1 ? " match." : " matches.");
  } else {
    page.raw(" you win ")
        .number(std::lround(evenMatchPercent(*level.logit)))
        .raw("% of even matches <span class=\"nowrap\">(")
        .number(std::lround(evenMatchPercent(level.logitLow)))
        .raw("–")
        .number(std::lround(evenMatchPercent(level.logitHigh)))
        .raw("%)</span>.");
  }
  page.raw("</td><td>")
      .count(level.matches)
      .raw("</td><td>")
      .count(level.wins)
      .raw("</td><td>")
      .count(level.losses)
      .raw("</td><td>");
  if (told) {
    page.shortPercentage(evenMatchPercent(*level.logit))
        .raw("</td><td>")
        .shortPercentage(evenMatchPercent(level.logitLow))
        .raw(" – ")
        .shortPercentage(evenMatchPercent(level.logitHigh));
  } else {
    page.raw("–</td><td>–");
  }
  page.raw("</td></tr>\n");
}

void writeConditions(HtmlPage& page, const Insights& insights) {
  page.raw("<h3>Conditions</h3>\n<p class=\"note\">Your chance to win a match ")
      .raw(
          "against an opponent of your own strength under each condition, "
          "with its 95% interval, your form and your opponents' strength "
          "taken out: 50% is no effect. After a loss is measured against a "
          "session's first match or one after a win, a stage of the session "
          "and an hour band against their reference. Under ")
      .count(kConditionMinMatches)
      .raw(
          " matches there is too little to tell.</p>\n<div "
          "class=\"scroll\"><table class=\"effects\">\n<tr><th>Condition</th>"
          "<th>Matches</th><th>Won</th><th>Lost</th><th>Win chance</th>"
          "<th>95% interval</th></tr>\n");
  writeConditionRow(page, Condition::kAfterLoss, insights.afterLoss);
  for (const ConditionEffect& stage : insights.sessionStage) {
    writeConditionRow(page, Condition::kSessionStage, stage);
  }
  for (const ConditionEffect& band : insights.timeOfDay) {
    writeConditionRow(page, Condition::kTimeOfDay, band);
  }
  page.raw("</table></div>\n");
}

}  // namespace

void writeInsights(HtmlPage& page, const Insights& insights) {
  page.raw(
      "<section class=\"far\" id=\"insights\">\n<h2>What changes your "
      "results</h2>\n");
  if (insights.form.empty()) {
    page.raw(
        "<p class=\"note\">No dated match: there is nothing to tell your "
        "form or the conditions from.</p>\n</section>\n");
    return;
  }
  writeFormChart(page, insights.form);
  writeConditions(page, insights);
  page.raw("</section>\n");
}

}  // namespace sessionstats
