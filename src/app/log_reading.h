#ifndef SESSION_STATS_APP_LOG_READING_H_
#define SESSION_STATS_APP_LOG_READING_H_

#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>

#include "app/options.h"
#include "log/session_log_reader.h"
#include "os/status.h"

namespace sessionstats {

/// Streams `log` to its end through the line splitter into `reader`, in
/// blocks, so memory does not grow with the log. When the first read fails
/// before any byte (a directory opened as a file, for one), a kNotFound
/// status; when a later read fails, a kFailed one, after every line read
/// before the failure has been given to `reader`. Both carry the read's errno
/// and say "could not read NAME", `name` naming the log.
///
/// A second thread reads the file and parses its lines ahead of the reader,
/// through an ordered pipeline (see runOrderedPipeline): the reader gets
/// every line on the calling thread, in order, as from a single thread. An
/// exception from either thread (out of memory) stops both and reaches the
/// caller.
Status readSessionLog(std::FILE* log, std::string_view name,
                      SessionLogReader& reader);

/// Opens the log at `path` and reads it as above; a log that cannot be opened
/// gives the kNotFound status with the errno of the open.
Status readSessionLog(const std::string& path, SessionLogReader& reader);

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
