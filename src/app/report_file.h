#ifndef SESSION_STATS_APP_REPORT_FILE_H_
#define SESSION_STATS_APP_REPORT_FILE_H_

#include <functional>
#include <ostream>
#include <string>

#include "app/status.h"

namespace sessionstats {

/// Makes the file at `path` hold exactly what `write` puts into the stream it
/// is given, or leaves it as it was: readers, and other runs writing the same
/// file at the same time, see the old file or a whole new one, never a part.
/// Else a kFailed status "could not write PATH" with the errno of the first
/// failure.
///
/// - A regular file, or no file at all, is replaced the atomic way: the bytes
///   go to a new temporary file `<path>.XXXXXX` in the same folder, which is
///   renamed over `path` only when every write and its close succeeded; on
///   any failure the temporary file is removed.
/// - A symlink is followed (through chains and relative links) and the file
///   it ends at is replaced that way in its own folder, so the link keeps
///   working; a dangling link gets its target created.
/// - An existing file that is not regular (a device such as /dev/full, a
///   FIFO, /dev/stdout) is opened and written in place, and nothing is
///   created beside it. A directory gives EISDIR.
/// - The replacement keeps the old file's permission bits; a new file gets
///   0666 less the process's umask, which is read by setting it for an
///   instant: REQUIRES no other thread creates files meanwhile.
/// If `write` throws, the exception passes through after the temporary file
/// is removed; the old file is kept.
Status replaceReportFile(const std::string& path,
                         const std::function<void(std::ostream&)>& write);

}  // namespace sessionstats

#endif  // SESSION_STATS_APP_REPORT_FILE_H_
