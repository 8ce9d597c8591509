#include "stats/win_rate_interval.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace sessionstats {
namespace {

TEST(WinRateInterval, KnownWilsonIntervals) {
  struct Case {
    std::int64_t wins;
    std::int64_t losses;
    double low;
    double high;
  };
  // Published 95% Wilson intervals (without continuity correction).
  for (const Case& c :
       {Case{5, 5, 23.659309, 76.340691}, Case{0, 10, 0, 27.753279},
        Case{2, 0, 34.238023, 100}, Case{200, 100, 61.151246, 71.760655},
        Case{1, 3, 4.558726, 69.935816}}) {
    const WinRateInterval interval = wilsonInterval(c.wins, c.losses);
    EXPECT_NEAR(interval.low, c.low, 1e-5) << c.wins << "-" << c.losses;
    EXPECT_NEAR(interval.high, c.high, 1e-5) << c.wins << "-" << c.losses;
  }
}

TEST(WinRateInterval, HoldsTheRateAndNarrowsWithMoreMatches) {
  WinRateInterval previous = wilsonInterval(3, 1);
  for (std::int64_t scale = 2; scale <= 4096; scale *= 2) {
    const WinRateInterval interval = wilsonInterval(3 * scale, scale);
    EXPECT_LT(interval.low, 75.0);
    EXPECT_GT(interval.high, 75.0);
    EXPECT_GT(interval.low, previous.low) << scale;
    EXPECT_LT(interval.high, previous.high) << scale;
    // Losses mirror wins.
    const WinRateInterval mirrored = wilsonInterval(scale, 3 * scale);
    EXPECT_NEAR(mirrored.low, 100 - interval.high, 1e-9);
    EXPECT_NEAR(mirrored.high, 100 - interval.low, 1e-9);
    previous = interval;
  }
}

TEST(WinRateInterval, NoMatchOrWrappedCountsKnowNothing) {
  for (const auto& [wins, losses] :
       {std::pair<std::int64_t, std::int64_t>{0, 0}, {-4, 0}, {-4, -2}}) {
    const WinRateInterval interval = wilsonInterval(wins, losses);
    EXPECT_EQ(interval.low, 0);
    EXPECT_EQ(interval.high, 100);
  }
  EXPECT_EQ(wilsonInterval(-7, 3).high, wilsonInterval(0, 3).high);
}

}  // namespace
}  // namespace sessionstats
