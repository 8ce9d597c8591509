#ifndef SESSION_STATS_APP_LOG_READING_H_
#define SESSION_STATS_APP_LOG_READING_H_

#include <ostream>
#include <string>

#include "app/options.h"
#include "log/session_log_reader.h"
#include "os/status.h"

namespace sessionstats {

/// Whether the logs of `options` can be read as it asks, before any is: a
/// usage status when two of them (by name, link, hard link, or standard
/// input open on it) are the same file, which would count its matches
/// twice; and under --follow, when the log is neither a regular file nor a
/// folder (a FIFO, a pipe, a device), which may block with no end that an
/// interrupt reaches. A log that is missing or cannot be looked at passes:
/// its reading says why.
Status checkLogFiles(const Options& options);

/// The status of a log at `path` that could not be read from its first
/// byte, after "Could not find PATH" on `talk`: where the tool looked for a
/// missing log, that a directory is one, or else `status` itself.
Status logNotFound(const std::string& path, const Status& status,
                   std::ostream& talk);

/// Reads the logs of `options` in order, as one history, into `reader`,
/// which is left with the aliases of all of them. A log missing from its
/// first byte gives logNotFound's status; any other failure a kFailed one.
Status loadLogs(const Options& options, SessionLogReader& reader,
                std::ostream& talk);

}  // namespace sessionstats

#endif  // SESSION_STATS_APP_LOG_READING_H_
