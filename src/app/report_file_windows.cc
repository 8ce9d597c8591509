#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>

#include "app/report_file.h"
#include "os/block_output.h"
#include "os/interrupt.h"

namespace sessionstats {
namespace {

// A report that another program holds open (an editor, a stream overlay
// reading it) cannot be replaced; such programs let go within moments, so
// the move is tried this many times, this far apart: about a second.
constexpr int kMoveAttempts = 20;
constexpr DWORD kMoveRetryMilliseconds = 50;
// Names already taken before giving up: with 36^8 names, only a folder that
// refuses every new name gets this far.
constexpr int kTempNameAttempts = 100;

constexpr DWORD kShareAll =
    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The errno that says best what a Windows error means.
int errnoOf(DWORD error) {
  struct Meaning {
    DWORD error;
    int errnoValue;
  };
  static constexpr Meaning kMeanings[] = {
      {ERROR_FILE_NOT_FOUND, ENOENT},
      {ERROR_PATH_NOT_FOUND, ENOENT},
      {ERROR_ACCESS_DENIED, EACCES},
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
  };
  for (const Meaning& meaning : kMeanings) {
    if (meaning.error == error) return meaning.errnoValue;
  }
  return EIO;
}

// `path` in UTF-16, as the file functions of Windows take names; empty when
// it is not text of the process's code page. The manifest makes that code
// page UTF-8; command lines and the C library's file functions use it too.
std::wstring widened(const std::string& path) {
  if (path.empty()) return {};
  const int size = static_cast<int>(path.size());
  const int units = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS,
                                        path.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  if (units > 0) {
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(), size,
                        wide.data(), units);
  }
  return wide;
}

// Owns an open file handle; closes it unless close() did.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

  // 0, or the Windows error of a failed close.
  DWORD close() {
    return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0
               ? 0
               : GetLastError();
  }

 private:
  HANDLE handle_;
};

// Hands the report's blocks to a file handle and keeps the Windows error of
// the first failed write.
class HandleStreamBuf final : public BlockOutputBuffer {
 public:
  explicit HandleStreamBuf(HANDLE file) : file_(file) {}

  DWORD error() const { return error_; }

 private:
  bool writeBlock(const char* data, std::size_t size) override {
    while (size > 0) {
      // Under InterruptAction::kNote the run goes on after an interrupt:
      // the report is abandoned.
      if (interrupted()) {
        error_ = ERROR_OPERATION_ABORTED;
        return false;
      }
      DWORD written = 0;
      if (WriteFile(file_, data, static_cast<DWORD>(size), &written, nullptr) ==
          0) {
        error_ = GetLastError();
        return false;
      }
      if (written == 0) {
        error_ = ERROR_WRITE_FAULT;  // no progress and no reason: do not spin
        return false;
      }
      data += written;
      size -= written;
    }
    return true;
  }

  HANDLE file_;
  DWORD error_ = 0;
};

// Runs `write` into `file` and writes out everything; 0 or the first error.
DWORD writeAll(HANDLE file, const std::function<void(std::ostream&)>& write) {
  HandleStreamBuf buffer(file);
  std::ostream out(&buffer);
  write(out);
  out.flush();
  if (buffer.error() != 0) return buffer.error();
  return out ? 0 : ERROR_WRITE_FAULT;
}

// Whether `a` and `b` are open on the same file.
bool sameFile(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION first{};
  BY_HANDLE_FILE_INFORMATION second{};
  return GetFileInformationByHandle(a, &first) != 0 &&
         GetFileInformationByHandle(b, &second) != 0 &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

// The standard output or standard error handle that is open on the same
// file as `file`, or nullptr: that file is written through it, at its
// position, never replaced.
HANDLE standardStreamOn(HANDLE file) {
  for (const DWORD stream : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    const HANDLE handle = GetStdHandle(stream);
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr &&
        sameFile(handle, file)) {
      return handle;
    }
  }
  return nullptr;
}

// The file at `path`, opened only to learn which file it is.
HANDLE openToCompare(const std::string& path) {
  return CreateFileW(widened(path).c_str(), 0, kShareAll, nullptr,
                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool isHeldOpen(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

// The letters of the temporary file's name: Windows does not tell upper
// from lower case.
constexpr std::string_view kTempLetters =
    "abcdefghijklmnopqrstuvwxyz0123456789";

// A new temporary file beside the report, removed again unless moved, and by
// an interrupt while it lives.
class TempFile {
 public:
  // Makes the file in the folder of `report`; 0 or the Windows error.
  DWORD create(const std::string& report) {
    const std::size_t slash = report.find_last_of("\\/:");
    const std::string folder = slash == std::string::npos
                                   ? std::string()
                                   : report.substr(0, slash + 1);
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, kTempLetters.size() - 1);
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
      std::string name = folder + std::string(kTempPrefix);
      for (std::size_t i = 0; i < kTempRandomLetters; ++i) {
        name += kTempLetters[pick(random)];
      }
      guard_.emplace(std::move(name));
      wideName_ = widened(guard_->path());
      // Others may read it, and delete it: an interrupt removes it while it
      // is open.
      file_ = CreateFileW(wideName_.c_str(), GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file_ != INVALID_HANDLE_VALUE) return 0;
      const DWORD error = GetLastError();
      guard_.reset();
      if (error != ERROR_FILE_EXISTS) return error;
    }
    return ERROR_FILE_EXISTS;
  }

  HANDLE handle() const { return file_; }

  DWORD close() {
    return CloseHandle(std::exchange(file_, INVALID_HANDLE_VALUE)) != 0
               ? 0
               : GetLastError();
  }

  // Moves the written file over `target`, trying again while another
  // program holds the target open; 0 or the Windows error.
  DWORD moveTo(const std::wstring& target) {
    DWORD error = 0;
    for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
      if (attempt > 0) Sleep(kMoveRetryMilliseconds);
      // Under InterruptAction::kNote the run goes on after an interrupt,
      // which has removed the file already: the old report stays.
      if (interrupted()) return ERROR_OPERATION_ABORTED;
      if (MoveFileExW(wideName_.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
          0) {
        moved_ = true;
        return 0;
      }
      error = GetLastError();
      if (!isHeldOpen(error)) break;
    }
    return error;
  }

  TempFile() = default;
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    if (guard_ && !moved_) DeleteFileW(wideName_.c_str());
  }

 private:
  std::optional<RemoveOnInterrupt> guard_;
  std::wstring wideName_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  bool moved_ = false;
};

}  // namespace

Status replaceReportFile(const std::string& path,
                         const std::function<void(std::ostream&)>& write) {
  const std::string what = "could not write " + path;
  const std::wstring target = widened(path);
  if (target.empty()) return Status::failed(what, EINVAL);

  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return Status::failed(what, EISDIR);
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      return Status::failed(what + ": the file is read-only");
    }
  }
  // A device (NUL, CON) is written in place, the file standard output or
  // standard error goes to through that stream: nothing is created beside
  // them.
  {
    FileHandle existing(CreateFileW(target.c_str(), GENERIC_WRITE, kShareAll,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
    if (existing.valid()) {
      if (const HANDLE stream = standardStreamOn(existing.get())) {
        std::fflush(nullptr);  // what the C library holds for it goes first
        const DWORD error = writeAll(stream, write);
        return error == 0 ? Status() : Status::failed(what, errnoOf(error));
      }
      if (GetFileType(existing.get()) != FILE_TYPE_DISK) {
        DWORD error = writeAll(existing.get(), write);
        const DWORD closeError = existing.close();
        if (error == 0) error = closeError;
        return error == 0 ? Status() : Status::failed(what, errnoOf(error));
      }
    }
  }

  TempFile temp;
  if (const DWORD error = temp.create(path)) {
    return Status::failed(what, errnoOf(error));
  }
  if (const DWORD error = writeAll(temp.handle(), write)) {
    return Status::failed(what, errnoOf(error));
  }
  if (const DWORD error = temp.close()) {
    return Status::failed(what, errnoOf(error));
  }
  const DWORD error = temp.moveTo(target);
  if (error == 0) return Status();
  if (isHeldOpen(error)) {
    return Status::failed(
        what + ": another program has it open; close it and run again");
  }
  return Status::failed(what, errnoOf(error));
}

bool wouldOverwrite(const std::string& report, const std::string& log) {
  const FileHandle logFile(openToCompare(log));
  if (!logFile.valid() || GetFileType(logFile.get()) != FILE_TYPE_DISK) {
    return false;
  }
  if (report == kStandardOutputName) {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    return output != INVALID_HANDLE_VALUE && output != nullptr &&
           sameFile(output, logFile.get());
  }
  const FileHandle reportFile(openToCompare(report));
  return reportFile.valid() && sameFile(reportFile.get(), logFile.get());
}

}  // namespace sessionstats
