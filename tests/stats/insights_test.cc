#include "stats/insights.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "stats/match_log.h"
#include "stats/plain_answers.h"
#include "stats/stats_records.h"

namespace sessionstats {
namespace {

constexpr char kHero[] = "Hero";

// What makes the hero win, on the log-odds of a win: the conditions'
// effects against their reference levels (the first stage, the evening).
struct TrueEffects {
  double afterLoss = 0;
  std::array<double, kStageCount> stage{};
  std::array<double, kHourBandCount> hour{};
  std::array<double, 3> character{};  // of the hero's first characters
};

// Matches of the hero drawn from the model: each session against one
// opponent, within one hour band, one match every two minutes.
class Simulation {
 public:
  explicit Simulation(std::uint32_t seed) : random_(seed) {}

  // REQUIRES: length <= 29 and hour % 6 < 5, so the session stays in its
  // hour band; character < 3.
  void session(int opponent, double strength, std::uint32_t date, int hour,
               int length, const TrueEffects& effects, int character = 0) {
    const MatchRecords records = findOrAddMatchRecords(
        records_, kHero, "Opponent" + std::to_string(opponent));
    ++sessions_;
    bool lost = false;
    for (int match = 0; match < length; ++match) {
      const int stage = match < 5 ? 0 : match < 10 ? 1 : match < 20 ? 2 : 3;
      const double logit = strength + (lost ? effects.afterLoss : 0) +
                           effects.stage[stage] + effects.hour[hour / 6] +
                           effects.character[character];
      const bool won = uniform_(random_) < 1 / (1 + std::exp(-logit));
      lost = !won;
      // The result line at hour:(2 match + 1):00, a minute after the start.
      const auto time =
          static_cast<std::uint32_t>(hour * 10000 + (2 * match + 1) * 100 + 1);
      matches_.push_back(makeMatchEntry(records, sessions_,
                                        {won ? 1 : 2, 2, 1, character, 1, 60},
                                        date, time));
    }
  }

  double uniform() { return uniform_(random_); }
  int below(int bound) {
    return std::uniform_int_distribution<int>(0, bound - 1)(random_);
  }

  Insights fit() const {
    return fitInsights(*records_.findPlayer(kHero), matches_);
  }
  // The same sessions, the latest months first.
  Insights fitNewestFirst() const {
    MatchLog matches = matches_;
    std::stable_sort(matches.begin(), matches.end(),
                     [](const MatchEntry& a, const MatchEntry& b) {
                       return a.date > b.date;
                     });
    return fitInsights(*records_.findPlayer(kHero), matches);
  }

 private:
  std::mt19937 random_;
  std::uniform_real_distribution<double> uniform_{0, 1};
  StatsRecords records_;
  MatchLog matches_;
  std::uint32_t sessions_ = 0;
};

// The opponents' strengths, drawn from their prior.
std::vector<double> strengths(int opponents, std::uint32_t seed) {
  std::normal_distribution<double> normal;
  std::mt19937 draw(seed);
  std::vector<double> beta(static_cast<std::size_t>(opponents));
  for (double& b : beta) b = normal(draw);
  return beta;
}

bool holds(const ConditionEffect& level, double truth) {
  return level.logit && level.logitLow <= truth && truth <= level.logitHigh;
}

// The true effect of each level against the match-weighted average of them.
template <std::size_t N>
std::array<double, N> againstAverage(
    const std::array<ConditionEffect, N>& levels,
    const std::array<double, N>& truth) {
  double weighted = 0;
  double matches = 0;
  for (std::size_t level = 0; level < N; ++level) {
    weighted += static_cast<double>(levels[level].matches) * truth[level];
    matches += static_cast<double>(levels[level].matches);
  }
  std::array<double, N> result{};
  for (std::size_t level = 0; level < N; ++level) {
    result[level] = truth[level] - weighted / matches;
  }
  return result;
}

double rawRate(std::int64_t wins, std::int64_t matches) {
  return static_cast<double>(wins) / static_cast<double>(matches);
}

TEST(Insights, RecoversTheEffectsTheOpponentsSpreadAndARisingForm) {
  // The hero improves month by month against opponents who differ a lot:
  // their strengths spread by 2.
  Simulation simulation(7);
  std::vector<double> beta = strengths(300, 11);
  for (double& b : beta) b *= 2;
  TrueEffects effects;
  effects.afterLoss = -0.5;
  effects.stage = {0, -0.4, -0.9, 0};
  effects.hour = {-0.6, 0, 0.4, 0};
  effects.character = {0, 0.6, -0.3};
  constexpr std::array<int, 4> kHourOdds{15, 10, 15, 60};  // percent
  constexpr int kMonths = 12;
  std::array<double, kMonths> theta{};
  for (int m = 0; m < kMonths; ++m) {
    theta[m] = -0.6 + 0.1 * m;
    // July 2024 to June 2025, across the turn of the year.
    const std::uint32_t date =
        m < 6 ? 20240701 + m * 100 : 20250101 + (m - 6) * 100;
    for (int s = 0; s < 110; ++s) {
      const int opponent = simulation.below(300);
      int band = 0;
      for (int roll = simulation.below(100); roll >= kHourOdds[band]; ++band) {
        roll -= kHourOdds[band];
      }
      simulation.session(opponent, theta[m] - beta[opponent], date,
                         band * 6 + simulation.below(5),
                         2 + simulation.below(15), effects, s % 5 % 3);
    }
  }
  const Insights insights = simulation.fit();

  EXPECT_TRUE(holds(insights.afterLoss, effects.afterLoss));
  const auto stages = againstAverage(insights.sessionStage, effects.stage);
  for (int stage = 0; stage < 3; ++stage) {
    EXPECT_TRUE(holds(insights.sessionStage[stage], stages[stage])) << stage;
  }
  EXPECT_EQ(insights.sessionStage[3].matches, 0);
  EXPECT_FALSE(insights.sessionStage[3].logit);
  const auto hours = againstAverage(insights.timeOfDay, effects.hour);
  for (int band = 0; band < kHourBandCount; ++band) {
    EXPECT_TRUE(holds(insights.timeOfDay[band], hours[band])) << band;
  }
  ASSERT_EQ(insights.characters.size(), 3U);
  std::array<ConditionEffect, 3> played{};
  for (const ConditionEffect& character : insights.characters) {
    played[character.from] = character;
  }
  EXPECT_EQ(insights.characters[0].from, 0);
  for (const auto truth = againstAverage(played, effects.character);
       const ConditionEffect& character : played) {
    EXPECT_TRUE(holds(character, truth[character.from])) << character.from;
  }
  EXPECT_TRUE(played[1].clear && *played[1].logit > 0);
  ASSERT_EQ(insights.form.size(), static_cast<std::size_t>(kMonths));
  EXPECT_EQ(insights.form[5].month, 202412U);
  EXPECT_EQ(insights.form[6].month, 202501U);
  const MonthForm& first = insights.form.front();
  const MonthForm& last = insights.form.back();
  EXPECT_LT(first.formHigh, last.formLow);
  // The priors pull the months toward each other, not by half.
  const double rise =
      1 / (1 + std::exp(-theta.back())) - 1 / (1 + std::exp(-theta.front()));
  EXPECT_GT(last.form - first.form, rise / 2);
  EXPECT_NEAR(insights.opponentSpread, 2, 0.4);
  // From the first month and from three months before the latest; twelve
  // before it is no month of the log.
  ASSERT_EQ(insights.formChange.size(), 2U);
  EXPECT_EQ(insights.formChange[0].fromMonth, 202407U);
  EXPECT_EQ(insights.formChange[1].fromMonth, 202503U);
  EXPECT_EQ(insights.formChange[1].toMonth, 202506U);

  const PlainAnswers answers = answerPlainly(insights);
  EXPECT_EQ(answers.improving.verdict, Verdict::kYes);
  EXPECT_EQ(answers.worseAfterLoss.verdict, Verdict::kYes);
  EXPECT_EQ(answers.stopAfter.verdict, Verdict::kYes);
  EXPECT_EQ(answers.worseAtHours.verdict, Verdict::kYes);
  EXPECT_EQ(answers.worseAtHours.because, 0);
}

TEST(Insights, StrongOpponentsInLongSessionsAreNoEffectOfALoss) {
  // No condition changes anything; but a loss says a strong opponent, who
  // stays for the session's next match.
  Simulation simulation(3);
  const std::vector<double> beta = strengths(100, 5);
  for (int s = 0; s < 1500; ++s) {
    const int opponent = simulation.below(100);
    simulation.session(opponent, -beta[opponent], 20260301 + s % 3 * 100, 20,
                       10, {});
  }
  const Insights insights = simulation.fit();
  const ConditionEffect& afterLoss = insights.afterLoss;
  std::int64_t matches = 0;
  std::int64_t wins = 0;
  for (const ConditionEffect& stage : insights.sessionStage) {
    matches += stage.matches;
    wins += stage.wins;
  }
  const double naiveAfterLoss = rawRate(afterLoss.wins, afterLoss.matches);
  const double naiveOtherwise =
      rawRate(wins - afterLoss.wins, matches - afterLoss.matches);
  EXPECT_GT(naiveOtherwise - naiveAfterLoss, 0.1);
  EXPECT_TRUE(holds(afterLoss, 0));
  EXPECT_LT(std::abs(*afterLoss.logit), 0.2);
  EXPECT_TRUE(holds(insights.sessionStage[1], 0));
  const PlainAnswers answers = answerPlainly(insights);
  EXPECT_EQ(answers.improving.verdict, Verdict::kNoClearSign);
  EXPECT_EQ(answers.worseAfterLoss.verdict, Verdict::kNoClearSign);
  EXPECT_EQ(answers.stopAfter.verdict, Verdict::kNoClearSign);
  EXPECT_EQ(answers.worseAtHours.verdict, Verdict::kTooFewMatches);

  // A log whose months go back is fitted as the same log in order.
  const Insights backwards = simulation.fitNewestFirst();
  ASSERT_EQ(backwards.form.size(), insights.form.size());
  for (std::size_t m = 0; m < insights.form.size(); ++m) {
    EXPECT_EQ(backwards.form[m].matches, insights.form[m].matches);
    EXPECT_NEAR(backwards.form[m].formLow, insights.form[m].formLow, 1e-9);
  }
  EXPECT_NEAR(*backwards.afterLoss.logit, *afterLoss.logit, 1e-9);
}

// Where nothing matters, against opponents who differ a lot, few logs show
// any clear level: the intervals widen with the rows read together.
TEST(Insights, NoEffectLogsShowAClearLevelRarely) {
  constexpr int kLogs = 12;
  int showing = 0;
  for (int log = 0; log < kLogs; ++log) {
    Simulation simulation(100 + log);
    std::vector<double> beta = strengths(40, 200 + log);
    for (double& b : beta) b *= 2;
    for (int s = 0; s < 60; ++s) {
      const int opponent = simulation.below(40);
      simulation.session(opponent, -beta[opponent], 20260101 + s % 4 * 100,
                         simulation.below(4) * 6 + simulation.below(5),
                         2 + simulation.below(20), {}, s % 2);
    }
    const Insights insights = simulation.fit();
    bool clear = insights.afterLoss.clear;
    for (const ConditionEffect& level : insights.sessionStage) {
      clear |= level.clear;
    }
    for (const ConditionEffect& level : insights.timeOfDay) {
      clear |= level.clear;
    }
    for (const ConditionEffect& level : insights.characters) {
      clear |= level.clear;
    }
    for (const FormChange& change : insights.formChange) clear |= change.clear;
    showing += clear;
  }
  EXPECT_LE(showing, 2);
}

// Logs that give the fit almost nothing still give finite values.
TEST(Insights, FewMatchesGiveFiniteValuesAndMatchesWithoutDateOrTimeCount) {
  struct Row {
    const char* what;
    int matches;
    std::uint32_t date;
    std::uint32_t time;
    std::size_t months;
    std::int64_t inEarlyHours;
    std::size_t characters;  // told: of 30 matches or more
  };
  const Row rows[] = {
      {"no date", 3, kNoDate, kNoTime, 0, 0, 0},
      {"one match", 1, 20260105, 120001, 1, 0, 0},
      {"thirty matches", 30, 20260105, 120001, 1, 0, 1},
      {"all wins, no time", 400, 20260105, kNoTime, 1, 0, 1},
      // A result line at 06:00:30 ends a match that began before 06:00.
      {"ended after six", 2, 20260105, 60031, 1, 2, 0},
  };
  for (const Row& row : rows) {
    StatsRecords records;
    const MatchRecords session = findOrAddMatchRecords(records, kHero, "Foe");
    MatchLog matches;
    for (int i = 0; i < row.matches; ++i) {
      matches.push_back(
          makeMatchEntry(session, 1, {1, 2, 0, 0, 1, 60}, row.date, row.time));
    }
    const Insights insights = fitInsights(*session.player1, matches);
    ASSERT_EQ(insights.form.size(), row.months) << row.what;
    EXPECT_EQ(insights.timeOfDay[0].matches, row.inEarlyHours) << row.what;
    EXPECT_EQ(insights.characters.size(), row.characters) << row.what;
    std::int64_t staged = 0;
    for (const ConditionEffect& stage : insights.sessionStage) {
      staged += stage.matches;
    }
    EXPECT_EQ(staged, row.date == kNoDate ? 0 : row.matches) << row.what;
    if (row.months == 0) continue;
    const MonthForm& month = insights.form[0];
    EXPECT_EQ(month.wins, row.matches) << row.what;
    EXPECT_GT(month.form, 0.5) << row.what;
    EXPECT_LT(month.formLow, month.form) << row.what;
    EXPECT_LT(month.formHigh, 1) << row.what;
    EXPECT_FALSE(insights.afterLoss.logit) << row.what;
  }
}

}  // namespace
}  // namespace sessionstats
