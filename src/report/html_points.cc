#include "report/html_points.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace sessionstats {
namespace {

// Whole points, their sign left to the words around them; 0 for what is not
// a number.
std::int64_t wholePoints(double points) {
  if (std::isnan(points)) return 0;
  constexpr double kMostPoints = 100;
  return std::lround(std::min(std::abs(points), kMostPoints));
}

}  // namespace

// "+5", "−3", and "0" where it rounds to none.
HtmlPage& writeSigned(HtmlPage& page, double points) {
  const std::int64_t whole = wholePoints(points);
  return page.raw(whole == 0 ? "" : points < 0 ? "−" : "+").number(whole);
}

// "11 points fewer (5–17)", or "more", of an effect or a change; an
// interval across 0 with its signs ("−3 to +7").
void writePoints(HtmlPage& page, double points, double low, double high,
                 std::string_view fewer, std::string_view more) {
  const bool down = points < 0;
  page.number(wholePoints(points))
      .raw(wholePoints(points) == 1 ? " point" : " points");
  if (!fewer.empty()) page.raw(" ").raw(down ? fewer : more);
  page.raw(" <span class=\"nowrap\">(");
  if (low < 0 && high > 0) {
    writeSigned(page, low).raw(" to ");
    writeSigned(page, high);
  } else {
    page.number(wholePoints(down ? high : low))
        .raw("–")
        .number(wholePoints(down ? low : high));
  }
  page.raw(")</span>");
}

}  // namespace sessionstats
