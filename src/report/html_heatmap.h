#ifndef SESSION_STATS_REPORT_HTML_HEATMAP_H_
#define SESSION_STATS_REPORT_HTML_HEATMAP_H_

#include "report/html_page.h"
#include "stats/tally.h"

namespace sessionstats {

/// Writes the heatmap of `wins` and `losses` by character played (rows) and
/// faced (columns): only the rows and columns that hold a result, in roster
/// order, one SVG group of class "cell" per cell with a result, in the
/// colour of its win rate with its exact counts as its tooltip; a note when
/// no cell holds a result. Negative counts colour as a rate of 0..100.
void writeHeatmap(HtmlPage& page, const MatchupCounts& wins,
                  const MatchupCounts& losses);

/// Writes the legend of the heatmap's colours, from 0% to 100% won.
void writeHeatmapLegend(HtmlPage& page);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_HEATMAP_H_
