#ifndef SESSION_STATS_REPORT_HTML_CHART_H_
#define SESSION_STATS_REPORT_HTML_CHART_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "report/html_page.h"

namespace sessionstats {

// What the bar and line charts of the page share: their frame, in SVG user
// units, and the drawing of their axes.

/// The whole chart.
inline constexpr int kChartWidth = 760;
inline constexpr int kChartHeight = 250;
/// The margins of the plot right, above and below (room for the category
/// labels and the axis title); the left one depends on the value labels.
inline constexpr int kPlotRight = 16;
inline constexpr int kPlotTop = 14;
inline constexpr int kPlotBottom = 52;
inline constexpr int kPlotHeight = kChartHeight - kPlotTop - kPlotBottom;
/// Baseline of the category labels, below the plot.
inline constexpr int kCategoryLabelY = kChartHeight - kPlotBottom + 20;
/// Room a category label may take per character, at the labels' size.
inline constexpr int kLabelCharWidth = 7;

/// The plot's place across the chart: it starts right of the value axis's
/// title and its widest label, so neither overlaps the other.
struct ChartFrame {
  int left = 0;
  int width() const { return kChartWidth - kPlotRight - left; }
};

/// The frame of a chart whose value axis runs from 0 to `top`, each label
/// followed by `suffix`. REQUIRES: top >= 0.
ChartFrame chartFrame(std::int64_t top, std::string_view suffix);

/// The value axis of a chart of win rates: 0% to 100% in quarters.
inline constexpr int kRateAxisTop = 100;
inline constexpr int kRateAxisStep = 25;

/// The y of `percent` on a chart of win rates, of its drawable rate.
std::int64_t rateY(double percent);

/// The x of point `i` of `count` points spread evenly across the plot of
/// `frame`: the first and last a little inside it, a single one in its
/// middle. REQUIRES: i < count.
std::int64_t pointX(const ChartFrame& frame, std::size_t i, std::size_t count);

/// Writes a line through `percents`, a point each placed by pointX and
/// rateY, of class `svgClass`.
void writeRateLine(HtmlPage& page, std::string_view svgClass,
                   const ChartFrame& frame,
                   const std::vector<double>& percents);

/// Writes `labels` (markup) under the points placed by pointX, one at every
/// so many points that no two come closer than the last one's width.
void writePointLabels(HtmlPage& page, const ChartFrame& frame,
                      const std::vector<std::string>& labels);

/// What a bar or a length may show of a count that wrapped around to a
/// negative value: nothing.
inline std::int64_t drawable(std::int64_t count) {
  return std::max<std::int64_t>(count, 0);
}
/// What a colour or a position may show of a rate: 0..100.
inline double drawableRate(double percent) {
  return std::clamp(percent, 0.0, 100.0);
}

/// How a series of a chart is drawn: a line through its values, a dot at
/// each in the colour of its rate with a tooltip, a band from its lows up to
/// its values, a bar from 0 up to each, or a small dot at each in its class
/// with a tooltip. Dots are faint where the chart says.
enum class SeriesKind : std::uint8_t {
  kLine,
  kPoints,
  kBand,
  kBars,
  kSmallDots
};

/// Values of a chart, one for each of its categories.
struct ChartSeries {
  SeriesKind kind = SeriesKind::kLine;
  std::string_view svgClass;  // a line's, a band's or small dots' look
  std::vector<double> values;
  std::vector<double> lows;  // a band's lower ends
};

/// A chart of values over categories (sessions, months, length bands).
struct Chart {
  std::string_view label;          // its accessible name, markup
  std::string_view valueTitle;     // markup
  std::string_view categoryTitle;  // markup
  std::string_view svgClass;       // of the <svg>, beside "chart"
  /// Win rates, on an axis of 0% to 100% in quarters; or else counts, on
  /// an axis from 0 to the highest in at most about five steps of 1, 2 or 5
  /// times a power of ten.
  bool rates = true;
  std::vector<std::string> labels;  // one per category, markup
  std::vector<ChartSeries> series;
  /// Categories of too few data to trust, their dots drawn faint and left
  /// out of the lines; none beyond its size.
  std::vector<bool> faint;
};

/// Writes `chart` as an <svg> in a ".scroll" box. A chart with bars has a
/// slot of equal width per category, each labelled at its left edge, the
/// last always, the others where they keep their distance; any other has
/// its points spread and labelled as pointX and writePointLabels do.
/// `title(i)` writes the tooltip (markup) of category i's dot or bar.
/// Values below 0 or above the axis, and NaN, are drawn at its nearer end.
/// REQUIRES: every series (and a band's lows) has a value per label, and
/// there is at least one label.
void writeChart(HtmlPage& page, const Chart& chart,
                const std::function<void(std::size_t)>& title);

/// Opens a chart's <svg>, of class "chart" and `svgClass`, kChartWidth x
/// kChartHeight user units scaled by the page, with `label` (markup) as its
/// accessible name.
void writeSvgOpen(HtmlPage& page, std::string_view label,
                  std::string_view svgClass = {});

/// The value axis of a chart in `frame`: grid lines with labels (grouped
/// digits) from 0 to `top` in `step`s, `suffix` after each label, and the
/// rotated axis `title`. REQUIRES: top > 0, step > 0.
void writeValueAxis(HtmlPage& page, const ChartFrame& frame, std::int64_t top,
                    std::int64_t step, std::string_view suffix,
                    std::string_view title);

/// The category axis of a chart in `frame`: its line and its `title` below
/// the labels.
void writeCategoryAxis(HtmlPage& page, const ChartFrame& frame,
                       std::string_view title);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_CHART_H_
