#include "stats/insights.h"

#include <Eigen/Core>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "stats/insight_cells.h"
#include "stats/logistic_fit.h"
#include "stats/win_rate_interval.h"

namespace sessionstats {
namespace {

// The form is told changed from these many months before the latest.
constexpr std::array<std::int64_t, 2> kFormChangeMonths{12, 3};
// A clear level's interval excludes no effect at 1 - kFalseClear / k.
constexpr double kFalseClear = 0.05;
constexpr double kPercent = 100;

double logistic(double x) { return 1 / (1 + std::exp(-x)); }

// Win-% points at an even match of an effect on the log-odds.
double pointsOf(double logit) { return kPercent * (logistic(logit) - 0.5); }

// The z of a two-sided interval that misses with chance `miss`: where
// erfc(z / sqrt 2) = miss, by bisection.
double twoSidedZ(double miss) {
  double low = 0;
  double high = 40;
  constexpr int kHalvings = 60;
  for (int i = 0; i < kHalvings; ++i) {
    const double mid = (low + high) / 2;
    (std::erfc(mid / std::sqrt(2.0)) > miss ? low : high) = mid;
  }
  return (low + high) / 2;
}

// A linear combination of the fitted parameters, its value and its
// standard deviation.
FitEstimate combine(const FitResult& fit, const Eigen::VectorXd& c) {
  const double variance = c.dot(fit.covariance * c);
  return {c.dot(fit.values), std::sqrt(std::max(variance, 0.0))};
}

void setEffect(ConditionEffect& level, const FitEstimate& estimate,
               double clearZ) {
  if (level.matches == 0) return;
  level.logit = estimate.value;
  level.logitLow = estimate.value - kZ95 * estimate.sd;
  level.logitHigh = estimate.value + kZ95 * estimate.sd;
  level.points = pointsOf(estimate.value);
  level.pointsLow = pointsOf(level.logitLow);
  level.pointsHigh = pointsOf(level.logitHigh);
  level.clear = level.matches >= kMinMatchesToTell &&
                std::abs(estimate.value) > clearZ * estimate.sd;
}

// Reads the fit: linear combinations of its parameters (theta by month,
// gamma by effect, the average opponent met).
class FitReader {
 public:
  FitReader(const FitResult& fit, const FitProblem& problem,
            std::int64_t matches)
      : fit_(fit),
        average_(Eigen::VectorXd::Zero(fit.values.size())),
        matches_(static_cast<double>(matches)) {
    // The player's average conditions: each effect weighted by the share of
    // his matches under it; the average opponent he met taken out.
    for (const std::vector<FitCell>& cells : problem.opponents) {
      for (const FitCell& cell : cells) {
        for (const int e : problem.conditions[cell.conditions]) {
          if (e != kNoEffect) {
            average_(effectIndex(e)) +=
                static_cast<double>(cell.matches) / matches_;
          }
        }
      }
    }
    average_(fit.averageOpponent()) = -1;
  }

  Eigen::Index effectIndex(int effect) const { return fit_.months + effect; }
  Eigen::VectorXd zero() const {
    return Eigen::VectorXd::Zero(fit_.values.size());
  }
  // The log-odds of the form of month m.
  Eigen::VectorXd form(std::size_t m) const {
    Eigen::VectorXd c = average_;
    c(static_cast<Eigen::Index>(m)) = 1;
    return c;
  }

  // Each level of a condition against the average of its levels weighted
  // by their matches: its own effect (none for the reference) less that
  // average.
  template <std::size_t N>
  std::array<Eigen::VectorXd, N> againstAverage(
      const std::array<ConditionEffect, N>& levels, int reference,
      int first) const {
    std::int64_t total = 0;
    for (const ConditionEffect& level : levels) total += level.matches;
    Eigen::VectorXd mean = zero();
    for (int level = 0; level < static_cast<int>(N); ++level) {
      if (level == reference || total == 0) continue;
      mean(effectIndex(effectOf(level, reference, first))) =
          static_cast<double>(levels[level].matches) /
          static_cast<double>(total);
    }
    std::array<Eigen::VectorXd, N> result;
    for (int level = 0; level < static_cast<int>(N); ++level) {
      result[level] = -mean;
      if (level != reference) {
        result[level](effectIndex(effectOf(level, reference, first))) += 1;
      }
    }
    return result;
  }

 private:
  const FitResult& fit_;
  Eigen::VectorXd average_;
  double matches_;
};

// The months to tell the form's change from, to the latest: kFormChangeMonths
// before it (the latest fitted month at or before that) and the first.
std::vector<std::size_t> changeMonths(const std::vector<MonthForm>& form) {
  std::vector<std::size_t> from{0};
  const std::int64_t latest = monthNumber(form.back().month);
  for (const std::int64_t back : kFormChangeMonths) {
    for (std::size_t m = form.size(); m-- > 0;) {
      if (monthNumber(form[m].month) <= latest - back) {
        from.push_back(m);
        break;
      }
    }
  }
  std::sort(from.begin(), from.end());
  from.erase(std::unique(from.begin(), from.end()), from.end());
  std::erase(from, form.size() - 1);
  return from;
}

// The change of form from month `from` to the latest in win-% points; its
// standard deviation by the first-order (delta) method.
FitEstimate formChange(const FitResult& fit, const FitReader& reader,
                       std::size_t from, std::size_t latest) {
  const Eigen::VectorXd before = reader.form(from);
  const Eigen::VectorXd after = reader.form(latest);
  const double p = logistic(after.dot(fit.values));
  const double q = logistic(before.dot(fit.values));
  const Eigen::VectorXd slope =
      kPercent * (p * (1 - p) * after - q * (1 - q) * before);
  return {kPercent * (p - q), combine(fit, slope).sd};
}

void setForm(Insights& insights, const FitResult& fit,
             const FitReader& reader) {
  for (std::size_t m = 0; m < insights.form.size(); ++m) {
    const FitEstimate theta = combine(fit, reader.form(m));
    MonthForm& month = insights.form[m];
    month.losses = month.matches - month.wins;
    month.form = logistic(theta.value);
    month.formLow = logistic(theta.value - kZ95 * theta.sd);
    month.formHigh = logistic(theta.value + kZ95 * theta.sd);
  }
}

// Each character's strength against the average of those played weighted
// by their matches; those with enough matches to tell go to `insights`.
void setCharacters(Insights& insights,
                   const std::vector<ConditionEffect>& played,
                   const FitResult& fit, const FitReader& reader,
                   double clearZ) {
  std::int64_t total = 0;
  for (const ConditionEffect& level : played) total += level.matches;
  Eigen::VectorXd mean = reader.zero();
  for (std::size_t i = 0; i < played.size(); ++i) {
    mean(reader.effectIndex(kFirstCharacterEffect + static_cast<int>(i))) =
        static_cast<double>(played[i].matches) / static_cast<double>(total);
  }
  for (std::size_t i = 0; i < played.size(); ++i) {
    if (played[i].matches < kMinMatchesToTell) continue;
    Eigen::VectorXd c = -mean;
    c(reader.effectIndex(kFirstCharacterEffect + static_cast<int>(i))) += 1;
    insights.characters.push_back(played[i]);
    setEffect(insights.characters.back(), combine(fit, c), clearZ);
  }
}

// The levels and form changes with a value: the k of the clear intervals.
int toldLevels(const Insights& insights, std::size_t changes,
               const std::vector<ConditionEffect>& characters) {
  int told = static_cast<int>(changes) + (insights.afterLoss.matches > 0);
  for (const ConditionEffect& level : characters) {
    told += level.matches >= kMinMatchesToTell;
  }
  for (const ConditionEffect& level : insights.sessionStage) {
    told += level.matches > 0;
  }
  for (const ConditionEffect& level : insights.timeOfDay) {
    told += level.matches > 0;
  }
  return told;
}

}  // namespace

Insights fitInsights(const PlayerRecord& player, const MatchLog& matches) {
  Insights insights;
  const InsightCells cells = insightCells(player, matches, insights);
  const FitProblem& problem = cells.problem;
  const FitResult fit = fitLogisticModel(problem);
  if (fit.values.size() == 0) return insights;
  for (const MonthForm& month : insights.form) {
    insights.matches += month.matches;
  }
  insights.opponentSpread = fit.opponentSpread;
  const FitReader reader(fit, problem, insights.matches);
  setForm(insights, fit, reader);

  const std::vector<std::size_t> from = changeMonths(insights.form);
  const double clearZ = twoSidedZ(
      kFalseClear / toldLevels(insights, from.size(), cells.characters));
  const std::size_t latest = insights.form.size() - 1;
  for (const std::size_t m : from) {
    const FitEstimate change = formChange(fit, reader, m, latest);
    insights.formChange.push_back(
        {insights.form[m].month, insights.form[latest].month, change.value,
         change.value - kZ95 * change.sd, change.value + kZ95 * change.sd,
         std::abs(change.value) > clearZ * change.sd});
  }
  Eigen::VectorXd afterLoss = reader.zero();
  afterLoss(reader.effectIndex(kAfterLossEffect)) = 1;
  setEffect(insights.afterLoss, combine(fit, afterLoss), clearZ);
  const auto stages = reader.againstAverage(
      insights.sessionStage, cells.stageReference, kFirstStageEffect);
  for (int stage = 0; stage < kStageCount; ++stage) {
    setEffect(insights.sessionStage[stage], combine(fit, stages[stage]),
              clearZ);
  }
  const auto bands = reader.againstAverage(
      insights.timeOfDay, cells.hourReference, kFirstHourEffect);
  for (int band = 0; band < kHourBandCount; ++band) {
    setEffect(insights.timeOfDay[band], combine(fit, bands[band]), clearZ);
  }
  setCharacters(insights, cells.characters, fit, reader, clearZ);
  return insights;
}

}  // namespace sessionstats
