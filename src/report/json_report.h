#ifndef SESSION_STATS_REPORT_JSON_REPORT_H_
#define SESSION_STATS_REPORT_JSON_REPORT_H_

#include <ostream>

#include "stats/insights.h"
#include "stats/session_history.h"
#include "stats/stats_records.h"

namespace sessionstats {

/// Writes one JSON document (see docs/json-report.md) with all that the text
/// report of `player` holds, plus the sessions, streaks and filters of
/// `history`, and its session in progress when it has one, and last the
/// fitted `insights`: each member of the document on a line of its own, each
/// element of a list member too (the months of the insights' form as well),
/// ending in LF. The document is always valid JSON: each byte of a name that
/// is not part of valid UTF-8 is written as U+FFFD; a fitted value that is
/// not finite is written as null.
///
/// The document is written in two calls, so that the insights can be fitted
/// while the rest is written: writeJsonReportStart writes every member
/// before the insights, and writeJsonReportEnd the insights and the end.
void writeJsonReportStart(std::ostream& out, const PlayerStats& player,
                          const SessionHistory& history);
void writeJsonReportEnd(std::ostream& out, const Insights& insights);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_JSON_REPORT_H_
