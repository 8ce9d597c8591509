#ifndef SESSION_STATS_APP_DRIVER_H_
#define SESSION_STATS_APP_DRIVER_H_

#include <cstdio>
#include <istream>
#include <ostream>

#include "app/options.h"
#include "log/session_log_reader.h"

namespace sessionstats {

/// How reading the log ended.
enum class LogReadOutcome { kComplete, kUnreadable, kFailedPartWay };

/// Streams `log` to its end through the line splitter into `reader`, in
/// blocks, so memory does not grow with the log. kUnreadable when the first
/// read fails before any byte (a directory opened as a file, for one),
/// kFailedPartWay when a later read fails; `error` then holds its errno.
LogReadOutcome readSessionLog(std::FILE* log, SessionLogReader& reader,
                              int& error);

/// The whole program: parses the command line (see parseOptions) and runs
/// what it asks for. A wrong command line gives its one line and kTryHelpLine
/// on `err` and exit status 2, before any file is opened; --help and
/// --version print on `out` and give 0 (1 when `out` fails).
int runCommandLine(int argc, char* argv[], std::istream& console,
                   std::ostream& out, std::ostream& err);

/// A report or player list as `options` ask (their command is kReport or
/// kListPlayers): reads options.logFile in one pass; for a report, without
/// options.player prompts "Generate FILE for who: " and reads one word from
/// `console`, then writes that player's report to options.reportFile, or to
/// `out` when it is kStandardOutputName; --list writes the player list to
/// `out`. When `out` carries the report or the list, the prompt and the
/// messages go to `err` instead. Messages name the files given. Returns the
/// exit status:
/// - 0 when the log is missing or unreadable from its first byte (one line,
///   "Could not find FILE", nothing else happens), when `console` gives no
///   word (the report file is left as it was), and after a report or list was
///   written;
/// - 1 when reading the log fails part way, or the report or list cannot be
///   created or written (one line on `err` with the system's reason).
int runSessionStats(const Options& options, std::istream& console,
                    std::ostream& out, std::ostream& err);

}  // namespace sessionstats

#endif  // SESSION_STATS_APP_DRIVER_H_
