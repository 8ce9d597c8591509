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

  const Status& status() const { return status_; }

 private:
  std::streamsize xsputn(const char* data, std::streamsize size) override {
    if (status_.ok() && size > 0) {
      status_ = files_.write(handle_, data, static_cast<std::size_t>(size));
    }
    return status_.ok() ? size : 0;
  }
  int_type overflow(int_type byte) override {
    if (traits_type::eq_int_type(byte, traits_type::eof())) return 0;
    const char c = traits_type::to_char_type(byte);
    return xsputn(&c, 1) == 1 ? byte : traits_type::eof();
  }

  ReportFileSystem& files_;
  FileHandle handle_;
  Status status_;
};

// Runs `write` into `handle` and writes out everything; the first failure.
Status writeAll(ReportFileSystem& files, FileHandle handle,
                const std::function<void(std::ostream&)>& write) {
  FileBuffer buffer(files, handle);
  std::ostream out(&buffer);
  write(out);
  out.flush();
  if (!buffer.status().ok()) return buffer.status();
  return Status::ofErrno(out ? 0 : EIO);
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
  // Ok when already closed.
  Status close() {
    return handle_ == kClosed ? Status()
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
  Status create(const std::string& target) {
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
      Status created = files_.create(guard_->path(), file_.handle());
      if (created.ok()) return created;
      // The name is not ours: neither an interrupt nor the destructor may
      // remove what another program made under it.
      guard_.reset();
      if (created.error() != EEXIST) return created;
    }
    return Status::ofErrno(EEXIST);
  }

  FileHandle handle() { return file_.handle(); }
  Status close() { return file_.close(); }

  // Puts the written file in the place of `target`.
  Status renameTo(const std::string& target) {
    // Under InterruptAction::kNote the run goes on after an interrupt, which
    // may have removed the file already: the old report stays.
    if (interrupted()) return Status::ofErrno(EINTR);
    Status renamed = files_.rename(guard_->path(), target);
    renamed_ = renamed.ok();
    return renamed;
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
Status replaceByRename(ReportFileSystem& files, const std::string& target,
                       const std::function<void(std::ostream&)>& write) {
  TempFile temp(files);
  Status status = temp.create(target);
  if (status.ok()) status = writeAll(files, temp.handle(), write);
  // The permissions come after the bytes: a write by anyone but root clears
  // set-user-ID and set-group-ID.
  if (status.ok()) status = files.adoptPermissions(temp.handle(), target);
  if (status.ok()) status = files.syncData(temp.handle());
  if (status.ok()) status = temp.close();
  if (status.ok()) status = temp.renameTo(target);
  if (status.ok()) status = files.syncFolder(target);
  return status;
}

Status writeReportFile(ReportFileSystem& files, const std::string& path,
                       const std::function<void(std::ostream&)>& write) {
  ReportTarget target;
  if (Status located = files.locate(path, target); !located.ok()) {
    return located;
  }
  switch (target.kind) {
    case ReportTarget::Kind::kThrough:
      return writeAll(files, target.handle, write);
    case ReportTarget::Kind::kInPlace: {
      OpenFile file(files);
      file.handle() = target.handle;
      Status written = writeAll(files, target.handle, write);
      Status closed = file.close();
      return written.ok() ? closed : written;
    }
    case ReportTarget::Kind::kReplace:
      break;
  }
  return replaceByRename(files, target.path, write);
}

}  // namespace

Status replaceReportFile(ReportFileSystem& files, const std::string& path,
                         const std::function<void(std::ostream&)>& write) {
  return writeReportFile(files, path, write).within("could not write " + path);
}

Status replaceReportFile(const std::string& path,
                         const std::function<void(std::ostream&)>& write) {
  return replaceReportFile(platformFileSystem(), path, write);
}

bool wouldOverwrite(const std::string& report, const std::string& log) {
  FileIdentity reportFile;
  FileIdentity logFile;
  const Status reportLooked = report == kStandardOutputName
                                  ? identifyOpenFile(stdout, reportFile)
                                  : identifyPath(report, reportFile);
  return reportLooked.ok() && identifyPath(log, logFile).ok() &&
         logFile.regular && reportFile.sameFileAs(logFile);
}

}  // namespace sessionstats
