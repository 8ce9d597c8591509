#ifndef SESSION_STATS_STATS_INSIGHT_CELLS_H_
#define SESSION_STATS_STATS_INSIGHT_CELLS_H_

#include <cstdint>
#include <vector>

#include "stats/insights.h"
#include "stats/logistic_fit.h"
#include "stats/match_log.h"
#include "stats/stats_records.h"

namespace sessionstats {

// The effects the model fits: after a loss, then the stages and the hour
// bands other than the most played one, each in order, the offset of the
// matches without a time, then one strength per character the player played
// (InsightCells::characters in order). The most played level is the one the fit
// measures the others against, as its estimate is the surest; the report
// turns them into effects against the average.
inline constexpr int kAfterLossEffect = 0;
inline constexpr int kFirstStageEffect = 1;
inline constexpr int kFirstHourEffect = kFirstStageEffect + kStageCount - 1;
inline constexpr int kNoTimeEffect = kFirstHourEffect + kHourBandCount - 1;
inline constexpr int kFirstCharacterEffect = kNoTimeEffect + 1;

/// The effect of `level` of a condition whose levels' effects start at
/// `first`: none (kNoEffect) for its `reference`, the others in order.
std::uint8_t effectOf(int level, int reference, int first);

/// Months since the year 0 of a month packed as YYYYMM.
std::int64_t monthNumber(std::uint32_t yyyymm);

/// What the fit needs of the player's matches, and the most played stage
/// and hour band, the levels its effects are measured against, and the
/// characters he played in the fitted matches with their counts (`from` the
/// character), most played first, the effect kFirstCharacterEffect + i
/// being the strength of characters[i].
struct InsightCells {
  FitProblem problem;
  int stageReference = 0;
  int hourReference = 0;
  std::vector<ConditionEffect> characters;
};

/// The cells of the matches of `player` in `matches` (log order) that have
/// a date, in the latest 600 months with matches: the months numbered from
/// the first, their gaps in calendar months. Sets in `insights` each month
/// with its counts (oldest first) and each level's bounds and counts; a
/// match without a time is in no hour band. No dated match gives no month.
InsightCells insightCells(const PlayerRecord& player, const MatchLog& matches,
                          Insights& insights);

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_INSIGHT_CELLS_H_
