#ifndef SESSION_STATS_REPORT_WIN_RATE_COLOUR_H_
#define SESSION_STATS_REPORT_WIN_RATE_COLOUR_H_

#include <cstdint>
#include <string>

namespace sessionstats {

/// An sRGB colour.
struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  friend bool operator==(const Colour&, const Colour&) = default;
};

/// The colour of a win rate on a diverging scale that readers with any
/// common form of colour blindness can follow (ColorBrewer's PuOr): deep
/// orange at 0%, near white at 50%, deep purple at 100%, interpolated
/// between seven steps. Rates outside 0..100 and NaN take the nearest end
/// (NaN: 0%).
Colour winRateColour(double percent);

/// Whether text on `background` reads better in white than in near black.
bool needsLightText(Colour background);

/// Appends `colour` as CSS "#rrggbb".
void appendCssColour(std::string& out, Colour colour);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_WIN_RATE_COLOUR_H_
