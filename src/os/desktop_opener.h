#ifndef SESSION_STATS_OS_DESKTOP_OPENER_H_
#define SESSION_STATS_OS_DESKTOP_OPENER_H_

#include <string>

#include "os/status.h"

namespace sessionstats {

/// The environment variable that names a program to open files with in
/// place of the desktop's handler: it is started with the file's path as
/// its one argument (tests record the path instead of starting a browser).
inline constexpr char kOpenerVariable[] = "SESSION_STATS_OPENER";

/// Starts the desktop's handler for the file at `path` (xdg-open; the "open"
/// verb on Windows), or the program of kOpenerVariable, without waiting for
/// it; fails with the errno of why it did not start.
Status openWithDesktop(const std::string& path);

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_DESKTOP_OPENER_H_
