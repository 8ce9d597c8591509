#ifndef SESSION_STATS_STATS_WIN_RATE_INTERVAL_H_
#define SESSION_STATS_STATS_WIN_RATE_INTERVAL_H_

#include <cstdint>

namespace sessionstats {

/// The standard normal quantile of 97.5%: 95% of the mass lies within this
/// many standard deviations of the mean.
inline constexpr double kZ95 = 1.959963984540054;

/// A range of win rates in percent, low <= high, both within 0..100.
struct WinRateInterval {
  double low = 0;
  double high = 100;
};

/// The 95% Wilson score interval of the true win rate behind `wins` won and
/// `losses` lost matches: what a 2-0 really tells (34.2% to 100%) beside what
/// a 200-100 does (61.2% to 71.8%). Negative counts (wrapped around) count as
/// 0; without a match the interval is all of 0..100.
WinRateInterval wilsonInterval(std::int64_t wins, std::int64_t losses);

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_WIN_RATE_INTERVAL_H_
