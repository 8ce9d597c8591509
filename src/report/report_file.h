#ifndef SESSION_STATS_REPORT_REPORT_FILE_H_
#define SESSION_STATS_REPORT_REPORT_FILE_H_

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "os/report_file_system.h"
#include "os/status.h"

namespace sessionstats {

/// The report file name that stands for standard output.
inline constexpr std::string_view kStandardOutputName = "-";

/// Makes the file at `path` hold exactly what `write` puts into the stream it
/// is given, or leaves it as it was: readers, and other runs writing the same
/// file, see the old file or a whole new one, never a part. A regular file,
/// or none, or the file a symlink ends at, is replaced by a temporary file
/// beside it (".ss-" and 8 random letters, removed on failure and on an
/// interrupt) that is renamed over it once written and on the disk, keeping
/// the old file's permissions. A file the process has open (standard
/// output, /dev/fd/N) is written through that descriptor, a device or a FIFO
/// in place; a directory gives EISDIR. On Windows the file is moved with
/// MoveFileExA, and a report another program holds open is tried again for
/// about a second. On failure "could not write PATH" and the first step's
/// failure (see ReportFileSystem). If `write` throws, the exception passes
/// through and the old file is kept. REQUIRES: no other thread creates files
/// meanwhile (a new file's mode reads the umask by setting it).
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
