#include "stats/match_log.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace sessionstats {
namespace {

TEST(MatchLog, DatesAndTimesMustBeRealOnes) {
  EXPECT_EQ(parseDate("2024-02-29"), 20240229U);
  EXPECT_EQ(formatDate(parseDate("0001-01-01")), "0001-01-01");
  for (const std::string_view bad :
       {"2023-02-29", "2026-13-01", "2026-00-10", "2026-04-31", "0000-01-01",
        "2026-1-01", "2026-01-01 ", "2026/01/01", "", "2026-01-0x"}) {
    EXPECT_EQ(parseDate(bad), kNoDate) << bad;
  }
  const auto timeText = [](std::uint32_t time) {
    char text[kMaxStampLength];
    return std::string(text, writeTime(text, time));
  };
  EXPECT_EQ(timeText(parseTime("00:00:00")), "00:00:00");
  EXPECT_EQ(timeText(parseTime("23:59:60")), "23:59:60");
  EXPECT_EQ(timeText(kNoTime), "");
  for (const std::string_view bad : {"24:00:00", "12:60:00", "1:00:00", "x"}) {
    EXPECT_EQ(parseTime(bad), kNoTime) << bad;
  }
}

}  // namespace
}  // namespace sessionstats
