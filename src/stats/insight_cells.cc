#include "stats/insight_cells.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "stats/character_roster.h"

namespace sessionstats {
namespace {

// The first and the last match of each stage of a session (0: open).
constexpr std::array<int, kStageCount> kStageFirst{1, 6, 11, 21};
constexpr std::array<int, kStageCount> kStageLast{5, 10, 20, 0};
constexpr int kHoursPerBand = 24 / kHourBandCount;
constexpr int kNoHourBand = kHourBandCount;
constexpr std::int64_t kSecondsPerDay = std::int64_t{24} * 60 * 60;
// The fit solves a dense system of one row per month: a log that spreads
// its matches over more months than anyone plays (dates far apart by a
// broken clock) is fitted on its latest months.
constexpr std::size_t kMaxMonths = 600;

// What the model sees of a match but its opponent and month, as one code:
// the index of its set of conditions in the problem.
struct Conditions {
  bool afterLoss = false;
  int stage = 0;
  int hourBand = kNoHourBand;
};

constexpr int kHourLevels = kHourBandCount + 1;  // with kNoHourBand
constexpr int kConditionSets = 2 * kStageCount * kHourLevels;
// While counting, a cell's code is its conditions' plus kConditionSets times
// the player's character; the fit numbers the characters played instead.
constexpr int kCountedSets = kConditionSets * kCharacterCount;
static_assert(static_cast<std::size_t>(kCountedSets) <= kMaxConditionSets);

std::uint32_t conditionCode(const Conditions& c, int character) {
  return static_cast<std::uint32_t>(
      ((character * 2 + static_cast<int>(c.afterLoss)) * kStageCount +
       c.stage) *
          kHourLevels +
      c.hourBand);
}

// The conditions of a code, whatever its character.
Conditions codeConditions(std::uint32_t code) {
  const int set = static_cast<int>(code % kConditionSets);
  return {set / (kStageCount * kHourLevels) != 0,
          set / kHourLevels % kStageCount, set % kHourLevels};
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
  // Wrapped into the day: from the day before, or a leap second's 24:00:00.
  second = (second + kSecondsPerDay) % kSecondsPerDay;
  return static_cast<int>(second / (std::int64_t{3600} * kHoursPerBand));
}

struct Counts {
  std::int64_t matches = 0;
  std::int64_t wins = 0;
};

// A cell while counting: its month still packed as YYYYMM, its code with
// the player's character, and how many cells back the newest one before it
// in its month with its conditions and another character is (0: none, or
// too far back to say, which only splits a cell in two alike).
struct CountedCell {
  std::uint32_t month = 0;
  std::uint16_t code = 0;
  std::uint16_t matches = 0;
  std::uint16_t wins = 0;
  std::uint16_t sameConditions = 0;
};
constexpr std::size_t kMaxCellsBack = 0xFFFF;

// One opponent's cells in the order their first matches come: month by
// month in a log written as time passes.
struct OpponentCells {
  std::vector<CountedCell> cells;
  std::uint32_t month = kNoDate;  // of the cells that `latest` indexes
  // Where each set of conditions has its newest cell in that month, of any
  // character, plus one.
  std::array<std::uint32_t, kConditionSets> latest{};
  bool monthsGoBack = false;
};

// Counts a match in its cell. A month met again after another is begun
// anew, its cells split in two, which the fit counts as one.
void addMatch(OpponentCells& opponent, std::uint32_t month, std::uint32_t code,
              bool won) {
  if (month != opponent.month) {
    opponent.monthsGoBack |= month < opponent.month;
    opponent.month = month;
    opponent.latest.fill(0);
  }
  std::uint32_t& newest = opponent.latest[code % kConditionSets];
  // The month's cells of these conditions, one a character, newest first:
  // as few as the characters played.
  std::uint32_t at = newest;
  while (at != 0 && opponent.cells[at - 1].code != code) {
    const std::uint16_t back = opponent.cells[at - 1].sameConditions;
    at = back == 0 ? 0 : at - back;
  }
  if (at == 0 || opponent.cells[at - 1].matches == kMaxCellMatches) {
    const std::size_t next = opponent.cells.size() + 1;
    const std::size_t back =
        newest == 0 || next - newest > kMaxCellsBack ? 0 : next - newest;
    opponent.cells.push_back({month, static_cast<std::uint16_t>(code), 0, 0,
                              static_cast<std::uint16_t>(back)});
    newest = at = static_cast<std::uint32_t>(next);
  }
  CountedCell& cell = opponent.cells[at - 1];
  ++cell.matches;
  cell.wins = static_cast<std::uint16_t>(cell.wins + (won ? 1 : 0));
}

// The cells of the player's dated matches, one OpponentCells an opponent,
// the months they fall in, and where each opponent's are by his id.
struct MatchCells {
  std::vector<OpponentCells> opponents;
  std::vector<std::uint32_t> months;  // unordered, repeats
  std::vector<std::uint32_t> byId;    // index in opponents, plus one
};

MatchCells matchCells(const PlayerRecord& player, const MatchLog& matches) {
  MatchCells found;
  std::uint32_t session = 0;
  int position = 0;
  bool lastLost = false;
  for (const MatchEntry& entry : matches) {
    forEachSide(entry, player, [&](const MatchSide& side) {
      if (entry.session != session) {
        session = entry.session;
        position = 0;
      }
      const Conditions conditions{position > 0 && lastLost, stageOf(++position),
                                  hourBandOf(entry)};
      lastLost = !side.won;
      if (entry.date == kNoDate) return;
      const std::uint32_t month = entry.date / 100;
      if (found.months.empty() || found.months.back() != month) {
        found.months.push_back(month);
      }
      const std::uint32_t id = side.opponent->id;
      if (id >= found.byId.size()) found.byId.resize(id + 1);
      if (found.byId[id] == 0) {
        found.opponents.emplace_back();
        found.byId[id] = static_cast<std::uint32_t>(found.opponents.size());
      }
      addMatch(found.opponents[found.byId[id] - 1], month,
               conditionCode(conditions, side.ownCharacter), side.won);
    });
  }
  return found;
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

// The months with matches, oldest first: the latest kMaxMonths.
std::vector<std::uint32_t> fittedMonths(std::vector<std::uint32_t> months) {
  std::sort(months.begin(), months.end());
  months.erase(std::unique(months.begin(), months.end()), months.end());
  if (months.size() > kMaxMonths) {
    months.erase(months.begin(), months.end() - kMaxMonths);
  }
  return months;
}

// The characters with matches in `bySet`, most played first (the lower
// index of equals), with their counts.
std::vector<ConditionEffect> playedCharacters(
    const std::vector<Counts>& bySet) {
  std::array<ConditionEffect, kCharacterCount> all{};
  for (std::size_t code = 0; code < bySet.size(); ++code) {
    count(all[code / kConditionSets], bySet[code]);
  }
  std::vector<ConditionEffect> played;
  for (int character = 0; character < kCharacterCount; ++character) {
    all[character].from = character;
    if (all[character].matches > 0) played.push_back(all[character]);
  }
  std::stable_sort(played.begin(), played.end(),
                   [](const ConditionEffect& a, const ConditionEffect& b) {
                     return a.matches > b.matches;
                   });
  return played;
}

// An opponent's cells from `firstMonth` on, in month order, in a vector of
// their size; the counted cells are freed once copied.
std::vector<FitCell> fittedCells(OpponentCells counted,
                                 std::uint32_t firstMonth) {
  std::vector<FitCell> own;
  own.reserve(static_cast<std::size_t>(
      std::count_if(counted.cells.begin(), counted.cells.end(),
                    [firstMonth](const CountedCell& cell) {
                      return cell.month >= firstMonth;
                    })));
  for (const CountedCell& cell : counted.cells) {
    if (cell.month >= firstMonth) {
      own.push_back({cell.month, cell.code, cell.matches, cell.wins});
    }
  }
  counted.cells = {};
  if (counted.monthsGoBack) {
    std::stable_sort(
        own.begin(), own.end(),
        [](const FitCell& a, const FitCell& b) { return a.month < b.month; });
  }
  return own;
}

// Numbers the opponents met in the fitted months in order of their ids, the
// months by their distance from the first and the characters as
// playedCharacters does, drops the cells of older months, and counts the
// matches of each level and month in `insights`.
void makeCells(MatchCells& found, const std::vector<std::uint32_t>& months,
               Insights& insights, InsightCells& cells) {
  FitProblem& problem = cells.problem;
  problem.monthGaps.assign(months.size(), 1);
  insights.form.resize(months.size());
  if (months.empty()) return;
  const std::int64_t first = monthNumber(months.front());
  std::vector<std::uint32_t> monthIndex(
      static_cast<std::size_t>(monthNumber(months.back()) - first + 1));
  for (std::size_t m = 0; m < months.size(); ++m) {
    if (m > 0) {
      problem.monthGaps[m] =
          monthNumber(months[m]) - monthNumber(months[m - 1]);
    }
    monthIndex[monthNumber(months[m]) - first] = static_cast<std::uint32_t>(m);
    insights.form[m].month = months[m];
  }
  std::vector<Counts> bySet(kCountedSets);
  for (const std::uint32_t at : found.byId) {
    if (at == 0) continue;
    std::vector<FitCell> own =
        fittedCells(std::move(found.opponents[at - 1]), months.front());
    if (own.empty()) continue;
    for (FitCell& cell : own) {
      cell.month = monthIndex[monthNumber(cell.month) - first];
      bySet[cell.conditions].matches += cell.matches;
      bySet[cell.conditions].wins += cell.wins;
      insights.form[cell.month].matches += cell.matches;
      insights.form[cell.month].wins += cell.wins;
    }
    problem.opponents.push_back(std::move(own));
  }
  for (std::uint32_t code = 0; code < kCountedSets; ++code) {
    const Conditions c = codeConditions(code);
    if (c.afterLoss) count(insights.afterLoss, bySet[code]);
    count(insights.sessionStage[c.stage], bySet[code]);
    if (c.hourBand != kNoHourBand) {
      count(insights.timeOfDay[c.hourBand], bySet[code]);
    }
  }
  cells.characters = playedCharacters(bySet);
  std::array<std::uint32_t, kCharacterCount> number{};
  for (std::size_t i = 0; i < cells.characters.size(); ++i) {
    number[cells.characters[i].from] = static_cast<std::uint32_t>(i);
  }
  for (std::vector<FitCell>& own : problem.opponents) {
    for (FitCell& cell : own) {
      cell.conditions = static_cast<std::uint16_t>(
          cell.conditions % kConditionSets +
          kConditionSets * number[cell.conditions / kConditionSets]);
    }
  }
}

}  // namespace

std::uint8_t effectOf(int level, int reference, int first) {
  if (level == reference) return kNoEffect;
  return static_cast<std::uint8_t>(first + level - (level > reference));
}

namespace {

// The effects of each set of conditions, the references and the number of
// characters played known.
std::vector<FitConditions> conditionEffects(int stageReference,
                                            int hourReference,
                                            std::size_t characters) {
  std::vector<FitConditions> sets(kConditionSets * characters);
  for (std::uint32_t code = 0; code < sets.size(); ++code) {
    const Conditions c = codeConditions(code);
    FitConditions& effects = sets[code];
    effects.fill(kNoEffect);
    if (c.afterLoss) effects[0] = kAfterLossEffect;
    effects[1] = effectOf(c.stage, stageReference, kFirstStageEffect);
    effects[2] = c.hourBand == kNoHourBand
                     ? static_cast<std::uint8_t>(kNoTimeEffect)
                     : effectOf(c.hourBand, hourReference, kFirstHourEffect);
    effects[3] = static_cast<std::uint8_t>(kFirstCharacterEffect +
                                           code / kConditionSets);
  }
  return sets;
}
}  // namespace

std::int64_t monthNumber(std::uint32_t yyyymm) {
  return std::int64_t{yyyymm / 100} * 12 + yyyymm % 100;
}

InsightCells insightCells(const PlayerRecord& player, const MatchLog& matches,
                          Insights& insights) {
  for (int stage = 0; stage < kStageCount; ++stage) {
    insights.sessionStage[stage].from = kStageFirst[stage];
    insights.sessionStage[stage].to = kStageLast[stage];
  }
  for (int band = 0; band < kHourBandCount; ++band) {
    insights.timeOfDay[band].from = band * kHoursPerBand;
    insights.timeOfDay[band].to = (band + 1) * kHoursPerBand;
  }
  MatchCells found = matchCells(player, matches);
  const std::vector<std::uint32_t> months =
      fittedMonths(std::move(found.months));
  InsightCells cells;
  makeCells(found, months, insights, cells);
  cells.stageReference = mostPlayed(insights.sessionStage);
  cells.hourReference = mostPlayed(insights.timeOfDay);
  cells.problem.conditions = conditionEffects(
      cells.stageReference, cells.hourReference, cells.characters.size());
  cells.problem.effects =
      kFirstCharacterEffect + static_cast<int>(cells.characters.size());
  cells.problem.searchedEffects = kFirstCharacterEffect;
  return cells;
}

}  // namespace sessionstats
