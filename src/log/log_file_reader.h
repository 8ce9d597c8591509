#ifndef SESSION_STATS_LOG_LOG_FILE_READER_H_
#define SESSION_STATS_LOG_LOG_FILE_READER_H_

#include <cstdio>
#include <string>
#include <string_view>

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

}  // namespace sessionstats

#endif  // SESSION_STATS_LOG_LOG_FILE_READER_H_
