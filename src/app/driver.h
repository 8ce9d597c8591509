#ifndef SESSION_STATS_APP_DRIVER_H_
#define SESSION_STATS_APP_DRIVER_H_

#include <cstdio>
#include <istream>
#include <ostream>

#include "log/session_log_reader.h"

namespace sessionstats {

inline constexpr char kLogFileName[] = "sessionlog.txt";
inline constexpr char kReportFileName[] = "session_stats.txt";

/// How reading the log ended.
enum class LogReadOutcome { kComplete, kUnreadable, kFailedPartWay };

/// Streams `log` to its end through the line splitter into `reader`, in
/// blocks, so memory does not grow with the log. kUnreadable when the first
/// read fails before any byte (a directory opened as a file, for one),
/// kFailedPartWay when a later read fails; `error` then holds its errno.
LogReadOutcome readSessionLog(std::FILE* log, SessionLogReader& reader,
                              int& error);

/// The whole program, in the current directory: reads the session log in one
/// pass, prompts on `out` for a player name, reads one word from `console`
/// and writes that player's report. Returns the exit status:
/// - 0 when the log is missing or unreadable from its first byte (one line on
///   `out`, nothing else happens), when `console` gives no word (the report
///   file is left as it was), and after a report was written;
/// - 1 when reading the log fails part way, or the report file cannot be
///   created or written (one line on `err` with the system's reason).
int runSessionStats(std::istream& console, std::ostream& out,
                    std::ostream& err);

}  // namespace sessionstats

#endif  // SESSION_STATS_APP_DRIVER_H_
