#include "stats/logistic_fit.h"

#include <Eigen/Cholesky>
#include <Eigen/Core>
#include <algorithm>
#include <cmath>
#include <cstddef>

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

// The parameters: the core (theta by month, then gamma by effect), and beta
// by opponent.
struct Parameters {
  Eigen::VectorXd core;
  Eigen::VectorXd opponents;
};

// The Newton system at one point. The Hessian of the negative log posterior
// is an arrow: a dense core block A, a diagonal block D for the opponents,
// and the coupling B whose column j (opponent j's months and effects) is
// kept sparse. Eliminating the opponents leaves the Schur complement
// S = A - B D^-1 B^T, whose inverse is exactly the core's covariance.
//
// A cell's share of A and of the core's gradient depends only on its month
// and its set of conditions, so the cells add into one total per pair of
// those, spread onto A once all are in; likewise each opponent's column of B
// sums its effects by set of conditions.
class NewtonSystem {
 public:
  explicit NewtonSystem(const FitProblem& problem)
      : problem_(problem),
        months_(static_cast<Eigen::Index>(problem.monthGaps.size())),
        core_(months_ + problem.effects),
        opponents_(static_cast<std::uint32_t>(problem.opponents.size())),
        sets_(problem.conditions.size()) {}

  // Gathers the derivatives at `x` from the cells and the priors, and
  // returns the negative log posterior there (up to a constant). Then
  // factor() makes the system ready for step() and variances().
  double gather(const Parameters& x);
  void factor();

  // The Newton step from the point factored, and -gradient . step.
  double step(Parameters& delta) const;

  // The prior precision of the opponents' strengths, 1 / spread^2; the
  // next gather() uses it.
  void setOpponentPrecision(double precision) { precision_ = precision; }

  // The logarithm of the Hessian's determinant at the point factored: that
  // of D times that of S = L L^T.
  double logDeterminant() const {
    return diagonal_.array().log().sum() +
           2 * llt_.matrixLLT().diagonal().array().log().sum();
  }

  // The covariance at the point factored of the core and, last, of
  // b . beta, b the share of the matches against each opponent. With
  // u = B D^-1 b: cov(core) = S^-1, cov(core, b . beta) = -S^-1 u and
  // var(b . beta) = b^T D^-1 b + u^T S^-1 u.
  Eigen::MatrixXd covariance(const Eigen::VectorXd& shares) const;

 private:
  double addCell(const FitCell& cell, Eigen::Index opponent,
                 const Parameters& x);
  void closeOpponent();
  void spreadConditions();
  double addPrior(const Parameters& x);

  const FitProblem& problem_;
  Eigen::Index months_;
  Eigen::Index core_;
  std::uint32_t opponents_;
  Eigen::VectorXd gradCore_;
  Eigen::VectorXd gradOpponents_;
  Eigen::MatrixXd schur_;  // A, then S: lower triangle only
  Eigen::VectorXd diagonal_;
  // Column j of B: entries offsets_[j] .. offsets_[j + 1] of index_/value_,
  // indices ascending.
  std::vector<std::size_t> offsets_;
  std::vector<Eigen::Index> index_;
  std::vector<double> value_;
  // The sum of the effects of each set of conditions at the point gathered.
  std::vector<double> shift_;
  // Weight and residual by month and set of conditions (month * sets_ + set).
  std::vector<double> weight_;
  std::vector<double> residual_;
  // The column being made: its weight by set, then its effects' entries.
  std::vector<double> setColumn_;
  Eigen::VectorXd effectColumn_;
  std::size_t sets_;
  Eigen::LLT<Eigen::MatrixXd, Eigen::Lower> llt_;
  double precision_ = 1;
};

Eigen::MatrixXd NewtonSystem::covariance(const Eigen::VectorXd& shares) const {
  Eigen::VectorXd u = Eigen::VectorXd::Zero(core_);
  double opponentsOnly = 0;
  for (std::uint32_t j = 0; j < opponents_; ++j) {
    const double share = shares(j) / diagonal_(j);
    opponentsOnly += shares(j) * share;
    for (std::size_t a = offsets_[j]; a < offsets_[j + 1]; ++a) {
      u(index_[a]) += value_[a] * share;
    }
  }
  const Eigen::MatrixXd lowerInverse =
      llt_.matrixL().solve(Eigen::MatrixXd::Identity(core_, core_));
  Eigen::MatrixXd result(core_ + 1, core_ + 1);
  result.topLeftCorner(core_, core_).noalias() =
      lowerInverse.transpose() * lowerInverse;
  const Eigen::VectorXd coupled = -(result.topLeftCorner(core_, core_) * u);
  result.col(core_).head(core_) = coupled;
  result.row(core_).head(core_) = coupled.transpose();
  result(core_, core_) = opponentsOnly - u.dot(coupled);
  return result;
}

double NewtonSystem::gather(const Parameters& x) {
  gradCore_.setZero(core_);
  gradOpponents_.setZero(opponents_);
  schur_.setZero(core_, core_);
  diagonal_.setZero(opponents_);
  shift_.assign(sets_, 0);
  for (std::size_t set = 0; set < sets_; ++set) {
    for (const int e : problem_.conditions[set]) {
      if (e != kNoEffect) shift_[set] += x.core(months_ + e);
    }
  }
  weight_.assign(static_cast<std::size_t>(months_) * sets_, 0);
  residual_.assign(weight_.size(), 0);
  setColumn_.assign(sets_, 0);
  effectColumn_.setZero(problem_.effects);
  offsets_.assign(1, 0);
  index_.clear();
  value_.clear();

  double objective = 0;
  for (std::uint32_t j = 0; j < opponents_; ++j) {
    for (const FitCell& cell : problem_.opponents[j]) {
      objective += addCell(cell, j, x);
    }
    closeOpponent();
  }
  spreadConditions();
  return objective + addPrior(x);
}

// S = A - B D^-1 B^T, column by column of B.
void NewtonSystem::factor() {
  for (std::uint32_t j = 0; j < opponents_; ++j) {
    const double d = diagonal_(j);
    for (std::size_t a = offsets_[j]; a < offsets_[j + 1]; ++a) {
      const double scaled = value_[a] / d;
      for (std::size_t b = offsets_[j]; b <= a; ++b) {
        schur_(index_[a], index_[b]) -= scaled * value_[b];
      }
    }
  }
  llt_.compute(schur_);
}

// Returns the cell's share of the negative log likelihood,
// n log(1 + e^eta) - wins eta, written so that no exp overflows. log(1 + s)
// stands for log1p(s): what it loses for a tiny s is below what rounding
// loses in the sum over the cells, and it costs less.
double NewtonSystem::addCell(const FitCell& cell, Eigen::Index opponent,
                             const Parameters& x) {
  const double n = static_cast<double>(cell.matches);
  const double wins = static_cast<double>(cell.wins);
  const auto month = static_cast<Eigen::Index>(cell.month);
  const double linear =
      x.core(month) - x.opponents(opponent) + shift_[cell.conditions];
  const double small = std::exp(-std::abs(linear));
  const double p = linear >= 0 ? 1 / (1 + small) : small / (1 + small);
  const double w = n * p * (1 - p);
  const double residual = wins - n * p;
  gradOpponents_(opponent) += residual;
  diagonal_(opponent) += w;
  const std::size_t at = cell.month * sets_ + cell.conditions;
  weight_[at] += w;
  residual_[at] += residual;
  setColumn_[cell.conditions] += w;
  // Cells of one opponent come month by month: one entry per month.
  if (index_.size() > offsets_.back() && index_.back() == month) {
    value_.back() -= w;
  } else {
    index_.push_back(month);
    value_.push_back(-w);
  }
  return n * (std::max(linear, 0.0) + std::log(1 + small)) - wins * linear;
}

// The effects' entries of a column come after its months', so the indices
// stay ascending.
void NewtonSystem::closeOpponent() {
  for (std::size_t set = 0; set < sets_; ++set) {
    for (const int e : problem_.conditions[set]) {
      if (e != kNoEffect) effectColumn_(e) -= setColumn_[set];
    }
    setColumn_[set] = 0;
  }
  for (Eigen::Index e = 0; e < problem_.effects; ++e) {
    if (effectColumn_(e) == 0) continue;
    index_.push_back(months_ + e);
    value_.push_back(effectColumn_(e));
    effectColumn_(e) = 0;
  }
  offsets_.push_back(index_.size());
}

// Adds each month's totals by set of conditions to A and the core's
// gradient, as its cells would one by one.
void NewtonSystem::spreadConditions() {
  for (Eigen::Index m = 0; m < months_; ++m) {
    for (std::size_t set = 0; set < sets_; ++set) {
      const std::size_t at = static_cast<std::size_t>(m) * sets_ + set;
      const double w = weight_[at];
      const double residual = residual_[at];
      gradCore_(m) -= residual;
      schur_(m, m) += w;
      const FitConditions& effects = problem_.conditions[set];
      for (const int e : effects) {
        if (e == kNoEffect) continue;
        const Eigen::Index row = months_ + e;
        gradCore_(row) -= residual;
        schur_(row, m) += w;
        for (const int f : effects) {
          if (f <= e) schur_(row, months_ + f) += w;  // kNoEffect is above all
        }
      }
    }
  }
}

// Returns the negative log prior, up to a constant.
double NewtonSystem::addPrior(const Parameters& x) {
  gradOpponents_ += precision_ * x.opponents;
  diagonal_.array() += precision_;
  double twice = precision_ * x.opponents.squaredNorm();
  for (Eigen::Index e = months_; e < core_; ++e) {
    gradCore_(e) += x.core(e);
    schur_(e, e) += 1;
    twice += x.core(e) * x.core(e);
  }
  gradCore_(0) += x.core(0);
  schur_(0, 0) += 1;
  twice += x.core(0) * x.core(0);
  for (Eigen::Index m = 1; m < months_; ++m) {
    // The precision of the walk of theta from month m - 1 to month m.
    const double c = 1 / (kMonthDrift * kMonthDrift *
                          static_cast<double>(problem_.monthGaps[m]));
    const double change = x.core(m) - x.core(m - 1);
    gradCore_(m) += c * change;
    gradCore_(m - 1) -= c * change;
    schur_(m, m) += c;
    schur_(m - 1, m - 1) += c;
    schur_(m, m - 1) -= c;
    twice += c * change * change;
  }
  return twice / 2;
}

double NewtonSystem::step(Parameters& delta) const {
  // S dc = -gc + B D^-1 gb; then db = D^-1 (-gb - B^T dc).
  Eigen::VectorXd rhs = -gradCore_;
  for (std::uint32_t j = 0; j < opponents_; ++j) {
    const double share = gradOpponents_(j) / diagonal_(j);
    for (std::size_t a = offsets_[j]; a < offsets_[j + 1]; ++a) {
      rhs(index_[a]) += value_[a] * share;
    }
  }
  delta.core = llt_.solve(rhs);
  delta.opponents.resize(gradOpponents_.size());
  for (std::uint32_t j = 0; j < opponents_; ++j) {
    double coupled = 0;
    for (std::size_t a = offsets_[j]; a < offsets_[j + 1]; ++a) {
      coupled += value_[a] * delta.core(index_[a]);
    }
    delta.opponents(j) = (-gradOpponents_(j) - coupled) / diagonal_(j);
  }
  return -(gradCore_.dot(delta.core) + gradOpponents_.dot(delta.opponents));
}

// Puts in `trial` the point along `delta` from `x`, halved until the
// posterior rises by its share, with the system gathered there, and in
// `value` (the objective at `x`) the objective there; false when no such
// point is found.
bool takeStep(NewtonSystem& system, const Parameters& delta, double decrement,
              const Parameters& x, Parameters& trial, double& value) {
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
double climb(NewtonSystem& system, Parameters& x) {
  Parameters delta;
  Parameters trial;
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
double negativeLogEvidence(NewtonSystem& system, Parameters& x, double logSd) {
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

double searchLogSpread(NewtonSystem& system, Parameters& x) {
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

}  // namespace

FitResult fitLogisticModel(const FitProblem& problem) {
  FitResult result;
  if (problem.monthGaps.empty()) return result;
  const auto months = static_cast<Eigen::Index>(problem.monthGaps.size());
  const auto opponents = static_cast<Eigen::Index>(problem.opponents.size());
  NewtonSystem system(problem);
  Parameters x{Eigen::VectorXd::Zero(months + problem.effects),
               Eigen::VectorXd::Zero(opponents)};
  const double logSd = searchLogSpread(system, x);
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
