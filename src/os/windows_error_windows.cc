#include <windows.h>

#include <cerrno>

#include "os/windows_error.h"

namespace sessionstats {
namespace {

struct Meaning {
  DWORD error;
  int errnoValue;
};

// Another program holding a file is EACCES, as a refused permission is: the
// user can do something about either.
constexpr Meaning kMeanings[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},
    {ERROR_PATH_NOT_FOUND, ENOENT},
    {ERROR_ACCESS_DENIED, EACCES},
    {ERROR_SHARING_VIOLATION, EACCES},
    {ERROR_LOCK_VIOLATION, EACCES},
    {ERROR_DISK_FULL, ENOSPC},
    {ERROR_HANDLE_DISK_FULL, ENOSPC},
    {ERROR_INVALID_NAME, EINVAL},
    {ERROR_BAD_PATHNAME, EINVAL},
    {ERROR_DIRECTORY, ENOTDIR},
    {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
    {ERROR_WRITE_PROTECT, EROFS},
    {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
    {ERROR_OUTOFMEMORY, ENOMEM},
    {ERROR_OPERATION_ABORTED, EINTR},
    {ERROR_INVALID_HANDLE, EBADF},
};

}  // namespace

int errnoOfWindowsError(unsigned long error) {
  for (const Meaning& meaning : kMeanings) {
    if (meaning.error == error) return meaning.errnoValue;
  }
  return EIO;
}

}  // namespace sessionstats
