#ifndef SESSION_STATS_REPORT_HTML_CHART_H_
#define SESSION_STATS_REPORT_HTML_CHART_H_

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "report/html_page.h"

namespace sessionstats {

// What the charts of the page share: the frame of the bar and line charts,
// in SVG user units, and the drawing of their axes.

/// The whole chart.
inline constexpr int kChartWidth = 760;
inline constexpr int kChartHeight = 250;
/// The margins around the plot: room for the value labels and the title of
/// the value axis on the left, for the category labels and the axis title
/// below.
inline constexpr int kPlotLeft = 56;
inline constexpr int kPlotRight = 16;
inline constexpr int kPlotTop = 14;
inline constexpr int kPlotBottom = 52;
inline constexpr int kPlotWidth = kChartWidth - kPlotLeft - kPlotRight;
inline constexpr int kPlotHeight = kChartHeight - kPlotTop - kPlotBottom;
/// Baseline of the category labels, below the plot.
inline constexpr int kCategoryLabelY = kChartHeight - kPlotBottom + 16;

/// What a bar or a length may show of a count that wrapped around to a
/// negative value: nothing.
inline std::int64_t drawable(std::int64_t count) {
  return std::max<std::int64_t>(count, 0);
}
/// What a colour or a position may show of a rate: 0..100.
inline double drawableRate(double percent) {
  return std::clamp(percent, 0.0, 100.0);
}

/// A tick step of 1, 2 or 5 times a power of ten that gives at most about
/// five ticks up to `top`. REQUIRES: top >= 0.
std::int64_t tickStep(std::int64_t top);

/// Opens an <svg> of `width` x `height` user units, scaled by the page, with
/// `label` (markup) as its accessible name and `svgClass` as its class.
void writeSvgOpen(HtmlPage& page, int width, int height, std::string_view label,
                  std::string_view svgClass = "");

/// The value axis of a chart: grid lines with labels from 0 to `top` in
/// `step`s, `suffix` after each label, and the rotated axis `title`.
/// REQUIRES: top > 0, step > 0.
void writeValueAxis(HtmlPage& page, std::int64_t top, std::int64_t step,
                    std::string_view suffix, std::string_view title);

/// The category axis of a chart: its line and its `title` below the labels.
void writeCategoryAxis(HtmlPage& page, std::string_view title);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_CHART_H_
