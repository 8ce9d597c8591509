#ifndef SESSION_STATS_REPORT_REPORT_WRITER_H_
#define SESSION_STATS_REPORT_REPORT_WRITER_H_

#include <ostream>
#include <span>
#include <string>

#include "base/ordered_pipeline.h"
#include "stats/stats_records.h"

namespace sessionstats {

// Every line the writer produces ends in CR LF and reaches the stream whole,
// in a write of one or more lines: give it a binary-mode stream. The writer
// never flushes; the stream's buffer decides when bytes reach the file. The
// writer only reads the records and keeps nothing between calls; output to a
// failing stream is silently lost.

/// Writes the whole report of `player`: the summary, one section per opponent
/// with at least one match counted (hasMatches; in the order they were met),
/// then the detailed tables with the player's grid and one grid per such
/// opponent. The last line is always empty, so a second report can follow
/// directly.
///
/// With kTwo and more than a few opponents, the report is cut into pieces of
/// a few opponents that a second thread and this one format through an
/// ordered pipeline (see runOrderedPipeline), and this one writes in order;
/// the bytes are the same as with kOne, and so is what reaches `out` in each
/// write. Only this thread writes to `out`. An exception from either thread
/// (out of memory) stops both and reaches the caller.
///
/// A report over the matches that pass some filters names them: one line
/// "Filters: " and `filters` joined by "; " follows the "Stats for" line.
/// Without filters it is the report of a run without options.
void writeReport(std::ostream& out, const PlayerStats& player,
                 PipelineThreads threads = PipelineThreads::kTwo,
                 std::span<const std::string> filters = {});

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_REPORT_WRITER_H_
