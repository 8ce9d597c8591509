#ifndef SESSION_STATS_REPORT_HTML_HEATMAP_H_
#define SESSION_STATS_REPORT_HTML_HEATMAP_H_

#include "report/html_page.h"
#include "stats/tally.h"

namespace sessionstats {

// A heatmap is a table of matchups: the character played in the rows, the
// character faced in the columns, only the rows and columns that hold a
// result (in roster order), each cell with a result in the colour of its
// win rate (class "qN") and an empty cell hatched. It scrolls sideways in a
// box of its own with the row labels kept in view. Negative counts colour
// as a rate of 0..100.

/// The results of a heatmap's rows and columns, from the player's side.
struct HeatmapTotals {
  const CharacterCounts& rowWins;
  const CharacterCounts& rowLosses;
  const CharacterCounts& columnWins;
  const CharacterCounts& columnLosses;
};

/// Writes the heatmap of `wins` and `losses` with each cell's win rate in
/// whole percent and its counts as its tooltip (shown on a tap too); a note
/// when nothing holds a result. Without `totals` the legend follows it; with
/// them, a column and a row "All" of `totals` drawn the same way take its
/// place, so that it is as narrow as the player's own.
void writeHeatmap(HtmlPage& page, const MatchupCounts& wins,
                  const MatchupCounts& losses,
                  const HeatmapTotals* totals = nullptr);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_HEATMAP_H_
