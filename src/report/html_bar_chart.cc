#include "report/html_bar_chart.h"

#include <algorithm>
#include <cstdint>

#include "report/html_chart.h"

namespace sessionstats {
namespace {

// Each band has a slot of the plot's width; its bar leaves a gap on each
// side and has rounded corners.
constexpr int kSlot = kPlotWidth / kLengthBucketCount;
constexpr int kBarGap = 2;
constexpr int kBarCornerRadius = 3;
// Every other band is labelled, so the labels do not touch.
constexpr int kLabelEvery = 2;

}  // namespace

void writeLengthChart(HtmlPage& page, const LengthCounts& lengths) {
  page.raw("<section>\n<h2>Match lengths</h2>\n");
  std::int64_t highest = 0;
  for (const std::int32_t count : lengths) {
    highest = std::max<std::int64_t>(highest, count);
  }
  if (highest == 0) {
    page.raw("<p class=\"note\">No match to show.</p>\n</section>\n");
    return;
  }
  const std::int64_t step = tickStep(highest);
  const std::int64_t top = (highest + step - 1) / step * step;
  page.raw("<div class=\"scroll\">");
  writeSvgOpen(page, kChartWidth, kChartHeight,
               "Bar chart of the number of matches by length in seconds",
               "chart");
  writeValueAxis(page, top, step, "", "Matches");
  for (int bucket = 0; bucket < kLengthBucketCount; ++bucket) {
    const std::int64_t count = lengths[bucket];
    const std::int64_t height = drawable(count) * kPlotHeight / top;
    const int x = kPlotLeft + bucket * kSlot;
    const std::int64_t from = std::int64_t{bucket} * kLengthBandSeconds;
    const bool last = bucket + 1 == kLengthBucketCount;
    page.raw("<rect")
        .attr("x", x + kBarGap)
        .attr("y", kPlotTop + kPlotHeight - height)
        .attr("width", kSlot - 2 * kBarGap)
        .attr("height", height)
        .attr("rx", kBarCornerRadius)
        .attr("fill", kWinBarColour)
        .raw("><title>");
    if (last) {
      page.number(from).raw("+");
    } else {
      page.number(from).raw(" to ").number(from + kLengthBandSeconds - 1);
    }
    page.raw(" seconds: ")
        .number(count)
        .raw(count == 1 ? " match" : " matches")
        .raw("</title></rect>\n");
    if (bucket % kLabelEvery == 0) {
      page.raw("<text class=\"label\"")
          .attr("x", x)
          .attr("y", kCategoryLabelY)
          .attr("text-anchor", "middle")
          .raw(">")
          .number(from)
          .raw(last ? "+" : "")
          .raw("</text>\n");
    }
  }
  writeCategoryAxis(page, "Match length (seconds)");
  page.raw("</svg></div>\n</section>\n");
}

}  // namespace sessionstats
