#include "stats/newton_system.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace sessionstats {

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

double NewtonSystem::gather(const FitParameters& x) {
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
                             const FitParameters& x) {
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
double NewtonSystem::addPrior(const FitParameters& x) {
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

double NewtonSystem::step(FitParameters& delta) const {
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

}  // namespace sessionstats
