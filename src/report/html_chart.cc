#include "report/html_chart.h"

#include <algorithm>
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
// Dots shrink when the plot has less than this much width per point, so
// they stay apart.
constexpr int kRoomForLargeDot = 16;
constexpr int kLargeDotRadius = 6;
constexpr int kSmallDotRadius = 4;
// A bar leaves a gap on each side of its slot and has rounded corners.
constexpr int kBarGap = 2;
constexpr int kBarCornerRadius = 3;
// A band of a single point is a box this wide either side of it, where a
// band would have no width.
constexpr int kLoneBandHalfWidth = 8;
// A count axis has at most about this many steps.
constexpr std::int64_t kMaxCountSteps = 5;

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

// A tick step of 1, 2 or 5 times a power of ten that gives at most about
// kMaxCountSteps ticks up to `top`. REQUIRES: top >= 0.
std::int64_t tickStep(std::int64_t top) {
  std::int64_t step = 1;
  for (;;) {
    for (const std::int64_t factor : {1, 2, 5}) {
      if (top / (step * factor) <= kMaxCountSteps) return step * factor;
    }
    step *= 10;
  }
}

// The value axis of a chart: its top, its step and its labels' suffix.
struct ValueAxis {
  std::int64_t top = kRateAxisTop;
  std::int64_t step = kRateAxisStep;
  std::string_view suffix = "%";
};

ValueAxis valueAxis(const Chart& chart) {
  if (chart.rates) return {};
  double highest = 0;
  for (const ChartSeries& series : chart.series) {
    for (const double value : series.values) {
      highest = std::max(highest, value);  // NaN is not higher
    }
  }
  const auto high = static_cast<std::int64_t>(std::ceil(highest));
  const std::int64_t step = tickStep(high);
  return {std::max((high + step - 1) / step * step, step), step, ""};
}

// Where the categories of a chart stand across its plot.
struct CategoryPlaces {
  ChartFrame frame;
  std::size_t count = 0;
  int slot = 0;  // the width of a bar's slot; 0: points

  std::int64_t x(std::size_t i) const {
    return slot == 0 ? pointX(frame, i, count)
                     : frame.left + static_cast<std::int64_t>(i) * slot;
  }
};

std::int64_t valueY(double value, std::int64_t top) {
  const double shown =
      value > 0 ? std::min(value, static_cast<double>(top)) : 0.0;
  return kPlotTop + kPlotHeight -
         std::lround(shown * kPlotHeight / static_cast<double>(top));
}

bool faintAt(const std::vector<bool>& faint, std::size_t i) {
  return i < faint.size() && faint[i];
}

// A point of a polyline's or a polygon's "points".
void writeCorner(HtmlPage& page, std::int64_t x, std::int64_t y) {
  page.number(x).raw(",").number(y).raw(" ");
}

void writeLine(HtmlPage& page, const ChartSeries& series,
               const CategoryPlaces& places, std::int64_t top,
               const std::vector<bool>& faint) {
  page.raw("<polyline").attr("class", series.svgClass).raw(" points=\"");
  for (std::size_t i = 0; i < series.values.size(); ++i) {
    if (faintAt(faint, i)) continue;
    writeCorner(page, places.x(i), valueY(series.values[i], top));
  }
  page.raw("\"/>\n");
}

// Along the upper ends, back along the lower ones.
void writeBand(HtmlPage& page, const ChartSeries& series,
               const CategoryPlaces& places, std::int64_t top) {
  const std::size_t count = series.values.size();
  const int lone = count == 1 ? kLoneBandHalfWidth : 0;
  const auto corner = [&](std::size_t i, int shift, double value) {
    writeCorner(page, places.x(i) + shift, valueY(value, top));
  };
  page.raw("<polygon").attr("class", series.svgClass).raw(" points=\"");
  for (std::size_t i = 0; i < count; ++i) {
    corner(i, -lone, series.values[i]);
    if (lone != 0) corner(i, lone, series.values[i]);
  }
  for (std::size_t i = count; i-- > 0;) {
    corner(i, lone, series.lows[i]);
    if (lone != 0) corner(i, -lone, series.lows[i]);
  }
  page.raw("\"/>\n");
}

void writeMarks(HtmlPage& page, const ChartSeries& series,
                const CategoryPlaces& places, std::int64_t top,
                const std::vector<bool>& faint,
                const std::function<void(std::size_t)>& title) {
  const bool bars = series.kind == SeriesKind::kBars;
  const bool crowded =
      places.count >
      static_cast<std::size_t>(places.frame.width() / kRoomForLargeDot);
  page.raw(bars ? "<g class=\"bars\">\n" : "<g class=\"dots\">\n");
  for (std::size_t i = 0; i < series.values.size(); ++i) {
    const std::int64_t y = valueY(series.values[i], top);
    if (bars) {
      page.raw("<rect")
          .attr("x", places.x(i) + kBarGap)
          .attr("y", y)
          .attr("width", places.slot - 2 * kBarGap)
          .attr("height", kPlotTop + kPlotHeight - y)
          .attr("rx", kBarCornerRadius);
    } else {
      const bool small = series.kind == SeriesKind::kSmallDots;
      page.raw("<circle class=\"");
      if (small) {
        page.raw(series.svgClass);
      } else {
        page.raw("q").number(rateStep(series.values[i]));
      }
      page.raw(faintAt(faint, i) ? " faint\"" : "\"")
          .attr("cx", places.x(i))
          .attr("cy", y)
          .attr("r", crowded || small ? kSmallDotRadius : kLargeDotRadius);
    }
    page.raw("><title>");
    title(i);
    page.raw(bars ? "</title></rect>\n" : "</title></circle>\n");
  }
  page.raw("</g>\n");
}

// A category's label, centred on `x` under the plot.
void writeCategoryLabel(HtmlPage& page, std::int64_t x,
                        std::string_view label) {
  page.raw("<text class=\"label\"")
      .attr("x", x)
      .attr("y", kCategoryLabelY)
      .attr("text-anchor", "middle")
      .raw(">")
      .raw(label)
      .raw("</text>\n");
}

// The labels of the slots' left edges: the last always, the others at
// every so many slots that none comes closer to the next than its width.
void writeSlotLabels(HtmlPage& page, const CategoryPlaces& places,
                     const std::vector<std::string>& labels) {
  const std::size_t last = labels.size() - 1;
  const int room = static_cast<int>(labels.back().size() + 1) * kLabelCharWidth;
  const std::size_t every =
      static_cast<std::size_t>((room + places.slot - 1) / places.slot);
  for (std::size_t i = 0; i <= last; ++i) {
    if (i != last && (i % every != 0 || i + every > last)) continue;
    writeCategoryLabel(page, places.x(i), labels[i]);
  }
}

}  // namespace

void writeChart(HtmlPage& page, const Chart& chart,
                const std::function<void(std::size_t)>& title) {
  const ValueAxis axis = valueAxis(chart);
  CategoryPlaces places{chartFrame(axis.top, axis.suffix), chart.labels.size()};
  const bool bars = std::any_of(
      chart.series.begin(), chart.series.end(),
      [](const ChartSeries& s) { return s.kind == SeriesKind::kBars; });
  if (bars) {
    places.slot = places.frame.width() / static_cast<int>(places.count);
  }
  page.raw("<div class=\"scroll\">");
  writeSvgOpen(page, chart.label, chart.svgClass);
  writeValueAxis(page, places.frame, axis.top, axis.step, axis.suffix,
                 chart.valueTitle);
  for (const ChartSeries& series : chart.series) {
    if (series.kind == SeriesKind::kLine) {
      writeLine(page, series, places, axis.top, chart.faint);
    } else if (series.kind == SeriesKind::kBand) {
      writeBand(page, series, places, axis.top);
    } else {
      writeMarks(page, series, places, axis.top, chart.faint, title);
    }
  }
  if (bars) {
    writeSlotLabels(page, places, chart.labels);
  } else {
    writePointLabels(page, places.frame, chart.labels);
  }
  writeCategoryAxis(page, places.frame, chart.categoryTitle);
  page.raw("</svg></div>\n");
}

ChartFrame chartFrame(std::int64_t top, std::string_view suffix) {
  const int labelChars = groupedLength(top) + static_cast<int>(suffix.size());
  return {kValueTitleRoom + labelChars * kLabelCharWidth + kValueLabelGap};
}

std::int64_t rateY(double percent) { return valueY(percent, kRateAxisTop); }

std::int64_t pointX(const ChartFrame& frame, std::size_t i, std::size_t count) {
  const int plotWidth = frame.width();
  const std::size_t gaps = std::max<std::size_t>(count - 1, 1);
  const int inset = count == 1 ? plotWidth / 2 : kPointInset;
  return frame.left + inset +
         static_cast<std::int64_t>(i) * (plotWidth - 2 * inset) /
             static_cast<std::int64_t>(gaps);
}

void writeSvgOpen(HtmlPage& page, std::string_view label,
                  std::string_view svgClass) {
  page.raw("<svg class=\"chart")
      .raw(svgClass.empty() ? "" : " ")
      .raw(svgClass)
      .raw("\" viewBox=\"0 0 ")
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
  writeLine(page, {SeriesKind::kLine, svgClass, percents, {}},
            {frame, percents.size()}, kRateAxisTop, {});
}

void writePointLabels(HtmlPage& page, const ChartFrame& frame,
                      const std::vector<std::string>& labels) {
  const std::size_t stride =
      labelStride(frame, labels.size(), labels.back().size());
  for (std::size_t i = 0; i < labels.size(); i += stride) {
    writeCategoryLabel(page, pointX(frame, i, labels.size()), labels[i]);
  }
}

}  // namespace sessionstats
