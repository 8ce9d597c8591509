#include "report/report_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace sessionstats {
namespace {

// Runs a formatter into a roomy buffer and returns what it wrote.
template <typename Format, typename... Args>
std::string formatted(Format format, Args... args) {
  char buffer[512];
  const char* end = format(buffer, args...);
  return std::string(static_cast<const char*>(buffer), end);
}

template <typename... Args>
std::string printed(const char* format, Args... args) {
  char buffer[512];
  const int length = std::snprintf(buffer, sizeof buffer, format, args...);
  return std::string(buffer, static_cast<std::size_t>(length));
}

// What printf gives for one win/loss pair, with the percentage computed the
// way the report defines it. REQUIRES: the pair does not sum to 0 unless
// both are 0.
std::string printedWinLoss(std::int32_t wins, std::int32_t losses) {
  double percent = 0;
  if (losses == 0) {
    percent = wins == 0 ? 0 : 100;
  } else {
    percent = wins * 100.0 / (static_cast<double>(wins) + losses);
  }
  const char* blanks = percent < 10 ? "  " : percent < 100 ? " " : "";
  return printed("%4d/%4d %s%3.3f%%", wins, losses, blanks, percent);
}

// A fixed mix of small, large, negative and extreme counts.
std::vector<std::int32_t> sampleCounts() {
  std::vector<std::int32_t> counts = {
      0,     1,      2,      3,       7,           9,         10,
      99,    100,    999,    1000,    1599,        9999,      10000,
      99999, 249999, 900001, INT_MAX, INT_MAX - 1, INT_MIN,   INT_MIN + 1,
      -1,    -2,     -9999,  -10000,  123456789,   -123456789};
  std::mt19937 random(20240601);
  for (int i = 0; i < 300; ++i) {
    counts.push_back(static_cast<std::int32_t>(random()));
    counts.push_back(static_cast<std::int32_t>(random() % 20000));
  }
  return counts;
}

TEST(ReportFormat, RatioExamples) {
  EXPECT_EQ(formatted(formatRatio, 12, 8, 30, 20),
            "  12/   8  60.000% (rounds:   30/  20  60.000%)");
  EXPECT_EQ(formatted(formatRatio, 0, 0, 0, 0),
            "   0/   0   0.000% (rounds:    0/   0   0.000%)");
  EXPECT_EQ(formatted(formatRatio, 5, 0, 10, 1),
            "   5/   0 100.000% (rounds:   10/   1  90.909%)");
  EXPECT_EQ(formatted(formatRatio, 1, 19, 3, 38),
            "   1/  19   5.000% (rounds:    3/  38   7.317%)");
  EXPECT_EQ(formatted(formatRatio, 249999, 1, 499998, 2),
            "249999/   1  100.000% (rounds: 499998/   2  100.000%)");
}

TEST(ReportFormat, BlanksFollowThePercentageBeforeRounding) {
  // 99.9996 and 9.9999 round up to 100.000 and 10.000 but keep the blanks of
  // a smaller percentage, so they come out one column wider.
  EXPECT_EQ(formatted(formatWinLoss, 249999, 1), "249999/   1  100.000%");
  EXPECT_EQ(formatted(formatWinLoss, 99999, 900001), "99999/900001   10.000%");
  EXPECT_EQ(formatted(formatWinLoss, 1, 9), "   1/   9  10.000%");
  EXPECT_EQ(formatted(formatWinLoss, 7, 0), "   7/   0 100.000%");
  EXPECT_EQ(formatted(formatWinLoss, 0, 7), "   0/   7   0.000%");
}

TEST(ReportFormat, WinLossMatchesPrintfOverManyCounts) {
  for (std::int32_t wins = 0; wins <= 120; ++wins) {
    for (std::int32_t losses = 0; losses <= 120; ++losses) {
      ASSERT_EQ(formatted(formatWinLoss, wins, losses),
                printedWinLoss(wins, losses))
          << wins << '/' << losses;
    }
  }
  // Exact ties at the fourth decimal round as printf rounds them.
  for (std::int32_t losses : {15, 1599, 15999, 3, 7}) {
    ASSERT_EQ(formatted(formatWinLoss, 1, losses), printedWinLoss(1, losses));
    ASSERT_EQ(formatted(formatWinLoss, 2, losses), printedWinLoss(2, losses));
  }
  const std::vector<std::int32_t> counts = sampleCounts();
  for (std::int32_t wins : counts) {
    for (std::int32_t losses : counts) {
      if (static_cast<std::int64_t>(wins) + losses == 0 && losses != 0) {
        continue;
      }
      const std::string text = formatted(formatWinLoss, wins, losses);
      ASSERT_EQ(text, printedWinLoss(wins, losses)) << wins << '/' << losses;
      ASSERT_LE(text.size(), kMaxWinLossLength);
    }
  }
}

TEST(ReportFormat, WinLossMatchesPrintfOnExactHalvesAndRandomCounts) {
  // Percentages that lie exactly halfway between two thousandths: 100 * w /
  // t = (odd / 2) thousandths, so t = 200000 * w / odd.
  for (std::int64_t wins = 1; wins <= 64; ++wins) {
    for (std::int64_t odd = 1; odd < 200000; odd += 2) {
      if (200000 * wins % odd != 0) continue;
      const std::int64_t losses = 200000 * wins / odd - wins;
      if (losses <= 0) continue;
      const auto w = static_cast<std::int32_t>(wins);
      const auto l = static_cast<std::int32_t>(losses);
      ASSERT_EQ(formatted(formatWinLoss, w, l), printedWinLoss(w, l))
          << w << '/' << l;
    }
  }
  std::mt19937 random(7);
  for (int i = 0; i < 200000; ++i) {
    // Any 32-bit pattern, also negative, and large counts that sum past
    // 2^31, and counts of a few thousand.
    const std::uint32_t a = random();
    const std::uint32_t b = random();
    const std::int32_t pairs[][2] = {
        {static_cast<std::int32_t>(a), static_cast<std::int32_t>(b)},
        {static_cast<std::int32_t>(a >> 1), static_cast<std::int32_t>(b >> 1)},
        {static_cast<std::int32_t>(a % 5000),
         static_cast<std::int32_t>(b % 5000)}};
    for (const auto& [wins, losses] : pairs) {
      if (static_cast<std::int64_t>(wins) + losses == 0 && losses != 0) {
        continue;
      }
      ASSERT_EQ(formatted(formatWinLoss, wins, losses),
                printedWinLoss(wins, losses))
          << wins << '/' << losses;
    }
  }
}

TEST(ReportFormat, PercentageRoundsLikePrintf) {
  std::vector<double> values = {0.0,   -0.0,   0.0625,      0.0005, 0.00049999,
                                1e-20, -1e-20, 99.99955,    2.5e-4, 0.1875,
                                1e11,  -2e11,  999999.9995, 4.0 / 3};
  for (int k = 0; k < 4000; ++k) {
    values.push_back(k / 16.0);    // exact binary ties at the 4th decimal
    values.push_back(k * 0.0005);  // decimal ties, inexact in binary
    values.push_back(k * 0.0005 + 1e-12);
  }
  std::mt19937_64 random(99);
  std::uniform_real_distribution<double> wide(-1e12, 1e12);
  std::uniform_real_distribution<double> narrow(0, 100);
  for (int i = 0; i < 100000; ++i) {
    values.push_back(wide(random));
    values.push_back(narrow(random));
  }
  for (double value : values) {
    const std::string text = formatted(formatPercentage, value);
    ASSERT_EQ(text, printed("%3.3f%%", value)) << value;
    ASSERT_LE(text.size(), kMaxPercentageLength);
  }
}

TEST(ReportFormat, CountsThatCancelOutGiveZeroPercentNotADivisionByZero) {
  EXPECT_EQ(winPercentage(5, -5), 0.0);
  EXPECT_EQ(formatted(formatWinLoss, -3, 3), "  -3/   3   0.000%");
  EXPECT_EQ(formatted(formatWinLoss, INT_MIN + 1, INT_MAX),
            "-2147483647/2147483647   0.000%");
}

TEST(ReportFormat, LongestRatioFitsItsRoom) {
  const std::string text =
      formatted(formatRatio, INT_MAX, INT_MIN, INT_MAX, INT_MIN);
  EXPECT_EQ(text,
            "2147483647/-2147483648   -214748364700.000% (rounds: "
            "2147483647/-2147483648   -214748364700.000%)");
  EXPECT_LE(text.size(), kMaxRatioLength);
}

TEST(ReportFormat, AverageIsSinglePrecisionPrintedLikePercentG) {
  EXPECT_EQ(formatted(formatAverage, 3725, std::int64_t{40}), "93.125");
  EXPECT_EQ(formatted(formatAverage, 1000, std::int64_t{7}), "142.857");
  EXPECT_EQ(formatted(formatAverage, 100, std::int64_t{3}), "33.3333");
  EXPECT_EQ(formatted(formatAverage, 240, std::int64_t{2}), "120");
  EXPECT_EQ(formatted(formatAverage, 2000000, std::int64_t{1}), "2e+06");
  EXPECT_EQ(formatted(formatAverage, -91, std::int64_t{1}), "-91");
  EXPECT_EQ(formatted(formatAverage, 0, std::int64_t{0}), "0");

  std::mt19937 random(7);
  for (int i = 0; i < 20000; ++i) {
    const auto total =
        static_cast<std::int32_t>(i % 2 ? random() : random() % 100000);
    const auto matches =
        static_cast<std::int64_t>(1 + random() % (i % 3 ? 1000 : 4000000000u));
    const float average =
        static_cast<float>(total) / static_cast<float>(matches);
    const std::string text = formatted(formatAverage, total, matches);
    ASSERT_EQ(text, printed("%g", static_cast<double>(average)))
        << total << " / " << matches;
    ASSERT_LE(text.size(), kMaxAverageLength);
  }
}

TEST(ReportFormat, TimeSplitTruncatesTowardZero) {
  EXPECT_EQ(formatted(formatTimeSplit, 3725), "1h 2m 5s");
  EXPECT_EQ(formatted(formatTimeSplit, 0), "0h 0m 0s");
  EXPECT_EQ(formatted(formatTimeSplit, 364), "0h 6m 4s");
  EXPECT_EQ(formatted(formatTimeSplit, 360000), "100h 0m 0s");
  EXPECT_EQ(formatted(formatTimeSplit, -59), "0h 0m -59s");
  EXPECT_EQ(formatted(formatTimeSplit, -3725), "-1h -2m -5s");
  EXPECT_EQ(formatted(formatTimeSplit, INT_MAX), "596523h 14m 7s");
  EXPECT_EQ(formatted(formatTimeSplit, INT_MIN), "-596523h -14m -8s");
}

TEST(ReportFormat, PaddedFieldsGrowAndAreNeverCut) {
  for (std::int32_t value : sampleCounts()) {
    ASSERT_EQ(formatted(formatPadded, value, std::size_t{4}),
              printed("%4d", value));
    ASSERT_EQ(formatted(formatInteger, std::int64_t{value}),
              printed("%d", value));
    ASSERT_EQ(formatted(formatGridCell, value, 12345),
              printed("|%4d/%4d", value, 12345));
    ASSERT_EQ(formatted(formatGridCell, 0, value),
              value == 0 ? "|         " : printed("|%4d/%4d", 0, value));
  }
  EXPECT_EQ(formatted(formatInteger, INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(formatted(formatGridCell, INT_MIN, INT_MIN).size(),
            kMaxGridCellLength);
  EXPECT_EQ(
      formatted(formatRightAligned, std::string_view("H&K"), std::size_t{9}),
      "      H&K");
  EXPECT_EQ(formatted(formatRightAligned, std::string_view("N.A.Chaos"),
                      std::size_t{9}),
            "N.A.Chaos");
}

TEST(ReportFormat, LengthLabelsRightAlignInTwentyTwoColumns) {
  for (int bucket = 0; bucket < 24; ++bucket) {
    const std::string label =
        printed("%d to %d seconds:", 30 * bucket, 30 * bucket + 29);
    ASSERT_EQ(formatted(formatLengthLabel, bucket),
              printed("%22s ", label.c_str()));
  }
  EXPECT_EQ(formatted(formatLengthLabel, 0), "      0 to 29 seconds: ");
  EXPECT_EQ(formatted(formatLengthLabel, 23), "   690 to 719 seconds: ");
  EXPECT_EQ(formatted(formatLengthLabel, 24), "         720+ seconds: ");
}

}  // namespace
}  // namespace sessionstats
