#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>

#include "os/file_identity.h"
#include "os/windows_error.h"

namespace sessionstats {
namespace {

// Every other program may read, write, rename and delete the file meanwhile.
constexpr DWORD kShareAll =
    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The C library's stat gives no file index on Windows: the file system is
// asked through a handle.
Status identityOf(HANDLE handle, FileIdentity& identity) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(handle, &info) == 0) {
    return Status::ofErrno(EIO);
  }
  identity.device = info.dwVolumeSerialNumber;
  identity.file =
      (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  identity.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  identity.regular = GetFileType(handle) == FILE_TYPE_DISK &&
                     (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  return Status();
}

}  // namespace

Status identifyPath(const std::string& path, FileIdentity& identity) {
  // No access asked for: a file others hold open is looked at all the same.
  const HANDLE handle =
      CreateFileA(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return Status::ofErrno(errnoOfWindowsError(GetLastError()));
  }
  Status looked = identityOf(handle, identity);
  CloseHandle(handle);
  return looked;
}

std::FILE* openSharedForReading(const std::string& path) {
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, kShareAll,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = errnoOfWindowsError(GetLastError());
    return nullptr;
  }
  const int descriptor = _open_osfhandle(
      reinterpret_cast<std::intptr_t>(handle), _O_RDONLY | _O_BINARY);
  if (descriptor == -1) {
    CloseHandle(handle);
    errno = EMFILE;
    return nullptr;
  }
  std::FILE* file = _fdopen(descriptor, "rb");
  if (file == nullptr) _close(descriptor);
  return file;
}

Status identifyOpenFile(std::FILE* file, FileIdentity& identity) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (handle == INVALID_HANDLE_VALUE) return Status::ofErrno(EBADF);
  return identityOf(handle, identity);
}

}  // namespace sessionstats
