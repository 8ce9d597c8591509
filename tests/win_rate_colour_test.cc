#include "report/win_rate_colour.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace sessionstats {
namespace {

std::string css(Colour colour) {
  std::string text;
  appendCssColour(text, colour);
  return text;
}

TEST(WinRateColour, EndsAreOrangeAndPurpleAroundANearWhiteMiddle) {
  EXPECT_EQ(css(winRateColour(0)), "#b35806");
  EXPECT_EQ(css(winRateColour(50)), "#f7f7f7");
  EXPECT_EQ(css(winRateColour(100)), "#542788");
  // Out of range and NaN take an end instead of reading past the table.
  EXPECT_EQ(winRateColour(-20), winRateColour(0));
  EXPECT_EQ(winRateColour(1e300), winRateColour(100));
  EXPECT_EQ(winRateColour(std::numeric_limits<double>::quiet_NaN()),
            winRateColour(0));
}

TEST(WinRateColour, ColourFadesTowardTheMiddleFromBothSides) {
  // The farther from 50%, the darker the colour: a stronger result stands
  // out more, whichever way it goes.
  const auto sum = [](Colour c) { return c.red + c.green + c.blue; };
  for (int step = 0; step < 50; ++step) {
    EXPECT_LE(sum(winRateColour(step)), sum(winRateColour(step + 1))) << step;
    EXPECT_LE(sum(winRateColour(100 - step)), sum(winRateColour(99 - step)))
        << step;
  }
}

TEST(WinRateColour, TextIsLightOnlyOnTheDarkEnds) {
  EXPECT_TRUE(needsLightText(winRateColour(0)));
  EXPECT_TRUE(needsLightText(winRateColour(100)));
  EXPECT_FALSE(needsLightText(winRateColour(50)));
  EXPECT_FALSE(needsLightText(winRateColour(30)));
}

}  // namespace
}  // namespace sessionstats
