#ifndef SESSION_STATS_APP_LOG_READING_H_
#define SESSION_STATS_APP_LOG_READING_H_

#include <cstdio>

#include "log/session_log_reader.h"

namespace sessionstats {

/// How reading the log ended.
enum class LogReadOutcome { kComplete, kUnreadable, kFailedPartWay };

/// Streams `log` to its end through the line splitter into `reader`, in
/// blocks, so memory does not grow with the log. kUnreadable when the first
/// read fails before any byte (a directory opened as a file, for one),
/// kFailedPartWay when a later read fails; `error` then holds its errno, and
/// every line read before the failure has been given to `reader`.
///
/// A reader that logs no matches gets its lines on the calling thread while
/// a second thread reads the file and parses the lines ahead of it, leaving
/// stretches for the calling thread to parse whenever it would otherwise
/// wait (see parseLine and SessionLogReader::apply); what it counts is the
/// same. An
/// exception from either thread (out of memory) stops both and reaches the
/// caller.
LogReadOutcome readSessionLog(std::FILE* log, SessionLogReader& reader,
                              int& error);

}  // namespace sessionstats

#endif  // SESSION_STATS_APP_LOG_READING_H_
