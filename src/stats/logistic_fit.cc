#include "stats/logistic_fit.h"

#include <Eigen/Cholesky>
#include <Eigen/Core>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "stats/newton_system.h"

namespace sessionstats {
namespace {

// Newton's method stops once the step it proposes moves every parameter by
// less than this share of its standard deviation: the step's Newton
// decrement bounds that share (|step_i| <= decrement * sd_i), and the
// decrement squared is computed here. That last step is taken, and the
// variances are those at the point it starts from, a hundredth of a standard
// deviation away. A log that one side always wins still converges, as the
// priors bound the parameters, and kMaxIterations bounds the work whatever
// happens.
constexpr double kConverged = 1e-2 * 1e-2;
constexpr int kMaxIterations = 100;
// A step is halved until the log posterior rises by a share of what the
// step promised (Armijo's rule), at most kMaxHalvings times.
constexpr double kSufficientRise = 1e-4;
constexpr int kMaxHalvings = 50;
// Near the top, where the step promises little (its Newton decrement
// squared below this), the whole step is taken without checking it: the
// posterior is close to its quadratic model there.
constexpr double kWholeStep = 0.1;

// Puts in `trial` the point along `delta` from `x`, halved until the
// posterior rises by its share, with the system gathered there, and in
// `value` (the objective at `x`) the objective there; false when no such
// point is found.
bool takeStep(NewtonSystem& system, const FitParameters& delta,
              double decrement, const FitParameters& x, FitParameters& trial,
              double& value) {
  double t = 1;
  for (int halvings = 0; halvings <= kMaxHalvings; ++halvings, t /= 2) {
    trial.core = x.core + t * delta.core;
    trial.opponents = x.opponents + t * delta.opponents;
    const double reached = system.gather(trial);
    if (reached <= value - kSufficientRise * t * decrement) {
      value = reached;
      return true;
    }
  }
  return false;
}

// Moves `x` to the most probable point by Newton's method, from where it
// is, and leaves the system factored there; returns the objective there.
double climb(NewtonSystem& system, FitParameters& x) {
  FitParameters delta;
  FitParameters trial;
  double value = system.gather(x);
  system.factor();
  for (int iteration = 0;; ++iteration) {
    const double decrement = system.step(delta);
    if (!(decrement >= 0) || iteration == kMaxIterations) break;
    if (decrement < kWholeStep) {
      x.core += delta.core;
      x.opponents += delta.opponents;
      if (decrement < kConverged) break;
      value = system.gather(x);
    } else if (takeStep(system, delta, decrement, x, trial, value)) {
      std::swap(x, trial);
    } else {
      // No step raises the posterior: as close as arithmetic gets.
      value = system.gather(x);
      system.factor();
      break;
    }
    system.factor();
  }
  return value;
}

// The negative log marginal likelihood of the opponents' spread exp(logSd)
// under the Laplace approximation, up to a constant: the negative log
// posterior at its top, the normal prior's normalisation of each
// opponent's strength, and half the log determinant of the curvature there.
double negativeLogEvidence(NewtonSystem& system, FitParameters& x,
                           double logSd) {
  system.setOpponentPrecision(std::exp(-2 * logSd));
  const double top = climb(system, x);
  return top + static_cast<double>(x.opponents.size()) * logSd +
         system.logDeterminant() / 2;
}

// The golden-section search for the spread, on its logarithm: each
// evaluation narrows the bracket by a factor 0.618 and keeps its better
// point, until the bracket is narrower than kSpreadTolerance (a hundredth,
// i.e. the spread to 1%). The fits start from the last one's point, so
// that late ones, close to each other, take a Newton step or two.
constexpr double kSpreadTolerance = 1e-2;

double searchLogSpread(NewtonSystem& system, FitParameters& x) {
  const double ratio = (std::sqrt(5.0) - 1) / 2;
  double low = std::log(kMinOpponentSpread);
  double high = std::log(kMaxOpponentSpread);
  double inner = high - ratio * (high - low);
  double outer = low + ratio * (high - low);
  double innerValue = negativeLogEvidence(system, x, inner);
  double outerValue = negativeLogEvidence(system, x, outer);
  while (high - low > kSpreadTolerance) {
    if (innerValue <= outerValue) {
      high = outer;
      outer = inner;
      outerValue = innerValue;
      inner = high - ratio * (high - low);
      innerValue = negativeLogEvidence(system, x, inner);
    } else {
      low = inner;
      inner = outer;
      innerValue = outerValue;
      outer = low + ratio * (high - low);
      outerValue = negativeLogEvidence(system, x, outer);
    }
  }
  return innerValue <= outerValue ? inner : outer;
}

// Appends to `merged` the cells of one opponent, `own`, those of one month
// and one merged set (`setOf` their sets) made one. `at` (where each merged
// set has its cell in the month being merged, plus one) is all 0 before and
// after.
void mergeCells(const std::vector<FitCell>& own,
                const std::vector<std::uint32_t>& setOf,
                std::vector<std::uint32_t>& at, std::vector<FitCell>& merged) {
  std::size_t monthStart = 0;
  const auto closeMonth = [&] {
    for (std::size_t c = monthStart; c < merged.size(); ++c) {
      at[merged[c].conditions] = 0;
    }
    monthStart = merged.size();
  };
  for (const FitCell& cell : own) {
    if (!merged.empty() && merged.back().month != cell.month) closeMonth();
    const std::uint32_t set = setOf[cell.conditions];
    if (at[set] == 0 ||
        cell.matches > kMaxCellMatches - merged[at[set] - 1].matches) {
      merged.push_back({cell.month, static_cast<std::uint16_t>(set), 0, 0});
      at[set] = static_cast<std::uint32_t>(merged.size());
    }
    FitCell& into = merged[at[set] - 1];
    into.matches = static_cast<std::uint16_t>(into.matches + cell.matches);
    into.wins = static_cast<std::uint16_t>(into.wins + cell.wins);
  }
  closeMonth();
}

// The problem of the first `kept` effects alone: each set of conditions
// without the others (sets then alike made one), and each opponent's cells
// of one month and one such set merged, up to kMaxCellMatches a cell.
FitProblem searchedProblem(const FitProblem& problem, int kept) {
  FitProblem searched;
  searched.monthGaps = problem.monthGaps;
  searched.effects = kept;
  std::vector<std::uint32_t> setOf(problem.conditions.size());
  for (std::size_t set = 0; set < problem.conditions.size(); ++set) {
    FitConditions effects = problem.conditions[set];
    for (std::uint8_t& e : effects) {
      if (e != kNoEffect && e >= kept) e = kNoEffect;
    }
    const auto found = std::find(searched.conditions.begin(),
                                 searched.conditions.end(), effects);
    setOf[set] =
        static_cast<std::uint32_t>(found - searched.conditions.begin());
    if (found == searched.conditions.end()) {
      searched.conditions.push_back(effects);
    }
  }
  std::vector<std::uint32_t> at(searched.conditions.size());
  searched.opponents.reserve(problem.opponents.size());
  for (const std::vector<FitCell>& own : problem.opponents) {
    mergeCells(own, setOf, at, searched.opponents.emplace_back());
  }
  return searched;
}

// The logarithm of the spread found on `problem`, its fit's point in `x`.
double searchSpread(const FitProblem& problem, FitParameters& x) {
  NewtonSystem system(problem);
  return searchLogSpread(system, x);
}

}  // namespace

FitResult fitLogisticModel(const FitProblem& problem) {
  FitResult result;
  if (problem.monthGaps.empty()) return result;
  const auto months = static_cast<Eigen::Index>(problem.monthGaps.size());
  const auto opponents = static_cast<Eigen::Index>(problem.opponents.size());
  const int kept = std::clamp(problem.searchedEffects, 0, problem.effects);
  FitParameters x{Eigen::VectorXd::Zero(months + kept),
                  Eigen::VectorXd::Zero(opponents)};
  const double logSd = kept == problem.effects
                           ? searchSpread(problem, x)
                           : searchSpread(searchedProblem(problem, kept), x);
  // The effects not searched start from their prior's mean.
  x.core.conservativeResizeLike(
      Eigen::VectorXd::Zero(months + problem.effects));
  NewtonSystem system(problem);
  system.setOpponentPrecision(std::exp(-2 * logSd));
  climb(system, x);

  Eigen::VectorXd shares = Eigen::VectorXd::Zero(opponents);
  for (Eigen::Index j = 0; j < opponents; ++j) {
    for (const FitCell& cell : problem.opponents[j]) {
      shares(j) += static_cast<double>(cell.matches);
    }
  }
  if (shares.sum() > 0) shares /= shares.sum();
  result.months = static_cast<int>(months);
  result.opponentSpread = std::exp(logSd);
  result.values.resize(x.core.size() + 1);
  result.values.head(x.core.size()) = x.core;
  result.values(x.core.size()) = shares.dot(x.opponents);
  result.covariance = system.covariance(shares);
  return result;
}

}  // namespace sessionstats
