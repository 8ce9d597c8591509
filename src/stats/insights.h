#ifndef SESSION_STATS_STATS_INSIGHTS_H_
#define SESSION_STATS_STATS_INSIGHTS_H_

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "stats/match_log.h"
#include "stats/stats_records.h"

namespace sessionstats {

/// The reported player's form in one calendar month with dated matches: the
/// fitted chance to beat an opponent of average strength under the
/// reference conditions, with its 95% interval, beside the raw counts.
struct MonthForm {
  std::uint32_t month = 0;  // packed as YYYYMM (2026-01 is 202601)
  std::int64_t matches = 0;
  std::int64_t wins = 0;
  std::int64_t losses = 0;
  double form = 0.5;
  double formLow = 0.5;
  double formHigh = 0.5;
};

/// One level of a condition (after a loss, a stage of the session, an hour
/// band) and its fitted effect on the log-odds of a win against the
/// reference level, with the 95% interval. The reference level's effect is
/// 0; a level without matches has none (nullopt).
struct ConditionEffect {
  int from = 0;  // a stage's first match, or a band's first hour
  int to = 0;    // a stage's last match (0: open, 21+), or a band's end hour
  bool reference = false;
  std::int64_t matches = 0;
  std::int64_t wins = 0;
  std::int64_t losses = 0;
  std::optional<double> logit;
  double logitLow = 0;
  double logitHigh = 0;
};

/// Levels of the session stage and the time of day.
inline constexpr int kStageCount = 4;
inline constexpr int kHourBandCount = 4;

/// What changes the reported player's results, from one logistic model of
/// his dated matches: his form month by month adjusted for the strength of
/// the opponents met, and the effects of the conditions of a match.
struct Insights {
  std::vector<MonthForm> form;  // months with matches, oldest first
  ConditionEffect afterLoss;
  std::array<ConditionEffect, kStageCount> sessionStage;
  std::array<ConditionEffect, kHourBandCount> timeOfDay;
};

/// Fits the model to the matches of `player` in `matches` (log order, the
/// filters already applied) that have a date. No dated match gives empty
/// form and conditions without matches.
Insights fitInsights(const PlayerRecord& player, const MatchLog& matches);

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_INSIGHTS_H_
