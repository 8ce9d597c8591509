#include "stats/plain_answers.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "stats/insights.h"

namespace sessionstats {
namespace {

ConditionEffect level(std::int64_t matches, double points, bool clear) {
  ConditionEffect effect;
  effect.matches = matches;
  effect.logit = 0.0;
  effect.points = points;
  effect.clear = clear;
  return effect;
}

FormChange change(double points, bool clear) {
  return {
      .fromMonth = 202501, .toMonth = 202512, .points = points, .clear = clear};
}

void expectAnswer(const PlainAnswer& answer, Verdict verdict, int because,
                  const char* what) {
  EXPECT_EQ(answer.verdict, verdict) << what;
  EXPECT_EQ(answer.because, because) << what;
}

TEST(PlainAnswers, OnlyClearLevelsWithEnoughMatchesAnswerYesOrNo) {
  expectAnswer(answerPlainly({}).improving, Verdict::kTooFewMatches, -1,
               "one month");
  Insights insights;
  insights.formChange = {change(20, true), change(-1, false)};
  expectAnswer(answerPlainly(insights).improving, Verdict::kYes, 0,
               "rose since the first month");
  insights.formChange[1] = change(-9, true);
  expectAnswer(answerPlainly(insights).improving, Verdict::kNo, 1,
               "fell lately");
  insights.formChange[0].clear = false;
  insights.formChange[1].clear = false;
  expectAnswer(answerPlainly(insights).improving, Verdict::kNoClearSign, 0,
               "no clear change");

  struct Row {
    const char* what;
    ConditionEffect afterLoss;
    Verdict verdict;
  };
  const Row rows[] = {
      {"29 matches", level(29, -20, true), Verdict::kTooFewMatches},
      {"not clear", level(30, -20, false), Verdict::kNoClearSign},
      {"clearly worse", level(30, -20, true), Verdict::kYes},
      {"clearly better", level(30, 20, true), Verdict::kNo},
  };
  for (const Row& row : rows) {
    insights.afterLoss = row.afterLoss;
    EXPECT_EQ(answerPlainly(insights).worseAfterLoss.verdict, row.verdict)
        << row.what;
  }

  // A session's first stage tells nothing about stopping.
  insights.sessionStage = {level(500, -9, true), level(29, -9, false),
                           level(29, 0, false), level(29, 0, false)};
  expectAnswer(answerPlainly(insights).stopAfter, Verdict::kTooFewMatches, -1,
               "later stages of few matches");
  insights.sessionStage[3] = level(30, 5, true);
  expectAnswer(answerPlainly(insights).stopAfter, Verdict::kNoClearSign, -1,
               "later stages better");
  insights.sessionStage[1] = level(40, -6, true);
  insights.sessionStage[2] = level(40, -12, true);
  expectAnswer(answerPlainly(insights).stopAfter, Verdict::kYes, 1,
               "worse from the second stage on");

  // The hours need two bands to compare; the worst clear band answers.
  insights.timeOfDay = {level(900, -30, true), level(29, -40, true),
                        level(0, 0, false), level(0, 0, false)};
  expectAnswer(answerPlainly(insights).worseAtHours, Verdict::kTooFewMatches,
               -1, "one band of enough matches");
  insights.timeOfDay[1] = level(300, -40, true);
  insights.timeOfDay[2] = level(300, -10, true);
  expectAnswer(answerPlainly(insights).worseAtHours, Verdict::kYes, 1,
               "the worst band");
  for (ConditionEffect& band : insights.timeOfDay) band.clear = false;
  expectAnswer(answerPlainly(insights).worseAtHours, Verdict::kNoClearSign, -1,
               "no clear band");
}

}  // namespace
}  // namespace sessionstats
