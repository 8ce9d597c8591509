#include "stats/logistic_fit.h"

#include <gtest/gtest.h>

#include <Eigen/Cholesky>
#include <Eigen/Core>
#include <Eigen/LU>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace sessionstats {
namespace {

// The same model solved plainly: one dense Hessian over all the
// parameters (theta by month, gamma by effect, beta by opponent), full
// Newton steps from zero.
class DenseModel {
 public:
  DenseModel(const FitProblem& problem, double spread)
      : problem_(problem),
        months_(static_cast<Eigen::Index>(problem.monthGaps.size())),
        core_(months_ + problem.effects),
        size_(core_ + static_cast<Eigen::Index>(problem.opponents.size())),
        precision_(1 / (spread * spread)),
        x_(Eigen::VectorXd::Zero(size_)) {
    for (int step = 0; step < 25; ++step) {
      derive();
      x_ -= hessian_.ldlt().solve(gradient_);
    }
    derive();
  }

  const Eigen::VectorXd& mode() const { return x_; }
  Eigen::MatrixXd covariance() const { return hessian_.inverse(); }
  // The negative log marginal likelihood of the spread, Laplace's.
  double negativeLogEvidence() const {
    const double opponents = static_cast<double>(size_ - core_);
    return objective_ - opponents * std::log(precision_) / 2 +
           std::log(hessian_.determinant()) / 2;
  }

 private:
  void derive() {
    gradient_.setZero(size_);
    hessian_.setZero(size_, size_);
    objective_ = 0;
    for (std::size_t j = 0; j < problem_.opponents.size(); ++j) {
      for (const FitCell& cell : problem_.opponents[j]) {
        Eigen::VectorXd design = Eigen::VectorXd::Zero(size_);
        design(cell.month) = 1;
        design(core_ + static_cast<Eigen::Index>(j)) = -1;
        for (const int e : problem_.conditions[cell.conditions]) {
          if (e != kNoEffect) design(months_ + e) += 1;
        }
        const double eta = design.dot(x_);
        const double p = 1 / (1 + std::exp(-eta));
        const double n = cell.matches;
        objective_ += n * std::log(1 + std::exp(eta)) - cell.wins * eta;
        gradient_ += (n * p - cell.wins) * design;
        hessian_ += n * p * (1 - p) * design * design.transpose();
      }
    }
    Eigen::MatrixXd prior = Eigen::MatrixXd::Zero(size_, size_);
    prior(0, 0) = 1;
    for (Eigen::Index m = 1; m < months_; ++m) {
      const double c = 1 / (kMonthDrift * kMonthDrift *
                            static_cast<double>(problem_.monthGaps[m]));
      prior(m, m) += c;
      prior(m - 1, m - 1) += c;
      prior(m, m - 1) -= c;
      prior(m - 1, m) -= c;
    }
    for (Eigen::Index i = months_; i < size_; ++i) {
      prior(i, i) = i < core_ ? 1 : precision_;
    }
    gradient_ += prior * x_;
    hessian_ += prior;
    objective_ += x_.dot(prior * x_) / 2;
  }

  const FitProblem& problem_;
  Eigen::Index months_;
  Eigen::Index core_;
  Eigen::Index size_;
  double precision_;
  Eigen::VectorXd x_;
  Eigen::VectorXd gradient_;
  Eigen::MatrixXd hessian_;
  double objective_ = 0;
};

// Small seeded problems, months apart by gaps of 1 to 3, every opponent
// met in several months and under several sets of conditions.
FitProblem seededProblem(std::uint32_t seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> normal;
  std::uniform_int_distribution<int> gap(1, 3);
  FitProblem problem;
  problem.effects = 3;
  problem.conditions = {{kNoEffect, kNoEffect, kNoEffect},
                        {0, kNoEffect, kNoEffect},
                        {0, 1, kNoEffect},
                        {1, 2, kNoEffect}};
  problem.monthGaps = {1, gap(random), gap(random), gap(random), gap(random)};
  for (int j = 0; j < 7; ++j) {
    const double strength = 1.5 * normal(random);
    std::vector<FitCell> cells;
    for (std::uint32_t m = 0; m < 5; ++m) {
      for (std::uint16_t set = 0; set < 4; ++set) {
        const auto matches = static_cast<std::uint16_t>(3 + random() % 12);
        const double p =
            1 / (1 + std::exp(strength + 0.1 * m - 0.3 * (set == 3)));
        std::binomial_distribution<std::uint16_t> wins(matches, p);
        cells.push_back({m, set, matches, wins(random)});
      }
    }
    problem.opponents.push_back(cells);
  }
  return problem;
}

TEST(LogisticFit, AgreesWithADenseNewtonSolveAtTheSpreadItFinds) {
  for (const std::uint32_t seed : {1U, 2U}) {
    const FitProblem problem = seededProblem(seed);
    const FitResult fit = fitLogisticModel(problem);
    const DenseModel dense(problem, fit.opponentSpread);
    const Eigen::Index core = fit.averageOpponent();
    ASSERT_EQ(core, 8);
    Eigen::VectorXd shares = Eigen::VectorXd::Zero(dense.mode().size());
    double matches = 0;
    for (std::size_t j = 0; j < problem.opponents.size(); ++j) {
      for (const FitCell& cell : problem.opponents[j]) {
        shares(core + static_cast<Eigen::Index>(j)) += cell.matches;
        matches += cell.matches;
      }
    }
    shares /= matches;
    // The core and the average opponent met, and their covariance.
    Eigen::MatrixXd pick = Eigen::MatrixXd::Zero(core + 1, shares.size());
    pick.topLeftCorner(core, core).setIdentity();
    pick.row(core) = shares.transpose();
    const Eigen::VectorXd values = pick * dense.mode();
    const Eigen::MatrixXd covariance =
        pick * dense.covariance() * pick.transpose();
    for (Eigen::Index i = 0; i <= core; ++i) {
      EXPECT_NEAR(fit.values(i), values(i), 1e-6) << seed << " " << i;
      for (Eigen::Index k = 0; k <= core; ++k) {
        // Taken a hundredth of a standard deviation before the top.
        EXPECT_NEAR(fit.covariance(i, k), covariance(i, k), 1e-5)
            << seed << " " << i << " " << k;
      }
    }
    // The spread found makes the matches more probable than its neighbours.
    const double found = dense.negativeLogEvidence();
    for (const double factor : {0.9, 1.1}) {
      EXPECT_LT(found, DenseModel(problem, fit.opponentSpread * factor)
                           .negativeLogEvidence())
          << seed << " " << factor;
    }
  }
}

}  // namespace
}  // namespace sessionstats
