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

/// The whole program, in the current directory: reads the log in one pass,
/// prompts on `out` for a player name, reads the answer from `console` (see
/// readAnswer) and writes that player's report (see replaceReportFile).
/// Ignores SIGPIPE and SIGXFSZ for the rest of the process, so a gone reader
/// of `out` or a file size limit fails a write instead of ending the run.
/// Returns the exit status:
/// - 0 after the report was written, and when `console` ends before a word
///   (the report file is left as it was);
/// - 1 when the log is missing ("Could not find <log>" on `out`), unreadable
///   from its first byte (that line, plus the reason on `err`) or fails part
///   way (the reason on `err`, no prompt); when the answer names no player;
///   when the report cannot be written (the old one is kept); and when memory
///   runs out. Every failure but the missing log puts one line
///   "session-stats: ..." on `err`, and none of them touches the report.
int runSessionStats(std::istream& console, std::ostream& out,
                    std::ostream& err);

}  // namespace sessionstats

#endif  // SESSION_STATS_APP_DRIVER_H_
