#include "report/html_heatmap.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "report/html_chart.h"
#include "report/html_table.h"
#include "stats/character_roster.h"

namespace sessionstats {
namespace {

// The characters of a grid's rows and columns that hold any result, in
// roster order.
struct HeatmapAxes {
  std::vector<int> rows;
  std::vector<int> columns;
};

// What the tooltip of a total names in place of a character.
constexpr std::string_view kAllCharacters = "All";

bool holdsResult(std::int32_t wins, std::int32_t losses) {
  return wins != 0 || losses != 0;
}

HeatmapAxes heatmapAxes(const MatchupCounts& wins, const MatchupCounts& losses,
                        const HeatmapTotals* totals) {
  HeatmapAxes axes;
  std::array<bool, kCharacterCount> columnUsed{};
  std::array<bool, kCharacterCount> rowUsed{};
  for (int own = 0; own < kCharacterCount; ++own) {
    for (int other = 0; other < kCharacterCount; ++other) {
      const int cell = matchupIndex(own, other);
      if (!holdsResult(wins[cell], losses[cell])) continue;
      rowUsed[own] = true;
      columnUsed[other] = true;
    }
  }
  for (int c = 0; c < kCharacterCount; ++c) {
    if (totals != nullptr) {
      rowUsed[c] =
          rowUsed[c] || holdsResult(totals->rowWins[c], totals->rowLosses[c]);
      columnUsed[c] = columnUsed[c] || holdsResult(totals->columnWins[c],
                                                   totals->columnLosses[c]);
    }
    if (rowUsed[c]) axes.rows.push_back(c);
    if (columnUsed[c]) axes.columns.push_back(c);
  }
  return axes;
}

// A total of the grid: a cell like the others, or an empty header cell when
// it holds no result.
void writeTotalCell(HtmlPage& page, std::string_view own,
                    std::string_view opposing, std::int32_t wins,
                    std::int32_t losses) {
  if (holdsResult(wins, losses)) {
    writeHeatCell(page, "th", own, opposing, wins, losses);
  } else {
    page.raw("<th>");
  }
}

// Writes `run` empty cells as one hatched cell across them: a page of
// thousands of grids builds far fewer elements that way.
void writeEmptyCells(HtmlPage& page, int run) {
  if (run == 1) page.raw("<td>");
  if (run > 1) page.raw("<td colspan=").number(run).raw(">");
}

// The cells of the row of `own` over the axes' columns.
void writeRowCells(HtmlPage& page, int own, const HeatmapAxes& axes,
                   const MatchupCounts& wins, const MatchupCounts& losses) {
  int emptyRun = 0;
  for (const int opposing : axes.columns) {
    const int cell = matchupIndex(own, opposing);
    if (!holdsResult(wins[cell], losses[cell])) {
      ++emptyRun;
      continue;
    }
    writeEmptyCells(page, emptyRun);
    emptyRun = 0;
    writeHeatCell(page, "td", kRoster.longName[own], kRoster.longName[opposing],
                  wins[cell], losses[cell]);
  }
  writeEmptyCells(page, emptyRun);
}

void writeTableHead(HtmlPage& page, const HeatmapAxes& axes, bool withTotals) {
  page.raw("\n<thead><tr><th>");
  for (const int column : axes.columns) {
    page.raw("<th><span>").escaped(kRoster.shortName[column]).raw("</span>");
  }
  if (withTotals) page.raw("<th><span>All</span>");
  page.raw("\n</thead><tbody>\n");
}

void writeRateLegend(HtmlPage& page) {
  constexpr int kLegendEvery = 2;  // every tenth percent
  page.raw("<p class=\"legend\">0% won&nbsp;");
  for (int step = 0; step <= kRateSteps; step += kLegendEvery) {
    page.raw("<i class=\"q").number(step).raw("\"></i>");
  }
  page.raw("&nbsp;100% won <i class=\"e\"></i>&nbsp;no match</p>\n");
}

}  // namespace

void writeHeatmap(HtmlPage& page, const MatchupCounts& wins,
                  const MatchupCounts& losses, const HeatmapTotals* totals) {
  const HeatmapAxes axes = heatmapAxes(wins, losses, totals);
  if (axes.rows.empty()) {
    page.raw("<p class=\"note\">No match to show.</p>\n");
    return;
  }
  page.raw("<div class=\"scroll\"><table class=\"heat ")
      .raw(totals != nullptr ? "totals sticky\">" : "sticky\">");
  writeTableHead(page, axes, totals != nullptr);
  for (const int own : axes.rows) {
    page.raw("<tr><th>").escaped(kRoster.shortName[own]);
    writeRowCells(page, own, axes, wins, losses);
    if (totals != nullptr) {
      writeTotalCell(page, kRoster.longName[own], kAllCharacters,
                     totals->rowWins[own], totals->rowLosses[own]);
    }
    page.raw("\n");
  }
  if (totals == nullptr) {
    page.raw("</tbody></table></div>\n");
    writeRateLegend(page);
    return;
  }
  page.raw("<tr class=\"all\"><th>All");
  for (const int opposing : axes.columns) {
    writeTotalCell(page, kAllCharacters, kRoster.longName[opposing],
                   totals->columnWins[opposing],
                   totals->columnLosses[opposing]);
  }
  page.raw("<th>\n</tbody></table></div>\n");
}

}  // namespace sessionstats
