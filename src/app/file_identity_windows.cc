#include <io.h>
#include <windows.h>

#include <cerrno>

#include "app/file_identity.h"

namespace sessionstats {
namespace {

// The C library's stat gives no file index on Windows: the file system is
// asked through a handle.
int identityOf(HANDLE handle, FileIdentity& identity) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(handle, &info) == 0) return EIO;
  identity.device = info.dwVolumeSerialNumber;
  identity.file =
      (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  identity.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  return 0;
}

}  // namespace

int identifyPath(const std::string& path, FileIdentity& identity) {
  // No access asked for: a file others hold open is looked at all the same.
  const HANDLE handle = CreateFileA(
      path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
               ? ENOENT
           : error == ERROR_ACCESS_DENIED ? EACCES
                                          : EIO;
  }
  const int error = identityOf(handle, identity);
  CloseHandle(handle);
  return error;
}

int identifyOpenFile(std::FILE* file, FileIdentity& identity) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (handle == INVALID_HANDLE_VALUE) return EBADF;
  return identityOf(handle, identity);
}

}  // namespace sessionstats
