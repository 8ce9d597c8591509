#ifndef SESSION_STATS_STATS_NEWTON_SYSTEM_H_
#define SESSION_STATS_STATS_NEWTON_SYSTEM_H_

#include <Eigen/Cholesky>
#include <Eigen/Core>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "stats/logistic_fit.h"

namespace sessionstats {

// The parameters: the core (theta by month, then gamma by effect), and beta
// by opponent.
struct FitParameters {
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
  double gather(const FitParameters& x);
  void factor();

  // The Newton step from the point factored, and -gradient . step.
  double step(FitParameters& delta) const;

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
                 const FitParameters& x);
  void closeOpponent();
  void spreadConditions();
  double addPrior(const FitParameters& x);

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

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_NEWTON_SYSTEM_H_
