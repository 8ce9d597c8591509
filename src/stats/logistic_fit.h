#ifndef SESSION_STATS_STATS_LOGISTIC_FIT_H_
#define SESSION_STATS_STATS_LOGISTIC_FIT_H_

#include <Eigen/Core>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace sessionstats {

// The model: a match of the player in month m against opponent j, with the
// effects e of its conditions, is won with chance
//   logistic(theta[m] - beta[j] + sum of gamma[e]),
// gamma[e] drawn from N(0, 1), beta[j] from N(0, sd^2) with sd the
// opponents' spread, theta[0] from N(0, 1) and each theta[m] from
// N(theta[m - 1], kMonthDrift^2 * months between them).

/// Standard deviation of the change of the player's strength over a month.
inline constexpr double kMonthDrift = 0.3;

/// Most effects that one match has, and the index that stands for none.
inline constexpr int kMaxCellEffects = 4;
inline constexpr std::uint8_t kNoEffect = 0xFF;

/// The effects (indices of gamma) of one set of conditions, kNoEffect where
/// it has fewer.
using FitConditions = std::array<std::uint8_t, kMaxCellEffects>;

/// Matches of one opponent that share their month and their conditions:
/// the model tells them apart by nothing else. A cell holds at most
/// kMaxCellMatches; more are counted in a second cell alike. Twelve bytes:
/// a long log has a cell for most of its matches.
struct FitCell {
  std::uint32_t month = 0;       // index of theta
  std::uint16_t conditions = 0;  // index in FitProblem::conditions
  std::uint16_t matches = 0;
  std::uint16_t wins = 0;
};
inline constexpr std::uint32_t kMaxCellMatches = 0xFFFF;
/// Most sets of conditions a problem has, as a cell indexes them.
inline constexpr std::size_t kMaxConditionSets = 0x10000;

/// Everything the fit needs.
struct FitProblem {
  // The cells of each opponent (the index of beta), ordered by month.
  std::vector<std::vector<FitCell>> opponents;
  std::vector<FitConditions> conditions;
  // Calendar months between month m - 1 and month m, at index m >= 1; at
  // least 1 (index 0 is not read). Its size is the number of months.
  std::vector<std::int64_t> monthGaps;
  int effects = 0;
  // The opponents' spread is searched on the model with only the first
  // searchedEffects effects (the others held at 0, their cells merged),
  // then every effect is fitted at that spread: effects of the player's own
  // (his characters) say little of his opponents and would multiply the
  // cells of each of the search's fits. All of them when it is above
  // `effects`, none when below 0.
  int searchedEffects = std::numeric_limits<int>::max();
};

/// A fitted parameter: its most probable value and its standard deviation.
struct FitEstimate {
  double value = 0;
  double sd = 1;
};

/// The opponents' spread is searched between these.
inline constexpr double kMinOpponentSpread = 0.05;
inline constexpr double kMaxOpponentSpread = 5;

/// The fitted model. Its parameters, in `values` and `covariance`: theta by
/// month, gamma by effect, then the average strength of the opponents met
/// (beta weighted by the matches against each), at index averageOpponent().
struct FitResult {
  Eigen::VectorXd values;
  // Of the Laplace approximation around the most probable values.
  Eigen::MatrixXd covariance;
  // The standard deviation of the opponents' strengths that makes the
  // matches most probable (the marginal likelihood, Laplace approximation).
  double opponentSpread = 1;
  int months = 0;

  Eigen::Index averageOpponent() const { return values.size() - 1; }
  FitEstimate estimate(Eigen::Index i) const {
    return {values(i), std::sqrt(covariance(i, i))};
  }
};

/// The most probable parameters given the cells, by Newton's method with a
/// halving step until they stop moving (at most a bounded number of steps),
/// at the opponents' spread found by a golden-section search on its
/// logarithm (on the model of the searched effects), each fit starting
/// where the one before stopped, the last one with every effect. The priors
/// keep every value finite, whatever the cells: one match, all wins,
/// parameters without a match (those keep their prior). No month gives
/// empty values. Cost: a few dozen Newton steps, each linear in the cells
/// (merged over the effects not searched) and the opponents and cubic in
/// months + effects, and a few on the cells as they are.
/// REQUIRES: every index of a cell is below its count in `problem`; counts
/// 0 <= wins <= matches; at most kMaxConditionSets sets of conditions.
FitResult fitLogisticModel(const FitProblem& problem);

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_LOGISTIC_FIT_H_
