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

TEST(WinRateColour, LossesAreOrangeWinsPurpleAndEvenNearWhite) {
  const Colour losing = winRateColour(0);
  const Colour even = winRateColour(50);
  const Colour winning = winRateColour(100);
  // Orange: red over green over blue. Purple: blue and red over green.
  EXPECT_GT(losing.red, losing.green);
  EXPECT_GT(losing.green, losing.blue);
  EXPECT_GT(winning.blue, winning.red);
  EXPECT_GT(winning.red, winning.green);
  for (int channel : {even.red, even.green, even.blue})
    EXPECT_GE(channel, 0xe0);
  // Out of range and NaN take an end instead of reading past the table.
  EXPECT_EQ(winRateColour(-20), losing);
  EXPECT_EQ(winRateColour(1e300), winning);
  EXPECT_EQ(winRateColour(std::numeric_limits<double>::quiet_NaN()), losing);
}

TEST(WinRateColour, CssTextIsHashAndSixLowerCaseHexDigits) {
  EXPECT_EQ(css({.red = 0x00, .green = 0xab, .blue = 0xff}), "#00abff");
  EXPECT_EQ(css({.red = 0x5c, .green = 0x07, .blue = 0x10}), "#5c0710");
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
