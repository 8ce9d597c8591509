#include "stats/plain_answers.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <utility>

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

// The answers on whole logs are checked with the fit; here, where 29 and 30
// matches part too few from an answer.
TEST(PlainAnswers, OnlyClearLevelsWithEnoughMatchesAnswerYesOrNo) {
  struct Row {
    const char* what;
    ConditionEffect afterLoss;
    std::array<ConditionEffect, kStageCount> stages;
    std::array<ConditionEffect, kHourBandCount> bands;
    PlainAnswer worseAfterLoss, stopAfter, worseAtHours;
  };
  const ConditionEffect none = level(0, 0, false);
  const Row rows[] = {
      // A session's first stage tells nothing about stopping; the hours
      // need two bands to compare.
      {"29 matches",
       level(29, -20, true),
       {level(500, -9, true), level(29, -9, true), level(29, 0, false),
        level(29, 0, false)},
       {level(900, -30, true), level(29, -40, true), none, none},
       {},
       {},
       {}},
      // The first later stage clearly worse; the clearly worst band.
      {"30 matches, clearly worse",
       level(30, -20, true),
       {level(500, -9, true), level(30, -6, true), level(30, -12, true), none},
       {level(900, -10, true), level(30, -40, true), level(30, -30, true),
        none},
       {Verdict::kYes},
       {Verdict::kYes, 1},
       {Verdict::kYes, 1}},
      {"30 matches, better or not clear",
       level(30, 20, true),
       {level(500, -9, true), level(30, 5, true), level(30, -9, false), none},
       {level(900, -30, false), level(30, -40, false), none, none},
       {Verdict::kNo},
       {Verdict::kNoClearSign},
       {Verdict::kNoClearSign}},
  };
  for (const Row& row : rows) {
    Insights insights;
    insights.afterLoss = row.afterLoss;
    insights.sessionStage = row.stages;
    insights.timeOfDay = row.bands;
    const PlainAnswers answers = answerPlainly(insights);
    for (const auto& [got, want] :
         {std::pair{answers.worseAfterLoss, row.worseAfterLoss},
          std::pair{answers.stopAfter, row.stopAfter},
          std::pair{answers.worseAtHours, row.worseAtHours}}) {
      EXPECT_EQ(got.verdict, want.verdict) << row.what;
      EXPECT_EQ(got.because, want.because) << row.what;
    }
  }
  // The latest clear change answers whether he improves.
  Insights insights;
  EXPECT_EQ(answerPlainly(insights).improving.verdict, Verdict::kTooFewMatches);
  insights.formChange = {{.points = 20, .clear = true},
                         {.points = -9, .clear = true}};
  EXPECT_EQ(answerPlainly(insights).improving.verdict, Verdict::kNo);
  EXPECT_EQ(answerPlainly(insights).improving.because, 1);
}

}  // namespace
}  // namespace sessionstats
