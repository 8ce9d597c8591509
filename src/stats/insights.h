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
/// fitted chance to beat an opponent of the average strength he met, under
/// his average conditions, with its 95% interval, beside the raw counts.
struct MonthForm {
  std::uint32_t month = 0;  // packed as YYYYMM (2026-01 is 202601)
  std::int64_t matches = 0;
  std::int64_t wins = 0;
  std::int64_t losses = 0;
  double form = 0.5;
  double formLow = 0.5;
  double formHigh = 0.5;
};

/// A level with fewer matches than this is too little to tell: it is never
/// clear.
inline constexpr std::int64_t kMinMatchesToTell = 30;

/// One level of a condition (after a loss, a stage of the session, an hour
/// band, a character) and its fitted effect on the log-odds of a win, with
/// the 95% interval: after a loss against a session's first match or a
/// match after a win, any other level against the match-weighted average of
/// its condition's levels. `points` are the same in win-% points at an even
/// match (-11: you win 39% where you would win 50%). `clear` where the
/// level has at least kMinMatchesToTell matches and its interval at
/// 1 - 0.05 / k excludes 0, k the levels and form changes with a value. A
/// level without matches has no effect (nullopt, points 0, not clear).
struct ConditionEffect {
  int from = 0;  // a stage's first match, a band's first hour, a character
  int to = 0;    // a stage's last match (0: open, 21+), or a band's end hour
  std::int64_t matches = 0;
  std::int64_t wins = 0;
  std::int64_t losses = 0;
  std::optional<double> logit;
  double logitLow = 0;
  double logitHigh = 0;
  double points = 0;
  double pointsLow = 0;
  double pointsHigh = 0;
  bool clear = false;
};

/// The change of form from one month to the latest, in win-% points, with
/// its 95% interval and whether it is clear (as for a ConditionEffect).
struct FormChange {
  std::uint32_t fromMonth = 0;  // packed as YYYYMM
  std::uint32_t toMonth = 0;
  double points = 0;
  double pointsLow = 0;
  double pointsHigh = 0;
  bool clear = false;
};

/// Levels of the session stage and the time of day.
inline constexpr int kStageCount = 4;
inline constexpr int kHourBandCount = 4;

/// What changes the reported player's results, from one logistic model of
/// his dated matches: his form month by month adjusted for the strength of
/// the opponents met, and the effects of the conditions of a match.
struct Insights {
  std::vector<MonthForm> form;  // months with matches, oldest first
  // From the month 3 and 12 months before the latest (the latest month with
  // matches at or before it) and from the first, each month once, the
  // earliest first.
  std::vector<FormChange> formChange;
  ConditionEffect afterLoss;
  std::array<ConditionEffect, kStageCount> sessionStage;
  std::array<ConditionEffect, kHourBandCount> timeOfDay;
  // The player's strength with each character he played at least
  // kMinMatchesToTell times (`from` the character), most played first,
  // against his match-weighted average over all the characters he played.
  std::vector<ConditionEffect> characters;
  // The fitted standard deviation of the opponents' strengths (logit).
  double opponentSpread = 1;
  std::int64_t matches = 0;  // fitted: the dated ones
};

/// Fits the model to the matches of `player` in `matches` (log order, the
/// filters already applied) that have a date. No dated match gives empty
/// form and conditions without matches. A match without a time is in no
/// hour band: the fit gives such matches an offset of their own.
Insights fitInsights(const PlayerRecord& player, const MatchLog& matches);

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_INSIGHTS_H_
