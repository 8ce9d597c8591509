#include "report/html_line_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "report/html_chart.h"
#include "stats/tally.h"

namespace sessionstats {
namespace {

// The first and last points stand this far inside the plot; a single point
// stands in its middle.
constexpr int kPointInset = 12;
// Dots shrink when the plot has less than this much width per point, so
// they stay apart.
constexpr int kRoomForLargeDot = 16;
constexpr int kLargeDotRadius = 6;
constexpr int kSmallDotRadius = 3;
// At most about this many labels along the time axis.
constexpr std::size_t kMaxTimeLabels = 8;
// The value axis: 0% to 100% in quarters.
constexpr int kRateAxisTop = 100;
constexpr int kRateAxisStep = 25;
// The strokes of the line and of the dots' outlines.
constexpr int kTrendLineWidth = 2;
constexpr std::string_view kDotOutlineWidth = "1.5";

// One point of the results chart.
struct ResultPoint {
  std::string label;   // the session's ordinal or the day
  std::string detail;  // what its tooltip adds
  // Sums of sessions wrap around like every count of the report.
  std::int32_t wins = 0;
  std::int32_t losses = 0;
};

std::vector<ResultPoint> resultPoints(const SessionHistory& history,
                                      bool& perDay) {
  std::vector<ResultPoint> points;
  perDay = history.sessions.size() > kMaxSessionPoints;
  if (!perDay) {
    for (const SessionSummary& session : history.sessions) {
      if (session.matchWins == 0 && session.matchLosses == 0) continue;
      ResultPoint point;
      point.label = std::to_string(session.ordinal);
      point.detail = session.date.empty() ? "" : session.date + ", ";
      point.detail += "vs " + session.opponent;
      point.wins = session.matchWins;
      point.losses = session.matchLosses;
      points.push_back(std::move(point));
    }
    return points;
  }
  std::map<std::string, ResultPoint> days;
  for (const SessionSummary& session : history.sessions) {
    if (session.date.empty()) continue;
    if (session.matchWins == 0 && session.matchLosses == 0) continue;
    ResultPoint& day = days[session.date];
    addWrapping(day.wins, session.matchWins);
    addWrapping(day.losses, session.matchLosses);
  }
  for (auto& [date, day] : days) {
    day.label = date;
    points.push_back(std::move(day));
  }
  return points;
}

}  // namespace

void writeResultsChart(HtmlPage& page, const SessionHistory& history) {
  page.raw("<section>\n<h2>Results over time</h2>\n");
  bool perDay = false;
  const std::vector<ResultPoint> points = resultPoints(history, perDay);
  if (points.empty()) {
    page.raw(
        "<p class=\"note\">No dated session: there is no result to show over "
        "time.</p>\n</section>\n");
    return;
  }
  page.raw("<p class=\"note\">Share of matches won ")
      .raw(perDay ? "per day, by date" : "per session, in the order of the log")
      .raw(".</p>\n");
  page.raw("<div class=\"scroll\">");
  writeSvgOpen(page, kChartWidth, kChartHeight,
               "Line chart of the win rate over time", "chart");
  writeValueAxis(page, kRateAxisTop, kRateAxisStep, "%", "Matches won");
  const auto xOf = [&points](std::size_t i) {
    const std::size_t gaps = std::max<std::size_t>(points.size() - 1, 1);
    const int inset = points.size() == 1 ? kPlotWidth / 2 : kPointInset;
    return kPlotLeft + inset +
           static_cast<std::int64_t>(i) * (kPlotWidth - 2 * inset) /
               static_cast<std::int64_t>(gaps);
  };
  const auto yOf = [](double percent) {
    return kPlotTop + kPlotHeight -
           std::lround(drawableRate(percent) * kPlotHeight / kRateAxisTop);
  };
  page.raw("<polyline fill=\"none\"")
      .attr("stroke", kTrendLineColour)
      .attr("stroke-width", kTrendLineWidth)
      .raw(" points=\"");
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double percent = winPercentage(points[i].wins, points[i].losses);
    page.number(xOf(i)).raw(",").number(yOf(percent)).raw(" ");
  }
  page.raw("\"/>\n");
  const int radius = points.size() > kPlotWidth / kRoomForLargeDot
                         ? kSmallDotRadius
                         : kLargeDotRadius;
  const std::size_t labelEvery =
      (points.size() + kMaxTimeLabels - 1) / kMaxTimeLabels;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const ResultPoint& point = points[i];
    const double percent = winPercentage(point.wins, point.losses);
    page.raw("<circle")
        .attr("cx", xOf(i))
        .attr("cy", yOf(percent))
        .attr("r", radius)
        .attr("stroke", kDotOutlineColour)
        .attr("stroke-width", kDotOutlineWidth)
        .attr("fill", winRateColour(drawableRate(percent)))
        .raw("><title>")
        .raw(perDay ? "" : "Session ")
        .escaped(point.label)
        .raw(point.detail.empty() ? "" : " (")
        .escaped(point.detail)
        .raw(point.detail.empty() ? "" : ")")
        .raw(": ")
        .number(point.wins)
        .raw(" won, ")
        .number(point.losses)
        .raw(" lost (")
        .percentage(percent)
        .raw(")</title></circle>\n");
    if (i % labelEvery == 0) {
      page.raw("<text class=\"label\"")
          .attr("x", xOf(i))
          .attr("y", kCategoryLabelY)
          .attr("text-anchor", "middle")
          .raw(">")
          .escaped(point.label)
          .raw("</text>\n");
    }
  }
  writeCategoryAxis(page, perDay ? "Day" : "Session");
  page.raw("</svg></div>\n</section>\n");
}

}  // namespace sessionstats
