#include "report/html_heatmap.h"

#include <array>
#include <cstdint>
#include <vector>

#include "report/html_chart.h"
#include "stats/character_roster.h"

namespace sessionstats {
namespace {

// The grid, in SVG user units: the cells, the room for the row labels on
// the left and the column labels above.
constexpr int kCellWidth = 72;
constexpr int kCellHeight = 40;
constexpr int kRowLabelWidth = 84;
constexpr int kColumnLabelHeight = 26;
// A cell's box stands this far inside its place, so the rules show between
// boxes, and has rounded corners.
constexpr int kCellInset = 1;
constexpr int kCellCornerRadius = 4;
// Baselines: a cell's text and a row label sit this far below the middle of
// the row, a column label this far above the grid.
constexpr int kBaselineShift = 4;
constexpr int kColumnLabelLift = 9;
// A row label ends this far left of the grid.
constexpr int kRowLabelGap = 8;

// The legend: its swatches from 0% to 100%, the labels at both ends and
// "50%" below the middle.
constexpr int kLegendSteps = 11;
constexpr int kSwatchWidth = 36;
constexpr int kSwatchHeight = 20;
constexpr int kSwatchTop = 4;
constexpr int kSwatchesLeft = 60;
constexpr int kLegendEndLabelRoom = 140;
constexpr int kLegendWidth = kLegendSteps * kSwatchWidth + kLegendEndLabelRoom;
constexpr int kLegendHeight = 40;
constexpr int kLegendLabelY = 18;
constexpr int kLegendMiddleLabelY = 38;
constexpr int kLegendLabelGap = 6;

// The characters of a grid's rows and columns that hold any result, in
// roster order.
struct HeatmapAxes {
  std::vector<int> rows;
  std::vector<int> columns;
};

HeatmapAxes heatmapAxes(const MatchupCounts& wins,
                        const MatchupCounts& losses) {
  HeatmapAxes axes;
  std::array<bool, kCharacterCount> columnUsed{};
  for (int own = 0; own < kCharacterCount; ++own) {
    bool rowUsed = false;
    for (int other = 0; other < kCharacterCount; ++other) {
      const int cell = matchupIndex(own, other);
      if (wins[cell] == 0 && losses[cell] == 0) continue;
      rowUsed = true;
      columnUsed[other] = true;
    }
    if (rowUsed) axes.rows.push_back(own);
  }
  for (int other = 0; other < kCharacterCount; ++other) {
    if (columnUsed[other]) axes.columns.push_back(other);
  }
  return axes;
}

int columnX(std::size_t column) {
  return kRowLabelWidth + static_cast<int>(column) * kCellWidth;
}
int rowY(std::size_t row) {
  return kColumnLabelHeight + static_cast<int>(row) * kCellHeight;
}

// The empty cells: a grey ground between white rules, drawn once for the
// whole grid, so a cell without a result costs nothing.
void writeHeatmapGround(HtmlPage& page, const HeatmapAxes& axes) {
  const int gridWidth = columnX(axes.columns.size()) - kRowLabelWidth;
  const int gridHeight = rowY(axes.rows.size()) - kColumnLabelHeight;
  page.raw("<rect class=\"ground\"")
      .attr("x", kRowLabelWidth)
      .attr("y", kColumnLabelHeight)
      .attr("width", gridWidth)
      .attr("height", gridHeight)
      .raw("/><path class=\"rules\" d=\"");
  for (std::size_t c = 0; c <= axes.columns.size(); ++c) {
    page.raw("M")
        .number(columnX(c))
        .raw(" ")
        .number(kColumnLabelHeight)
        .raw("v")
        .number(gridHeight);
  }
  for (std::size_t r = 0; r <= axes.rows.size(); ++r) {
    page.raw("M")
        .number(kRowLabelWidth)
        .raw(" ")
        .number(rowY(r))
        .raw("h")
        .number(gridWidth);
  }
  page.raw("\"/>\n");
}

// One cell with a result at (x, y): a box in the colour of its win rate
// showing "wins/losses", with the exact counts as its tooltip.
void writeHeatmapCell(HtmlPage& page, int x, int y, int own, int opposing,
                      std::int32_t won, std::int32_t lost) {
  const double percent = winPercentage(won, lost);
  const Colour fill = winRateColour(drawableRate(percent));
  page.raw("<g class=\"cell\" transform=\"translate(")
      .number(x + kCellInset)
      .raw(" ")
      .number(y + kCellInset)
      .raw(")\"><title>")
      .escaped(kRoster.longName[own])
      .raw(" vs ")
      .escaped(kRoster.longName[opposing])
      .raw(": ")
      .number(won)
      .raw(won == 1 ? " win, " : " wins, ")
      .number(lost)
      .raw(lost == 1 ? " loss (" : " losses (")
      .percentage(percent)
      .raw(")</title><rect")
      .attr("width", kCellWidth - 2 * kCellInset)
      .attr("height", kCellHeight - 2 * kCellInset)
      .attr("rx", kCellCornerRadius)
      .attr("fill", fill)
      .raw("/><text")
      .raw(needsLightText(fill) ? " class=\"light\"" : "")
      .attr("x", kCellWidth / 2 - kCellInset)
      .attr("y", kCellHeight / 2 + kBaselineShift)
      .raw(">")
      .number(won)
      .raw("/")
      .number(lost)
      .raw("</text></g>\n");
}

}  // namespace

void writeHeatmap(HtmlPage& page, const MatchupCounts& wins,
                  const MatchupCounts& losses) {
  const HeatmapAxes axes = heatmapAxes(wins, losses);
  if (axes.rows.empty()) {
    page.raw("<p class=\"note\">No match to show.</p>\n");
    return;
  }
  page.raw("<div class=\"scroll\">");
  writeSvgOpen(page, columnX(axes.columns.size()), rowY(axes.rows.size()),
               "Heatmap of wins and losses by character played and faced");
  for (std::size_t c = 0; c < axes.columns.size(); ++c) {
    page.raw("<text class=\"label\"")
        .attr("x", columnX(c) + kCellWidth / 2)
        .attr("y", kColumnLabelHeight - kColumnLabelLift)
        .attr("text-anchor", "middle")
        .raw(">")
        .escaped(shortName(axes.columns[c]))
        .raw("</text>\n");
  }
  writeHeatmapGround(page, axes);
  for (std::size_t r = 0; r < axes.rows.size(); ++r) {
    const int own = axes.rows[r];
    const int y = rowY(r);
    page.raw("<text class=\"label\"")
        .attr("x", kRowLabelWidth - kRowLabelGap)
        .attr("y", y + kCellHeight / 2 + kBaselineShift)
        .attr("text-anchor", "end")
        .raw(">")
        .escaped(shortName(own))
        .raw("</text>\n");
    for (std::size_t c = 0; c < axes.columns.size(); ++c) {
      const int cell = matchupIndex(own, axes.columns[c]);
      if (wins[cell] == 0 && losses[cell] == 0) continue;
      writeHeatmapCell(page, columnX(c), y, own, axes.columns[c], wins[cell],
                       losses[cell]);
    }
  }
  page.raw("</svg></div>\n");
}

void writeHeatmapLegend(HtmlPage& page) {
  writeSvgOpen(page, kLegendWidth, kLegendHeight,
               "Colour scale from 0% to 100% won");
  page.raw("<text class=\"label\"")
      .attr("x", 0)
      .attr("y", kLegendLabelY)
      .raw(">0% won</text>\n");
  for (int i = 0; i < kLegendSteps; ++i) {
    page.raw("<rect")
        .attr("x", kSwatchesLeft + i * kSwatchWidth)
        .attr("y", kSwatchTop)
        .attr("width", kSwatchWidth)
        .attr("height", kSwatchHeight)
        .attr("fill", winRateColour(i * 100.0 / (kLegendSteps - 1)))
        .raw("/>\n");
  }
  page.raw("<text class=\"label\"")
      .attr("x", kSwatchesLeft + kLegendSteps * kSwatchWidth + kLegendLabelGap)
      .attr("y", kLegendLabelY)
      .raw(">100% won</text>\n<text class=\"label\"")
      .attr("x", kSwatchesLeft + kLegendSteps * kSwatchWidth / 2)
      .attr("y", kLegendMiddleLabelY)
      .attr("text-anchor", "middle")
      .raw(">50%</text>\n</svg>\n");
}

}  // namespace sessionstats
