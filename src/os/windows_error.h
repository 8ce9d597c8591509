#ifndef SESSION_STATS_OS_WINDOWS_ERROR_H_
#define SESSION_STATS_OS_WINDOWS_ERROR_H_

namespace sessionstats {

/// The errno that says best what the Windows error `error` (a DWORD from
/// GetLastError) means; EIO for one it does not know. Windows only.
int errnoOfWindowsError(unsigned long error);

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_WINDOWS_ERROR_H_
