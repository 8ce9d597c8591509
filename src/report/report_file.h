#ifndef SESSION_STATS_REPORT_REPORT_FILE_H_
#define SESSION_STATS_REPORT_REPORT_FILE_H_

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "base/status.h"
#include "os/report_file_system.h"

namespace sessionstats {

/// The report file name that stands for standard output.
inline constexpr std::string_view kStandardOutputName = "-";

/// Makes the file at `path` hold exactly what `write` puts into the stream it
/// is given, or leaves it as it was: readers, and other runs writing the same
/// file at the same time, see the old file or a whole new one, never a part.
/// On failure a kFailed status "could not write PATH" with the errno of the
/// first failure.
///
/// - A regular file, or no file at all, is replaced the atomic way: the bytes
///   go to a new temporary file `.ss-` and 8 random letters in the same
///   folder (a name that fits wherever the report's does), which is put on
///   the disk and renamed over `path` only when every write, the sync and
///   the close succeeded, and the folder is put on the disk after the
///   rename, so that a power cut leaves the old report or the new; on any
///   failure, and on an interrupt (see RemoveOnInterrupt), the temporary
///   file is removed.
/// - A symlink is followed (through chains and relative links) and the file
///   it ends at is replaced that way in its own folder, so the link keeps
///   working; a dangling link gets its target created.
/// - A file the process already has open is written through that descriptor,
///   at its position and with its flags (O_APPEND), never truncated or
///   replaced: a path that names a descriptor (/dev/stdout, /dev/stderr,
///   /dev/fd/N, /proc/self/fd/N, or a link to one), and any path to the file
///   standard output or standard error is open on. A descriptor that is not
///   open gives EBADF.
/// - Any other existing file that is not regular (a device such as
///   /dev/full, a FIFO) is opened and written in place, and nothing is
///   created beside it. A directory gives EISDIR.
/// - The replacement keeps the old file's permission bits. Run as root, it
///   gets the old file's owner and group first; set-user-ID and
///   set-group-ID are dropped when its owner or group still differ from the
///   old file's. A new file gets 0666 less the process's umask, which is
///   read by setting it for an instant: REQUIRES no other thread creates
///   files meanwhile.
/// If `write` throws, the exception passes through after the temporary file
/// is removed; the old file is kept.
///
/// On Windows, which has no symlinks to follow, no descriptors by name and
/// no permission bits: the temporary file is moved over the report with
/// MoveFileExW; a report that another program holds open (an editor, a
/// stream overlay) is tried again for about a second, then "could not write
/// PATH: another program has it open; close it and run again"; a read-only
/// report gives "could not write PATH: the file is read-only" and is not
/// touched; a device (NUL, CON) and the file standard output or standard
/// error goes to are written in place.
Status replaceReportFile(const std::string& path,
                         const std::function<void(std::ostream&)>& write);

/// replaceReportFile over the file operations `files`.
Status replaceReportFile(ReportFileSystem& files, const std::string& path,
                         const std::function<void(std::ostream&)>& write);

/// Whether a report written at `report` (see replaceReportFile), or on
/// standard output when `report` is kStandardOutputName, would land on the
/// regular file at `log`: the same file, by name, through links or hard
/// links, or through a descriptor that is open on it. False when either is
/// missing.
bool wouldOverwrite(const std::string& report, const std::string& log);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_REPORT_FILE_H_
