#include "live/log_tail.h"

#include <cerrno>
#include <utility>

#include "os/file_identity.h"

namespace sessionstats {
namespace {

// What a client appends at once is a line or two; only the first read of a
// long log fills whole blocks.
constexpr std::size_t kTailBlockSize = std::size_t{1} << 16;

bool isGone(int error) { return error == ENOENT || error == ENOTDIR; }

}  // namespace

LogTail::LogTail(std::string path)
    : path_(std::move(path)), block_(new char[kTailBlockSize]) {}

LogTail::~LogTail() { close(); }

void LogTail::close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool LogTail::open() {
  close();
  splitter_ = LogLineSplitter();
  offset_ = 0;
  file_ = openSharedForReading(path_);
  if (file_ == nullptr) {
    error_ = errno;
    return false;
  }
  // The blocks are read straight into block_; a stream buffer would only
  // copy them once more.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  if ((error_ = identifyOpenFile(file_, identity_)) != 0) {
    close();
    return false;
  }
  return true;
}

TailCheck LogTail::check() {
  error_ = 0;
  if (file_ == nullptr) {
    if (!open())
      return isGone(error_) ? TailCheck::kMissing : TailCheck::kFailed;
    const bool again = seenAny_;
    seenAny_ = true;
    return again ? TailCheck::kRestart : TailCheck::kSame;
  }
  FileIdentity there;
  if ((error_ = identifyPath(path_, there)) != 0) {
    if (!isGone(error_)) return TailCheck::kFailed;
    close();
    return TailCheck::kMissing;
  }
  if (!there.sameFileAs(identity_)) {
    if (!open())
      return isGone(error_) ? TailCheck::kMissing : TailCheck::kFailed;
    return TailCheck::kRestart;
  }
  FileIdentity opened;
  if ((error_ = identifyOpenFile(file_, opened)) != 0) {
    return TailCheck::kFailed;
  }
  if (opened.size >= offset_) {
    return TailCheck::kSame;
  }
  // Truncated: read it again from the start, as a file of its own.
  if (!open()) return isGone(error_) ? TailCheck::kMissing : TailCheck::kFailed;
  return TailCheck::kRestart;
}

bool LogTail::readBlock(std::size_t& got) {
  got = std::fread(block_.get(), 1, kTailBlockSize, file_);
  offset_ += got;
  if (got == kTailBlockSize) return true;
  if (std::ferror(file_)) error_ = errno != 0 ? errno : EIO;
  // The end of the file so far: what is appended later is read once the
  // end-of-file mark is cleared. A seek clears it in Windows' C runtime too,
  // which otherwise keeps reading nothing.
  std::clearerr(file_);
  std::fseek(file_, 0, SEEK_CUR);
  return false;
}

}  // namespace sessionstats
