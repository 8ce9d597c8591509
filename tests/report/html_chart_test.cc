#include "report/html_chart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

namespace sessionstats {
namespace {

// `chart` as written, each tooltip the index of its category.
std::string written(const Chart& chart) {
  std::ostringstream out;
  HtmlPage page(out);
  writeChart(page, chart, [&page](std::size_t i) {
    page.number(static_cast<std::int64_t>(i));
  });
  page.flush();
  return out.str();
}

Chart chartOf(SeriesKind kind, std::vector<double> values,
              std::vector<std::string> labels, bool rates) {
  Chart chart;
  chart.rates = rates;
  chart.labels = std::move(labels);
  chart.series.push_back({kind, "s", std::move(values), {}});
  return chart;
}

// y of a value on the plot: its top is 14 units down, its height 184.
std::string y(int fromTop) { return std::to_string(14 + fromTop); }

// ",y " of a polyline's point at `fromTop`; appended, not prepended, which
// keeps MinGW's GCC 12 from a false -Wrestrict on `"," + string`.
std::string pointY(int fromTop) {
  std::string mark = ",";
  mark += y(fromTop);
  mark += ' ';
  return mark;
}

TEST(HtmlChart, ValuesOffTheAxisAndNanStandAtItsNearerEnd) {
  const std::string html = written(chartOf(
      SeriesKind::kLine, {-5, NAN, 150, 50}, {"a", "b", "c", "d"}, true));
  const std::string bottom = pointY(184);
  const std::size_t at = html.find("<polyline class=\"s\" points=\"");
  ASSERT_NE(at, std::string::npos);
  const std::string points = html.substr(at, html.find("\"/>", at) - at);
  const std::size_t first = points.find(bottom);
  EXPECT_NE(points.find(bottom, first + 1), std::string::npos) << points;
  EXPECT_NE(points.find(pointY(0)), std::string::npos) << points;
  EXPECT_NE(points.find(pointY(92)), std::string::npos) << points;
}

TEST(HtmlChart, BarsOfCountsOnAnAxisOfRoundSteps) {
  // 12 at most: steps of 5 up to 15; a bar of 12 is 12/15 of the plot.
  const std::string html = written(
      chartOf(SeriesKind::kBars, {5, 0, 12}, {"0", "30", "60+"}, false));
  EXPECT_NE(html.find(">15</text>"), std::string::npos);
  EXPECT_EQ(html.find(">20</text>"), std::string::npos);
  EXPECT_NE(html.find("y=\"" + y(184 - 147) + "\" width="), std::string::npos);
  EXPECT_NE(html.find("height=\"0\""), std::string::npos);
  EXPECT_NE(html.find("><title>2</title></rect>"), std::string::npos);
  // A highest count on a step is the top itself.
  const std::string exact =
      written(chartOf(SeriesKind::kBars, {10, 4}, {"0", "30"}, false));
  EXPECT_NE(exact.find(">10</text>"), std::string::npos);
  EXPECT_EQ(exact.find(">12</text>"), std::string::npos);
}

// `slots` bars of 1 labelled by their lower ends in 30s, the last "N+".
std::string slotLabels(int slots) {
  std::vector<std::string> labels;
  for (int band = 0; band + 1 < slots; ++band) {
    labels.push_back(std::to_string(band * 30));
  }
  labels.push_back(std::to_string((slots - 1) * 30) + "+");
  return written(
      chartOf(SeriesKind::kBars,
              std::vector<double>(static_cast<std::size_t>(slots), 1),
              std::move(labels), false));
}

TEST(HtmlChart, SlotLabelsKeepTheirDistanceAndTheLastIsAlwaysShown) {
  // 24 slots of 29 units: every second label and the last one, less the
  // one before it, too close to it to show.
  std::string html = slotLabels(24);
  EXPECT_NE(html.find(">600</text>"), std::string::npos);
  EXPECT_EQ(html.find(">630</text>"), std::string::npos);
  EXPECT_EQ(html.find(">660</text>"), std::string::npos);
  EXPECT_NE(html.find(">690+</text>"), std::string::npos);
  // 25 slots: the second label before the last keeps its distance.
  html = slotLabels(25);
  EXPECT_NE(html.find(">660</text>"), std::string::npos);
  EXPECT_EQ(html.find(">690</text>"), std::string::npos);
  EXPECT_NE(html.find(">720+</text>"), std::string::npos);
}

TEST(HtmlChart, ABandOfOnePointIsABoxAroundIt) {
  Chart chart = chartOf(SeriesKind::kBand, {70}, {"a"}, true);
  chart.series[0].lows = {50};
  const std::string html = written(chart);
  const ChartFrame frame = chartFrame(kRateAxisTop, "%");
  const std::int64_t x = pointX(frame, 0, 1);
  const auto corner = [&](std::int64_t cx, double percent) {
    return std::to_string(cx) + "," + std::to_string(rateY(percent)) + " ";
  };
  EXPECT_NE(html.find("<polygon class=\"s\" points=\"" + corner(x - 8, 70) +
                      corner(x + 8, 70) + corner(x + 8, 50) +
                      corner(x - 8, 50) + "\"/>"),
            std::string::npos);
}

}  // namespace
}  // namespace sessionstats
