#include "report/report_file.h"

#include <cerrno>
#include <cstddef>
#include <optional>
#include <random>
#include <streambuf>
#include <string_view>
#include <utility>

#include "os/file_identity.h"
#include "os/interrupt.h"

namespace sessionstats {
namespace {

// The temporary file beside a report being written is named kTempPrefix
// and kTempRandomLetters random letters: 12 bytes, which fit in any folder
// that holds files at all (every file system takes names of 14), however
// long the report's name.
constexpr std::string_view kTempPrefix = ".ss-";
constexpr std::size_t kTempRandomLetters = 8;

// Names already taken before giving up with EEXIST: with 36^8 names or more,
// only a folder that refuses every new name gets this far.
constexpr int kMaxTempAttempts = 100;

// Hands what the stream is given straight to the file, the writers having
// gathered it in chunks of their own (TextBuffer), and keeps the error of
// the first failed write, which a file stream of the standard library would
// not say. After that failure it writes nothing more, and the stream fails.
class FileBuffer final : public std::streambuf {
 public:
  FileBuffer(ReportFileSystem& files, FileHandle handle)
      : files_(files), handle_(handle) {}

  int error() const { return error_; }

 private:
  std::streamsize xsputn(const char* data, std::streamsize size) override {
    if (error_ == 0 && size > 0) {
      error_ = files_.write(handle_, data, static_cast<std::size_t>(size));
    }
    return error_ == 0 ? size : 0;
  }
  int_type overflow(int_type byte) override {
    if (traits_type::eq_int_type(byte, traits_type::eof())) return 0;
    const char c = traits_type::to_char_type(byte);
    return xsputn(&c, 1) == 1 ? byte : traits_type::eof();
  }

  ReportFileSystem& files_;
  FileHandle handle_;
  int error_ = 0;
};

// Runs `write` into `handle` and writes out everything; 0 or the first error.
int writeAll(ReportFileSystem& files, FileHandle handle,
             const std::function<void(std::ostream&)>& write) {
  FileBuffer buffer(files, handle);
  std::ostream out(&buffer);
  write(out);
  out.flush();
  if (buffer.error() != 0) return buffer.error();
  return out ? 0 : EIO;
}

// An open file of the report's that is closed, whatever happens, unless
// close() did.
class OpenFile {
 public:
  explicit OpenFile(ReportFileSystem& files) : files_(files) {}
  ~OpenFile() {
    if (handle_ != kClosed) files_.close(handle_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  FileHandle& handle() { return handle_; }
  // 0 when already closed.
  int close() {
    return handle_ == kClosed ? 0
                              : files_.close(std::exchange(handle_, kClosed));
  }

 private:
  static constexpr FileHandle kClosed = -1;
  ReportFileSystem& files_;
  FileHandle handle_ = kClosed;
};

// A new temporary file beside a target, removed again unless it was renamed,
// and by an interrupt while it lives.
class TempFile {
 public:
  explicit TempFile(ReportFileSystem& files) : files_(files), file_(files) {}
  ~TempFile() {
    if (guard_ && !renamed_) {
      file_.close();
      files_.remove(guard_->path());
    }
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Makes the file: kTempPrefix and random letters, in the folder of
  // `target`.
  int create(const std::string& target) {
    const std::string folder = files_.folderOf(target);
    const std::string_view letters = files_.nameLetters();
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, letters.size() - 1);
    for (int attempt = 0; attempt < kMaxTempAttempts; ++attempt) {
      std::string name = folder + std::string(kTempPrefix);
      for (std::size_t i = 0; i < kTempRandomLetters; ++i) {
        name += letters[pick(random)];
      }
      guard_.emplace(std::move(name));
      const int error = files_.create(guard_->path(), file_.handle());
      if (error == 0) return 0;
      // The name is not ours: neither an interrupt nor the destructor may
      // remove what another program made under it.
      guard_.reset();
      if (error != EEXIST) return error;
    }
    return EEXIST;
  }

  FileHandle handle() { return file_.handle(); }
  int close() { return file_.close(); }

  // Puts the written file in the place of `target`.
  int renameTo(const std::string& target) {
    // Under InterruptAction::kNote the run goes on after an interrupt, which
    // may have removed the file already: the old report stays.
    if (interrupted()) return EINTR;
    const int error = files_.rename(guard_->path(), target);
    renamed_ = error == 0;
    return error;
  }

 private:
  ReportFileSystem& files_;
  OpenFile file_;
  std::optional<RemoveOnInterrupt> guard_;
  bool renamed_ = false;
};

// Replaces the regular file, or no file, at `target` by a temporary file
// that is on the disk before it is renamed, in a folder that is on the disk
// after.
int replaceByRename(ReportFileSystem& files, const std::string& target,
                    const std::function<void(std::ostream&)>& write) {
  TempFile temp(files);
  int error = temp.create(target);
  if (error == 0) error = writeAll(files, temp.handle(), write);
  // The permissions come after the bytes: a write by anyone but root clears
  // set-user-ID and set-group-ID.
  if (error == 0) error = files.adoptPermissions(temp.handle(), target);
  if (error == 0) error = files.syncData(temp.handle());
  if (error == 0) error = temp.close();
  if (error == 0) error = temp.renameTo(target);
  if (error == 0) error = files.syncFolder(target);
  return error;
}

int writeReportFile(ReportFileSystem& files, const std::string& path,
                    const std::function<void(std::ostream&)>& write) {
  ReportTarget target;
  if (const int error = files.locate(path, target)) return error;
  switch (target.kind) {
    case ReportTarget::Kind::kThrough:
      return writeAll(files, target.handle, write);
    case ReportTarget::Kind::kInPlace: {
      OpenFile file(files);
      file.handle() = target.handle;
      const int error = writeAll(files, target.handle, write);
      const int closeError = file.close();
      return error != 0 ? error : closeError;
    }
    case ReportTarget::Kind::kReplace:
      break;
  }
  return replaceByRename(files, target.path, write);
}

}  // namespace

Status replaceReportFile(ReportFileSystem& files, const std::string& path,
                         const std::function<void(std::ostream&)>& write) {
  const int error = writeReportFile(files, path, write);
  const std::string what = "could not write " + path;
  switch (error) {
    case 0:
      return Status();
    case kErrorHeldOpen:
      return Status::failed(
          what + ": another program has it open; close it and run again");
    case kErrorReadOnly:
      return Status::failed(what + ": the file is read-only");
    default:
      return Status::failed(what, error);
  }
}

Status replaceReportFile(const std::string& path,
                         const std::function<void(std::ostream&)>& write) {
  return replaceReportFile(platformFileSystem(), path, write);
}

bool wouldOverwrite(const std::string& report, const std::string& log) {
  FileIdentity reportFile;
  FileIdentity logFile;
  const int reportError = report == kStandardOutputName
                              ? identifyOpenFile(stdout, reportFile)
                              : identifyPath(report, reportFile);
  return reportError == 0 && identifyPath(log, logFile) == 0 &&
         logFile.regular && reportFile.sameFileAs(logFile);
}

}  // namespace sessionstats
