#include "stats/win_rate_interval.h"

#include <algorithm>
#include <cmath>

namespace sessionstats {

WinRateInterval wilsonInterval(std::int64_t wins, std::int64_t losses) {
  const auto won = static_cast<double>(std::max<std::int64_t>(wins, 0));
  const double n = won + static_cast<double>(std::max<std::int64_t>(losses, 0));
  if (n == 0) return {};
  const double p = won / n;
  const double z2 = kZ95 * kZ95;
  const double denominator = 1 + z2 / n;
  const double centre = (p + z2 / (2 * n)) / denominator;
  const double half =
      kZ95 * std::sqrt(p * (1 - p) / n + z2 / (4 * n * n)) / denominator;
  // The formula keeps within 0..1; the clamp only stops rounding from
  // stepping a hair outside.
  return {100 * std::clamp(centre - half, 0.0, 1.0),
          100 * std::clamp(centre + half, 0.0, 1.0)};
}

}  // namespace sessionstats
