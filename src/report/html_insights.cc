#include "report/html_insights.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report/html_chart.h"
#include "report/html_points.h"
#include "stats/character_roster.h"
#include "stats/match_log.h"
#include "stats/plain_answers.h"

namespace sessionstats {
namespace {

// Under this many dated matches the section is one sentence: the intervals
// would be too wide to answer anything.
constexpr std::int64_t kMinSectionMatches = 200;
// A month of fewer matches is drawn faint, and its share won left out of
// the dashed line, where it would swing the most.
constexpr std::int64_t kFaintMonthMatches = 10;
// The length of "YYYY-MM", and the scale of a month packed as YYYYMM.
constexpr std::size_t kMonthLabelLength = 7;
constexpr std::uint32_t kMonthScale = 100;
constexpr std::int64_t kTwoDigits = 10;

// A probability as a percentage a chart and a table can show: 0 to 100, and
// 0 for what is not a number.
double percentOf(double probability) {
  if (std::isnan(probability)) return 0;
  return std::clamp(probability * 100, 0.0, 100.0);
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

bool faint(const MonthForm& month) {
  return month.matches < kFaintMonthMatches;
}

double formPercent(const MonthForm& month) { return percentOf(month.form); }

// A month's tooltip: its form with the interval, beside what it won.
void writeMonthTitle(HtmlPage& page, const MonthForm& month) {
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
      .raw(")");
  if (faint(month)) page.raw(", only ").count(month.matches).raw(" matches");
}

// Scales to the page's width: the newest month stays in view when narrow.
void writeFormChart(HtmlPage& page, const Insights& insights) {
  const std::vector<MonthForm>& form = insights.form;
  page.raw(
          "<p class=\"note\">The solid line is your form in each month: your "
          "chance to beat an opponent of the average strength you met, under "
          "your average conditions; the band around it is its 95% interval. "
          "The dashed line is the share of matches you won. They differ where "
          "you met stronger or weaker opponents than average. A faint dot is "
          "a month of under ")
      .count(kFaintMonthMatches)
      .raw(" matches, left out of the lines.</p>\n");
  Chart chart;
  chart.label =
      "Line chart of the form by month with its interval, beside the share "
      "of matches won";
  chart.valueTitle = "Win chance";
  chart.categoryTitle = "Month";
  chart.svgClass = "form-chart";
  ChartSeries band{SeriesKind::kBand, "band", {}, {}};
  ChartSeries won{SeriesKind::kLine, "raw", {}, {}};
  for (const MonthForm& month : form) {
    band.values.push_back(percentOf(month.formHigh));
    band.lows.push_back(percentOf(month.formLow));
    won.values.push_back(rawPercent(month));
    chart.labels.push_back(monthLabel(month.month));
    chart.faint.push_back(faint(month));
  }
  ChartSeries line{SeriesKind::kLine, "form", {}, {}};
  for (const MonthForm& month : form) {
    line.values.push_back(formPercent(month));
  }
  chart.series.push_back(std::move(band));
  // The share won dashed over the form, so that it shows where they meet.
  chart.series.push_back(line);
  chart.series.push_back(won);
  line.kind = SeriesKind::kPoints;
  chart.series.push_back(std::move(line));
  won.kind = SeriesKind::kSmallDots;
  chart.series.push_back(std::move(won));
  writeChart(page, chart,
             [&](std::size_t i) { writeMonthTitle(page, form[i]); });
}

// The conditions of a match, each with levels of its own.
enum class Condition { kAfterLoss, kSessionStage, kTimeOfDay, kCharacter };

// Where a level of `condition` holds, as the start of a sentence or, not
// `first`, within one.
void writeLevelWords(HtmlPage& page, Condition condition,
                     const ConditionEffect& level, bool first = true) {
  if (condition == Condition::kAfterLoss) {
    page.raw(first ? "After" : "after").raw(" a loss");
  } else if (condition == Condition::kCharacter) {
    page.raw(first ? "With " : "with ").escaped(kRoster.longName[level.from]);
  } else if (condition == Condition::kSessionStage && level.to == 0) {
    page.raw(first ? "From" : "from")
        .raw(" match ")
        .number(level.from)
        .raw(" of a session on");
  } else if (condition == Condition::kSessionStage) {
    page.raw(first ? "In" : "in")
        .raw(" matches ")
        .number(level.from)
        .raw("–")
        .number(level.to)
        .raw(" of a session");
  } else {
    page.raw(first ? "Between " : "between ")
        .raw(level.from < kTwoDigits ? "0" : "")
        .number(level.from)
        .raw(":00 and ")
        .raw(level.to < kTwoDigits ? "0" : "")
        .number(level.to)
        .raw(":00");
  }
}

bool told(const ConditionEffect& level) {
  return level.logit && level.matches >= kMinMatchesToTell;
}

// What a level does, in words: "you win 11 points fewer (5–17)".
void writeDifference(HtmlPage& page, const ConditionEffect& level) {
  page.raw(" you win ");
  writePoints(page, level.points, level.pointsLow, level.pointsHigh, "fewer",
              "more");
}

void writeConditionRow(HtmlPage& page, Condition condition,
                       const ConditionEffect& level) {
  if (level.matches == 0) return;
  page.raw("<tr><td>");
  writeLevelWords(page, condition, level);
  if (!told(level)) {
    page.raw(": too little to tell from ")
        .count(level.matches)
        .raw(level.matches == 1 ? " match." : " matches.");
  } else if (level.clear) {
    writeDifference(page, level);
    page.raw(".");
  } else {
    page.raw(": no clear difference.");
  }
  page.raw("</td><td>")
      .count(level.matches)
      .raw("</td><td>")
      .count(level.wins)
      .raw("</td><td>")
      .count(level.losses)
      .raw("</td><td>");
  if (told(level)) {
    writeSigned(page, level.points).raw("</td><td>");
    writeSigned(page, level.pointsLow).raw(" to ");
    writeSigned(page, level.pointsHigh);
  } else {
    page.raw("–</td><td>–");
  }
  page.raw("</td></tr>\n");
}

void writeConditions(HtmlPage& page, const Insights& insights) {
  page.raw("<h3>Conditions</h3>\n<p class=\"note\">How many win-% points ")
      .raw(
          "more or fewer you win of even matches under each condition, your "
          "form and your opponents' strength taken out, with the 95% "
          "interval. After a loss is measured against a session's first "
          "match or one after a win; a stage of the session and an hour band "
          "against your average over them. A difference is called clear only "
          "where the matches leave no doubt with all these rows read "
          "together. Under ")
      .count(kMinMatchesToTell)
      .raw(
          " matches there is too little to tell.</p>\n<div "
          "class=\"scroll\"><table class=\"effects\">\n<tr><th>Condition</th>"
          "<th>Matches</th><th>Won</th><th>Lost</th><th>Points</th>"
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

// The characters played enough to tell, in a table of their own: they are
// measured against the player's average over his characters.
void writeCharacters(HtmlPage& page, const Insights& insights) {
  if (insights.characters.empty()) return;
  page.raw(
      "<h3>Your characters</h3>\n<p class=\"note\">How many win-% points "
      "more or fewer you win of even matches with each character you played "
      "at least ");
  page.count(kMinMatchesToTell)
      .raw(
          " times, against your average over all your characters, your form "
          "and your opponents' strength taken out, read together with the "
          "conditions above.</p>\n<div class=\"scroll\"><table "
          "class=\"effects\">\n<tr><th>Character</th><th>Matches</th>"
          "<th>Won</th><th>Lost</th><th>Points</th><th>95% interval</th>"
          "</tr>\n");
  for (const ConditionEffect& character : insights.characters) {
    writeConditionRow(page, Condition::kCharacter, character);
  }
  page.raw("</table></div>\n");
}

// "since 2025-01 your form rose by 21 points (15–27)".
void writeChange(HtmlPage& page, const FormChange& change) {
  page.raw("since ").raw(monthLabel(change.fromMonth)).raw(" your form ");
  page.raw(change.points < 0 ? "fell by " : "rose by ");
  writePoints(page, change.points, change.pointsLow, change.pointsHigh, "", "");
}

// The words each verdict begins its answer with, by Verdict.
constexpr std::array<std::string_view, 4> kVerdictWords{
    "Too few matches yet.", "No clear sign", "Yes: ", "No: "};

void writeVerdict(HtmlPage& page, std::string_view question, Verdict verdict) {
  page.raw("<li><strong>")
      .raw(question)
      .raw("</strong> ")
      .raw(kVerdictWords[static_cast<std::size_t>(verdict)]);
}

// The four questions, each answered in a sentence.
void writeAnswers(HtmlPage& page, const Insights& insights) {
  const PlainAnswers answers = answerPlainly(insights);
  page.raw("<ul class=\"answers\">\n");
  writeVerdict(page, "Am I improving?", answers.improving.verdict);
  if (answers.improving.verdict != Verdict::kTooFewMatches) {
    if (answers.improving.verdict == Verdict::kNoClearSign) page.raw(": ");
    writeChange(page, insights.formChange[answers.improving.because]);
    page.raw(".");
  }
  page.raw("</li>\n");
  const ConditionEffect& afterLoss = insights.afterLoss;
  writeVerdict(page, "Do I play worse after a loss?",
               answers.worseAfterLoss.verdict);
  if (afterLoss.clear) {
    writeLevelWords(page, Condition::kAfterLoss, afterLoss, false);
    writeDifference(page, afterLoss);
  }
  page.raw(answers.worseAfterLoss.verdict == Verdict::kTooFewMatches ? "" : ".")
      .raw("</li>\n");
  writeVerdict(page, "Should I stop after some matches in a session?",
               answers.stopAfter.verdict);
  if (answers.stopAfter.verdict == Verdict::kYes) {
    const ConditionEffect& stage =
        insights.sessionStage[answers.stopAfter.because];
    writeLevelWords(page, Condition::kSessionStage, stage, false);
    writeDifference(page, stage);
    page.raw(": consider stopping around ").number(stage.from - 1);
  }
  page.raw(answers.stopAfter.verdict == Verdict::kTooFewMatches ? "" : ".")
      .raw("</li>\n");
  writeVerdict(page, "Am I worse at some hours?", answers.worseAtHours.verdict);
  if (answers.worseAtHours.verdict == Verdict::kYes) {
    const ConditionEffect& band =
        insights.timeOfDay[answers.worseAtHours.because];
    writeLevelWords(page, Condition::kTimeOfDay, band, false);
    writeDifference(page, band);
    page.raw(" than on average");
  }
  page.raw(answers.worseAtHours.verdict == Verdict::kTooFewMatches ? "" : ".")
      .raw("</li>\n</ul>\n");
}

}  // namespace

void writeInsights(HtmlPage& page, const Insights& insights) {
  page.raw(
      "<section class=\"far\" id=\"insights\">\n<h2>What changes your "
      "results</h2>\n");
  if (insights.matches < kMinSectionMatches) {
    page.raw("<p class=\"note\">");
    if (insights.matches == 0) {
      page.raw("No dated match: there is nothing");
    } else {
      page.raw("Your ")
          .count(insights.matches)
          .raw(" dated matches are too few");
    }
    page.raw(" to tell your form or what changes your results from; ")
        .count(kMinSectionMatches - insights.matches)
        .raw(" more will do.</p>\n</section>\n");
    return;
  }
  writeAnswers(page, insights);
  writeFormChart(page, insights);
  writeConditions(page, insights);
  writeCharacters(page, insights);
  page.raw("</section>\n");
}

}  // namespace sessionstats
