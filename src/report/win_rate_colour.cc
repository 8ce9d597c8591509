#include "report/win_rate_colour.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace sessionstats {
namespace {

// ColorBrewer PuOr, 7 classes, losses (orange) to wins (purple).
constexpr std::array<Colour, 7> kSteps{{
    {0xb3, 0x58, 0x06},
    {0xf1, 0xa3, 0x40},
    {0xfe, 0xe0, 0xb6},
    {0xf7, 0xf7, 0xf7},
    {0xd8, 0xda, 0xeb},
    {0x99, 0x8e, 0xc3},
    {0x54, 0x27, 0x88},
}};

std::uint8_t mix(std::uint8_t from, std::uint8_t to, double share) {
  return static_cast<std::uint8_t>(
      std::lround(from + (static_cast<double>(to) - from) * share));
}

}  // namespace

Colour winRateColour(double percent) {
  // !(x > 0) also catches NaN.
  if (!(percent > 0)) return kSteps.front();
  if (percent >= 100) return kSteps.back();
  const double position = percent / 100 * (kSteps.size() - 1);
  const auto step = static_cast<std::size_t>(position);
  const double share = position - static_cast<double>(step);
  const Colour from = kSteps[step];
  const Colour to = kSteps[step + 1];
  return {mix(from.red, to.red, share), mix(from.green, to.green, share),
          mix(from.blue, to.blue, share)};
}

bool needsLightText(Colour background) {
  // Relative luminance after WCAG 2, with its sRGB transfer function.
  const auto linear = [](std::uint8_t channel) {
    const double value = channel / 255.0;
    return value <= 0.04045 ? value / 12.92
                            : std::pow((value + 0.055) / 1.055, 2.4);
  };
  const double luminance = 0.2126 * linear(background.red) +
                           0.7152 * linear(background.green) +
                           0.0722 * linear(background.blue);
  // Where white and near black give the same contrast ratio.
  return luminance < 0.18;
}

void appendCssColour(std::string& out, Colour colour) {
  constexpr char kHex[] = "0123456789abcdef";
  out += '#';
  for (const std::uint8_t channel : {colour.red, colour.green, colour.blue}) {
    out += kHex[channel >> 4];
    out += kHex[channel & 0xF];
  }
}

}  // namespace sessionstats
