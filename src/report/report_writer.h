#ifndef SESSION_STATS_REPORT_REPORT_WRITER_H_
#define SESSION_STATS_REPORT_REPORT_WRITER_H_

#include <ostream>

#include "analysis/stats_records.h"

namespace sessionstats {

/// Writes the whole report of `player` to `out`: the summary, one section per
/// opponent with results, and the matchup grids. Every line ends in CR LF and
/// is flushed. Only reads the record; a failing stream silently takes no more.
void writeReport(std::ostream& out, const PlayerStats& player);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_REPORT_WRITER_H_
