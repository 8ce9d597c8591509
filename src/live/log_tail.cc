#include "live/log_tail.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace sessionstats {
namespace {

// What a client appends at once is a line or two; only the first read of a
// long log fills whole blocks.
constexpr std::size_t kTailBlockSize = std::size_t{1} << 16;

bool isGone(int error) { return error == ENOENT || error == ENOTDIR; }

}  // namespace

LogTail::LogTail(std::string path)
    : path_(std::move(path)), block_(new char[kTailBlockSize]) {}

TailCheck LogTail::open() {
  file_.reset();
  splitter_ = LogLineSplitter();
  offset_ = 0;
  markSize_ = 0;
  file_.reset(openSharedForReading(path_));
  if (file_ == nullptr) {
    error_ = errno;
    return isGone(error_) ? TailCheck::kMissing : TailCheck::kFailed;
  }
  // The blocks are read straight into block_; a stream buffer would only
  // copy them once more.
  std::setvbuf(file_.get(), nullptr, _IONBF, 0);
  error_ = identifyOpenFile(file_.get(), identity_).error();
  if (error_ == 0 && !identity_.regular) {
    // A FIFO or a device may make a read wait for ever or never end: it is
    // no log yet. A folder is no log at all.
    file_.reset();
    std::error_code failed;
    if (!std::filesystem::is_directory(path_, failed)) {
      return TailCheck::kMissing;
    }
    error_ = EISDIR;
  }
  if (error_ != 0) {
    file_.reset();
    return TailCheck::kFailed;
  }
  return std::exchange(seenAny_, true) ? TailCheck::kRestart : TailCheck::kSame;
}

TailCheck LogTail::check() {
  error_ = 0;
  if (file_ != nullptr) {
    FileIdentity there;
    if ((error_ = identifyPath(path_, there).error()) != 0) {
      if (!isGone(error_)) return TailCheck::kFailed;
      file_.reset();
      return TailCheck::kMissing;
    }
    if (there.sameFileAs(identity_)) {
      FileIdentity opened;
      if ((error_ = identifyOpenFile(file_.get(), opened).error()) != 0) {
        return TailCheck::kFailed;
      }
      // Its size cannot tell a file written anew past what was read (cp over
      // it) from one that grew; the bytes before the offset can.
      if (opened.size >= offset_ && markStillThere()) return TailCheck::kSame;
    }
  }
  return open();
}

bool LogTail::markStillThere() {
  // The stream has no buffer, so it stands at offset_: a step back of a few
  // hundred bytes fits any long, where offset_ itself may not (Windows). A
  // step or a read that fails (truncated since it was looked at, a failing
  // disk) counts as a change: the reading from the start tells which.
  std::array<char, kMarkSize> now{};
  return std::fseek(file_.get(), -static_cast<long>(markSize_), SEEK_CUR) ==
             0 &&
         std::fread(now.data(), 1, markSize_, file_.get()) == markSize_ &&
         std::equal(now.begin(), now.begin() + markSize_, mark_.begin());
}

bool LogTail::readBlock(std::size_t& got) {
  got = std::fread(block_.get(), 1, kTailBlockSize, file_.get());
  offset_ += got;
  const std::size_t fresh = std::min(got, kMarkSize);
  const std::size_t kept = std::min(markSize_, kMarkSize - fresh);
  // The mark: the newest `kept` bytes of the old one, then the last `fresh`
  // of block_.
  std::memmove(mark_.data(), mark_.data() + (markSize_ - kept), kept);
  std::copy(block_.get() + (got - fresh), block_.get() + got,
            mark_.begin() + kept);
  markSize_ = kept + fresh;
  if (got == kTailBlockSize) return true;
  if (std::ferror(file_.get())) error_ = errno != 0 ? errno : EIO;
  // The end of the file so far: what is appended later is read once the
  // end-of-file mark is cleared. A seek clears it in Windows' C runtime too,
  // which otherwise keeps reading nothing.
  std::clearerr(file_.get());
  std::fseek(file_.get(), 0, SEEK_CUR);
  return false;
}

}  // namespace sessionstats
