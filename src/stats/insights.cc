#include "stats/insights.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "stats/logistic_fit.h"

namespace sessionstats {
namespace {

// The first and the last match of each stage of a session (0: open).
constexpr std::array<int, kStageCount> kStageFirst{1, 6, 11, 21};
constexpr std::array<int, kStageCount> kStageLast{5, 10, 20, 0};
constexpr int kHoursPerBand = 24 / kHourBandCount;
constexpr int kNoHourBand = kHourBandCount;
constexpr std::int64_t kSecondsPerDay = std::int64_t{24} * 60 * 60;
// Half the width of a 95% interval, in standard deviations.
constexpr double kZ95 = 1.959963984540054;
// The fit solves a dense system of one row per month: a log that spreads
// its matches over more months than anyone plays (dates far apart by a
// broken clock) is fitted on its latest months.
constexpr std::size_t kMaxMonths = 600;
// The effects: after a loss, then the stages and the hour bands other than
// their reference, each in order.
constexpr int kAfterLossEffect = 0;
constexpr int kFirstStageEffect = 1;
constexpr int kFirstHourEffect = kFirstStageEffect + kStageCount - 1;
constexpr int kEffectCount = kFirstHourEffect + kHourBandCount - 1;

// What the model sees of a match but its opponent and month, packed with
// them into one key: opponent id, month (YYYYMM), after a loss, stage, hour
// band, high to low, so that keys order cells by opponent, then month.
struct Conditions {
  bool afterLoss = false;
  int stage = 0;
  int hourBand = kNoHourBand;
};

constexpr int kMonthShift = 6;
constexpr std::uint64_t kConditionBits = (1 << kMonthShift) - 1;
constexpr int kOpponentShift = 26;

std::uint64_t cellKey(std::uint32_t opponent, std::uint32_t month,
                      const Conditions& c) {
  return std::uint64_t{opponent} << kOpponentShift |
         std::uint64_t{month} << kMonthShift |
         static_cast<std::uint64_t>(c.afterLoss) << 5 |
         static_cast<std::uint64_t>(c.stage) << 3 |
         static_cast<std::uint64_t>(c.hourBand);
}

Conditions keyConditions(std::uint64_t key) {
  return {(key >> 5 & 1) != 0, static_cast<int>(key >> 3 & 3),
          static_cast<int>(key & 7)};
}

std::uint32_t keyMonth(std::uint64_t key) {
  return static_cast<std::uint32_t>(key >> kMonthShift & 0xFFFFF);
}

int stageOf(int position) {
  int stage = 0;
  while (stage + 1 < kStageCount && position >= kStageFirst[stage + 1]) {
    ++stage;
  }
  return stage;
}

// The band of the hour the match began: its result line's time less its
// length, on the same clock. A length beyond a day is not believed.
int hourBandOf(const MatchEntry& entry) {
  if (entry.time == kNoTime) return kNoHourBand;
  const std::uint32_t hhmmss = entry.time - 1;
  std::int64_t second =
      hhmmss / 10000 * 3600 + hhmmss / 100 % 100 * 60 + hhmmss % 100;
  if (entry.seconds >= 0 && entry.seconds < kSecondsPerDay) {
    second -= entry.seconds;
  }
  second = (second % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
  return static_cast<int>(second / 3600) / kHoursPerBand;
}

struct Counts {
  std::int64_t matches = 0;
  std::int64_t wins = 0;
};

// Orders the keys by opponent, then month. A counting sort by opponent
// keeps each opponent's matches in log order, which is month order in a log
// written as time passes; only an opponent whose months go back is sorted on
// its own. A cell's matches need not lie side by side: the fit counts a cell
// split in two as one.
void orderByOpponent(std::vector<std::uint64_t>& keys) {
  constexpr int kShift = kOpponentShift + 1;
  std::uint64_t last = 0;
  for (const std::uint64_t key : keys) last = std::max(last, key >> kShift);
  std::vector<std::size_t> ends(last + 1, 0);
  for (const std::uint64_t key : keys) ++ends[key >> kShift];
  std::size_t end = 0;
  for (std::size_t& size : ends) size = end += size;
  std::vector<std::uint64_t> sorted(keys.size());
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
    sorted[--ends[*key >> kShift]] = *key;
  }
  // ends[j] is now where opponent j's keys begin.
  const auto byMonth = [](std::uint64_t a, std::uint64_t b) {
    return keyMonth(a >> 1) < keyMonth(b >> 1);
  };
  for (std::size_t j = 0; j < ends.size(); ++j) {
    const auto begin = sorted.begin() + static_cast<std::ptrdiff_t>(ends[j]);
    const auto stop =
        j + 1 < ends.size()
            ? sorted.begin() + static_cast<std::ptrdiff_t>(ends[j + 1])
            : sorted.end();
    if (!std::is_sorted(begin, stop, byMonth)) std::sort(begin, stop);
  }
  keys = std::move(sorted);
}

// One key per dated match of the player: its cell's key, then a bit set for
// a win, ordered by opponent, then month: 8 bytes a match.
std::vector<std::uint64_t> matchKeys(const PlayerRecord& player,
                                     const MatchLog& matches) {
  std::vector<std::uint64_t> keys;
  keys.reserve(matches.size());  // one side each, but against himself
  bool first = true;
  std::uint32_t session = 0;
  int position = 0;
  bool lastLost = false;
  for (const MatchEntry& entry : matches) {
    forEachSide(entry, player, [&](const MatchSide& side) {
      if (first || entry.session != session) {
        first = false;
        session = entry.session;
        position = 0;
      }
      const Conditions conditions{position > 0 && lastLost, stageOf(++position),
                                  hourBandOf(entry)};
      lastLost = !side.won;
      if (entry.date == kNoDate) return;
      keys.push_back(cellKey(side.opponent->id, entry.date / 100, conditions)
                         << 1 |
                     static_cast<std::uint64_t>(side.won));
    });
  }
  orderByOpponent(keys);
  return keys;
}

std::int64_t monthNumber(std::uint32_t yyyymm) {
  return std::int64_t{yyyymm / 100} * 12 + yyyymm % 100;
}

// The level with the most matches, the first of equals.
template <std::size_t N>
int mostPlayed(const std::array<ConditionEffect, N>& levels) {
  int best = 0;
  for (int level = 1; level < static_cast<int>(N); ++level) {
    if (levels[level].matches > levels[best].matches) best = level;
  }
  return best;
}

void count(ConditionEffect& level, const Counts& counts) {
  level.matches += counts.matches;
  level.wins += counts.wins;
  level.losses += counts.matches - counts.wins;
}

void setEffect(ConditionEffect& level, const FitEstimate& estimate) {
  if (level.matches == 0) return;
  level.logit = estimate.value;
  level.logitLow = estimate.value - kZ95 * estimate.sd;
  level.logitHigh = estimate.value + kZ95 * estimate.sd;
}

double logistic(double x) { return 1 / (1 + std::exp(-x)); }

// The months with matches, oldest first: the latest kMaxMonths, the keys of
// older months dropped.
std::vector<std::uint32_t> fittedMonths(std::vector<std::uint64_t>& keys) {
  std::vector<std::uint32_t> months;
  for (const std::uint64_t key : keys) {
    if (months.empty() || months.back() != keyMonth(key >> 1)) {
      months.push_back(keyMonth(key >> 1));
    }
  }
  std::sort(months.begin(), months.end());
  months.erase(std::unique(months.begin(), months.end()), months.end());
  if (months.size() > kMaxMonths) {
    months.erase(months.begin(), months.end() - kMaxMonths);
    std::erase_if(keys, [&months](std::uint64_t key) {
      return keyMonth(key >> 1) < months.front();
    });
  }
  return months;
}

// The problem's cells, made of runs of keys of one cell, and beside each
// its conditions (a key's low bits), which give its effects once the
// references are known.
struct Cells {
  FitProblem problem;
  std::vector<std::uint8_t> codes;
  std::vector<Counts> byMonth;
};

// Also counts the matches of each level in `insights`. Months index a
// table by their distance from the first.
Cells makeCells(const std::vector<std::uint64_t>& keys,
                const std::vector<std::uint32_t>& months, Insights& insights) {
  Cells cells;
  FitProblem& problem = cells.problem;
  problem.effects = kEffectCount;
  problem.monthGaps.assign(months.size(), 1);
  cells.byMonth.resize(months.size());
  if (months.empty()) return cells;
  const std::int64_t first = monthNumber(months.front());
  std::vector<std::uint32_t> monthIndex(
      static_cast<std::size_t>(monthNumber(months.back()) - first + 1));
  for (std::size_t m = 0; m < months.size(); ++m) {
    if (m > 0) {
      problem.monthGaps[m] =
          monthNumber(months[m]) - monthNumber(months[m - 1]);
    }
    monthIndex[monthNumber(months[m]) - first] = static_cast<std::uint32_t>(m);
  }
  std::size_t runs = 0;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    runs += i == 0 || keys[i] >> 1 != keys[i - 1] >> 1 ? 1 : 0;
  }
  problem.cells.reserve(runs);
  cells.codes.reserve(runs);
  for (std::size_t end = 0; end < keys.size();) {
    const std::size_t begin = end;
    const std::uint64_t key = keys[begin] >> 1;
    FitCell cell;
    for (; end < keys.size() && keys[end] >> 1 == key; ++end) {
      ++cell.matches;
      cell.wins += static_cast<std::int64_t>(keys[end] & 1);
    }
    if (begin == 0 ||
        key >> kOpponentShift != keys[begin - 1] >> 1 >> kOpponentShift) {
      ++problem.opponents;
    }
    cell.opponent = problem.opponents - 1;
    cell.month = monthIndex[monthNumber(keyMonth(key)) - first];
    const Conditions c = keyConditions(key);
    const Counts counts{cell.matches, cell.wins};
    if (c.afterLoss) count(insights.afterLoss, counts);
    count(insights.sessionStage[c.stage], counts);
    if (c.hourBand != kNoHourBand)
      count(insights.timeOfDay[c.hourBand], counts);
    cells.byMonth[cell.month].matches += cell.matches;
    cells.byMonth[cell.month].wins += cell.wins;
    problem.cells.push_back(cell);
    cells.codes.push_back(static_cast<std::uint8_t>(key & kConditionBits));
  }
  return cells;
}

// The effect of a level of a condition: none for the reference, else the
// effects from `first` on, the reference skipped.
std::uint8_t effectOf(int level, int reference, int first) {
  if (level == reference) return kNoEffect;
  return static_cast<std::uint8_t>(first + level - (level > reference));
}

template <std::size_t N>
void setEffects(std::array<ConditionEffect, N>& levels, int reference,
                int first, const FitResult& fit) {
  for (int level = 0; level < static_cast<int>(N); ++level) {
    if (level != reference) {
      setEffect(levels[level], fit.effects[effectOf(level, reference, first)]);
    } else if (levels[level].matches > 0) {
      levels[level].logit = 0.0;
    }
  }
}

void setCellEffects(Cells& cells, int stageReference, int hourReference) {
  for (std::size_t i = 0; i < cells.codes.size(); ++i) {
    const Conditions c = keyConditions(cells.codes[i]);
    std::array<std::uint8_t, kMaxCellEffects>& effects =
        cells.problem.cells[i].effects;
    if (c.afterLoss) effects[0] = kAfterLossEffect;
    effects[1] = effectOf(c.stage, stageReference, kFirstStageEffect);
    if (c.hourBand != kNoHourBand) {
      effects[2] = effectOf(c.hourBand, hourReference, kFirstHourEffect);
    }
  }
}

}  // namespace

Insights fitInsights(const PlayerRecord& player, const MatchLog& matches) {
  Insights insights;
  for (int stage = 0; stage < kStageCount; ++stage) {
    insights.sessionStage[stage].from = kStageFirst[stage];
    insights.sessionStage[stage].to = kStageLast[stage];
  }
  for (int band = 0; band < kHourBandCount; ++band) {
    insights.timeOfDay[band].from = band * kHoursPerBand;
    insights.timeOfDay[band].to = (band + 1) * kHoursPerBand;
  }
  std::vector<std::uint64_t> keys = matchKeys(player, matches);
  const std::vector<std::uint32_t> months = fittedMonths(keys);
  Cells cells = makeCells(keys, months, insights);
  keys = {};
  const int stageReference = mostPlayed(insights.sessionStage);
  const int hourReference = mostPlayed(insights.timeOfDay);
  insights.sessionStage[stageReference].reference = true;
  insights.timeOfDay[hourReference].reference = true;
  setCellEffects(cells, stageReference, hourReference);
  const FitResult fit = fitLogisticModel(cells.problem);
  if (fit.effects.empty()) return insights;

  for (std::size_t m = 0; m < months.size(); ++m) {
    const FitEstimate& theta = fit.months[m];
    const Counts& counts = cells.byMonth[m];
    insights.form.push_back(
        {months[m], counts.matches, counts.wins, counts.matches - counts.wins,
         logistic(theta.value), logistic(theta.value - kZ95 * theta.sd),
         logistic(theta.value + kZ95 * theta.sd)});
  }
  setEffect(insights.afterLoss, fit.effects[kAfterLossEffect]);
  setEffects(insights.sessionStage, stageReference, kFirstStageEffect, fit);
  setEffects(insights.timeOfDay, hourReference, kFirstHourEffect, fit);
  return insights;
}

}  // namespace sessionstats
