#include "stats/insight_cells.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "stats/insights.h"
#include "stats/match_log.h"
#include "stats/stats_records.h"

namespace sessionstats {
namespace {

// Months are counted on the calendar, across the turn of a year; a match is
// in the hour band it began in, and one without a time in none.
TEST(InsightCells, MonthGapsCrossAYearAndMatchesWithoutTimeAreInNoBand) {
  struct Row {
    std::uint32_t date;
    std::uint32_t time;
  };
  constexpr std::array<Row, 5> kRows{{
      {20241105, kNoTime},
      // 06:00:31 less its 60 seconds: begun before 06:00.
      {20241210, 60031},
      {20250102, 120001},
      {20250415, 235959},
      {20250416, 180101},
  }};
  StatsRecords records;
  const MatchRecords session = findOrAddMatchRecords(records, "Hero", "Foe");
  MatchLog matches;
  for (const Row& row : kRows) {
    matches.push_back(
        makeMatchEntry(session, 1, {1, 2, 0, 0, 1, 60}, row.date, row.time));
  }
  Insights insights;
  const InsightCells cells = insightCells(*session.player1, matches, insights);
  const std::vector<std::int64_t> gaps{1, 1, 1, 3};
  EXPECT_EQ(cells.problem.monthGaps, gaps);
  ASSERT_EQ(insights.form.size(), 4U);
  EXPECT_EQ(insights.form[3].matches, 2);
  const std::array<std::int64_t, kHourBandCount> bands{1, 1, 0, 2};
  for (int band = 0; band < kHourBandCount; ++band) {
    EXPECT_EQ(insights.timeOfDay[band].matches, bands[band]) << band;
  }
  EXPECT_EQ(cells.hourReference, 3);
  ASSERT_EQ(cells.problem.opponents.size(), 1U);
  const FitCell& undated = cells.problem.opponents[0].front();
  EXPECT_EQ(undated.month, 0U);
  EXPECT_EQ(cells.problem.conditions[undated.conditions][2], kNoTimeEffect);
}

}  // namespace
}  // namespace sessionstats
