#include "report/html_chart.h"

#include <cmath>

namespace sessionstats {
namespace {

// A value label ends this far left of the plot, its baseline this far below
// its grid line so the text is centred on it.
constexpr int kValueLabelGap = 6;
constexpr int kLabelBaselineShift = 4;
// The rotated title of the value axis: its centre line from the left edge,
// and the room it takes with a margin on both sides.
constexpr int kValueTitleX = 12;
constexpr int kValueTitleRoom = 24;
// The title of the category axis: its baseline above the bottom edge.
constexpr int kCategoryTitleLift = 8;
// The first and last points stand this far inside the plot.
constexpr int kPointInset = 12;
// Room a point's label takes beyond its characters.
constexpr int kPointLabelMargin = 14;

// Characters of `value` written with grouped digits.
int groupedLength(std::int64_t value) {
  int digits = 1;
  for (std::int64_t rest = value; rest >= 10; rest /= 10) ++digits;
  return digits + (digits - 1) / 3;
}

// Labels of `labelLength` characters under `count` points placed by pointX
// stand at every this many points (1 or more), so that no two come closer
// than their width.
std::size_t labelStride(const ChartFrame& frame, std::size_t count,
                        std::size_t labelLength) {
  const std::int64_t room =
      static_cast<std::int64_t>(labelLength) * kLabelCharWidth +
      kPointLabelMargin;
  const std::int64_t spacing =
      count > 1 ? (pointX(frame, count - 1, count) - pointX(frame, 0, count)) /
                      static_cast<std::int64_t>(count - 1)
                : frame.width();
  return static_cast<std::size_t>(std::max<std::int64_t>(
      1, (room + spacing - 1) / std::max<std::int64_t>(spacing, 1)));
}

}  // namespace

ChartFrame chartFrame(std::int64_t top, std::string_view suffix) {
  const int labelChars = groupedLength(top) + static_cast<int>(suffix.size());
  return {kValueTitleRoom + labelChars * kLabelCharWidth + kValueLabelGap};
}

std::int64_t rateY(double percent) {
  return kPlotTop + kPlotHeight -
         std::lround(drawableRate(percent) * kPlotHeight / kRateAxisTop);
}

std::int64_t pointX(const ChartFrame& frame, std::size_t i, std::size_t count) {
  const int plotWidth = frame.width();
  const std::size_t gaps = std::max<std::size_t>(count - 1, 1);
  const int inset = count == 1 ? plotWidth / 2 : kPointInset;
  return frame.left + inset +
         static_cast<std::int64_t>(i) * (plotWidth - 2 * inset) /
             static_cast<std::int64_t>(gaps);
}

void writeRateBar(HtmlPage& page, std::int32_t wins, std::int32_t losses) {
  page.raw("<div class=\"bar\"><i><b class=\"w")
      .number(std::lround(drawableRate(winPercentage(wins, losses))))
      .raw("\"></b></i><em>")
      .winRate(wins, losses)
      .raw("</em></div>");
}

void writeSvgOpen(HtmlPage& page, std::string_view label) {
  page.raw("<svg class=\"chart\" viewBox=\"0 0 ")
      .number(kChartWidth)
      .raw(" ")
      .number(kChartHeight)
      .raw("\"")
      .attr("width", kChartWidth)
      .attr("height", kChartHeight)
      .attr("role", "img")
      .attr("aria-label", label)
      .raw(">\n");
}

void writeValueAxis(HtmlPage& page, const ChartFrame& frame, std::int64_t top,
                    std::int64_t step, std::string_view suffix,
                    std::string_view title) {
  for (std::int64_t value = 0; value <= top; value += step) {
    const std::int64_t y = kPlotTop + kPlotHeight - value * kPlotHeight / top;
    page.raw("<line class=\"grid\"")
        .attr("x1", frame.left)
        .attr("x2", kChartWidth - kPlotRight)
        .attr("y1", y)
        .attr("y2", y)
        .raw("/><text class=\"label\"")
        .attr("x", frame.left - kValueLabelGap)
        .attr("y", y + kLabelBaselineShift)
        .attr("text-anchor", "end")
        .raw(">")
        .count(value)
        .raw(suffix)
        .raw("</text>\n");
  }
  page.raw("<text class=\"title\" transform=\"translate(")
      .number(kValueTitleX)
      .raw(" ")
      .number(kPlotTop + kPlotHeight / 2)
      .raw(") rotate(-90)\"")
      .attr("text-anchor", "middle")
      .raw(">")
      .raw(title)
      .raw("</text>\n");
}

void writeCategoryAxis(HtmlPage& page, const ChartFrame& frame,
                       std::string_view title) {
  page.raw("<line class=\"axis\"")
      .attr("x1", frame.left)
      .attr("x2", kChartWidth - kPlotRight)
      .attr("y1", kChartHeight - kPlotBottom)
      .attr("y2", kChartHeight - kPlotBottom)
      .raw("/>\n<text class=\"title\"")
      .attr("x", frame.left + frame.width() / 2)
      .attr("y", kChartHeight - kCategoryTitleLift)
      .attr("text-anchor", "middle")
      .raw(">")
      .raw(title)
      .raw("</text>\n");
}

void writeRateLine(HtmlPage& page, std::string_view svgClass,
                   const ChartFrame& frame,
                   const std::vector<double>& percents) {
  page.raw("<polyline").attr("class", svgClass).raw(" points=\"");
  for (std::size_t i = 0; i < percents.size(); ++i) {
    page.number(pointX(frame, i, percents.size()))
        .raw(",")
        .number(rateY(percents[i]))
        .raw(" ");
  }
  page.raw("\"/>\n");
}

void writePointLabels(HtmlPage& page, const ChartFrame& frame,
                      const std::vector<std::string>& labels) {
  const std::size_t stride =
      labelStride(frame, labels.size(), labels.back().size());
  for (std::size_t i = 0; i < labels.size(); i += stride) {
    page.raw("<text class=\"label\"")
        .attr("x", pointX(frame, i, labels.size()))
        .attr("y", kCategoryLabelY)
        .attr("text-anchor", "middle")
        .raw(">")
        .raw(labels[i])
        .raw("</text>\n");
  }
}

}  // namespace sessionstats
