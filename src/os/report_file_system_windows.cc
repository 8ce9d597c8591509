// Every name goes to Windows as it is, through the narrow file functions:
// the manifest makes their code page UTF-8.
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "os/file_identity.h"
#include "os/interrupt.h"
#include "os/report_file_system.h"
#include "os/windows_error.h"

namespace sessionstats {
namespace {

// A report that another program holds open (an editor, a stream overlay
// reading it) cannot be replaced; such programs let go within moments, so
// the move is tried this many times, this far apart: about a second.
constexpr int kMoveAttempts = 20;
constexpr DWORD kMoveRetryMilliseconds = 50;

constexpr DWORD kShareAll =
    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE handleOf(FileHandle handle) { return reinterpret_cast<HANDLE>(handle); }
FileHandle handleOf(HANDLE handle) {
  return reinterpret_cast<FileHandle>(handle);
}

Status lastError() {
  return Status::ofErrno(errnoOfWindowsError(GetLastError()));
}

// `done` (a call's success), or the error of its failure.
Status checked(bool done) { return done ? Status() : lastError(); }

bool isHeldOpen(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

// The standard output or standard error handle that is open on the file at
// `path`, or nullptr.
HANDLE standardStreamOn(const std::string& path) {
  FileIdentity file;
  if (!identifyPath(path, file).ok()) return nullptr;
  for (std::FILE* const stream : {stdout, stderr}) {
    FileIdentity identity;
    if (identifyOpenFile(stream, identity).ok() && identity.sameFileAs(file)) {
      return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    }
  }
  return nullptr;
}

class WindowsFileSystem final : public ReportFileSystem {
 public:
  // A device (NUL, CON) is written in place, the file standard output or
  // standard error goes to through that stream: nothing is created beside
  // them.
  Status locate(const std::string& path, ReportTarget& target) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Status::ofErrno(EISDIR);
      }
      if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return Status::failed("the file is read-only");
      }
    }
    target = {ReportTarget::Kind::kReplace, path, -1};
    const HANDLE existing = CreateFileA(path.c_str(), GENERIC_WRITE, kShareAll,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    if (existing == INVALID_HANDLE_VALUE) return Status();
    if (const HANDLE stream = standardStreamOn(path)) {
      CloseHandle(existing);
      std::fflush(nullptr);  // what the C library holds for it goes first
      target = {ReportTarget::Kind::kThrough, {}, handleOf(stream)};
    } else if (GetFileType(existing) != FILE_TYPE_DISK) {
      target = {ReportTarget::Kind::kInPlace, {}, handleOf(existing)};
    } else {
      CloseHandle(existing);
    }
    return Status();
  }

  std::string folderOf(const std::string& path) override {
    return path.substr(0, path.find_last_of("\\/:") + 1);
  }

  // Windows does not tell upper from lower case.
  std::string_view nameLetters() override {
    return "abcdefghijklmnopqrstuvwxyz0123456789";
  }

  // Others may read the file, and delete it: an interrupt removes it while
  // it is open.
  Status create(const std::string& path, FileHandle& handle) override {
    const HANDLE file = CreateFileA(
        path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      return GetLastError() == ERROR_FILE_EXISTS ? Status::ofErrno(EEXIST)
                                                 : lastError();
    }
    handle = handleOf(file);
    return Status();
  }

  // Windows files here have no permission bits to keep.
  Status adoptPermissions(FileHandle /*handle*/,
                          const std::string& /*target*/) override {
    return Status();
  }

  Status write(FileHandle handle, const char* data, std::size_t size) override {
    while (size > 0) {
      // Under InterruptAction::kNote the run goes on after an interrupt:
      // the report is abandoned.
      if (interrupted()) return Status::ofErrno(EINTR);
      DWORD written = 0;
      if (WriteFile(handleOf(handle), data, static_cast<DWORD>(size), &written,
                    nullptr) == 0) {
        return lastError();
      }
      // No progress and no reason: do not spin.
      if (written == 0) return Status::ofErrno(EIO);
      data += written;
      size -= written;
    }
    return Status();
  }

  Status syncData(FileHandle handle) override {
    return checked(FlushFileBuffers(handleOf(handle)) != 0);
  }

  Status close(FileHandle handle) override {
    return checked(CloseHandle(handleOf(handle)) != 0);
  }

  // Tried again while another program holds the target open.
  Status rename(const std::string& from, const std::string& to) override {
    for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
      if (attempt > 0) Sleep(kMoveRetryMilliseconds);
      // Under InterruptAction::kNote the run goes on after an interrupt,
      // which has removed the file already: the old report stays.
      if (interrupted()) return Status::ofErrno(EINTR);
      if (MoveFileExA(from.c_str(), to.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
          0) {
        return Status();
      }
      const DWORD error = GetLastError();
      if (!isHeldOpen(error))
        return Status::ofErrno(errnoOfWindowsError(error));
    }
    return Status::failed(
        "another program has it open; close it and run again");
  }

  // MOVEFILE_WRITE_THROUGH returns once the move is on the disk.
  Status syncFolder(const std::string& /*path*/) override { return Status(); }

  void remove(const std::string& path) override { DeleteFileA(path.c_str()); }
};

}  // namespace

ReportFileSystem& platformFileSystem() {
  static WindowsFileSystem fileSystem;
  return fileSystem;
}

}  // namespace sessionstats
