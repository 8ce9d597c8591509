#ifndef SESSION_STATS_LIVE_LOG_TAIL_H_
#define SESSION_STATS_LIVE_LOG_TAIL_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "log/log_line_splitter.h"
#include "os/file_identity.h"

namespace sessionstats {

/// What LogTail::check found at the log's path.
enum class TailCheck {
  kSame,     // the file read so far (or the first one seen): read on
  kRestart,  // another file, or the same one shorter or written anew: read
             // from its start
  kMissing,  // no file there, or one that is not a regular file (a FIFO, a
             // device): reading it could wait or go on for ever
  kFailed,   // the file cannot be opened or looked at: see LogTail::error
};

/// Reads a log that another program appends to, one stretch at a time: each
/// read hands over the lines completed since the last one. A line the writer
/// has not finished yet (no LF so far) is held back until its LF comes, so a
/// result line written in two parts is read once, whole.
class LogTail {
 public:
  /// Opens nothing yet: check() does.
  explicit LogTail(std::string path);

  /// Looks at the file at the path, before a read:
  /// - kMissing when there is none (or its folder is gone), or what is there
  ///   is not a regular file: no FIFO or device is ever read, and opening
  ///   one never waits; the file read so far is let go, and whatever comes
  ///   later at the path is a new one;
  /// - kFailed when a folder is there (error() EISDIR) or the file cannot
  ///   be opened or looked at;
  /// - kRestart when the file there is another one than was read so far
  ///   (replaced, or back after kMissing), or the one read so far has
  ///   become shorter than what was read (truncated), or no longer holds the
  ///   last bytes read (up to kMarkSize of them) where they were
  ///   (written anew in place, as long or longer): reading starts again at
  ///   its first byte, a held back line is dropped, and the caller must
  ///   forget every line handed over before;
  /// - kSame otherwise, the first file seen included.
  /// A file written anew in place with the same bytes just before the end
  /// of what was read is taken as grown.
  TailCheck check();

  /// Hands sink(std::string_view) each line completed since the last read,
  /// cut as LogLineSplitter cuts lines; the bytes after the last LF are held
  /// back. Returns false when a read fails (error() tells why), after
  /// handing over the lines before it. REQUIRES: the last check() gave kSame
  /// or kRestart.
  template <typename Sink>
  bool readAppended(Sink&& sink) {
    for (;;) {
      std::size_t got = 0;
      const bool more = readBlock(got);
      splitter_.feed(block_.get(), got, sink);
      if (!more) return error_ == 0;
    }
  }

  /// The errno of the last failure of check() or readAppended().
  int error() const { return error_; }

 private:
  // Opens the path afresh and says what is there, as check() does; kFailed
  // with error_ set when that fails.
  TailCheck open();
  // Reads the next bytes of the file into block_ and sets `got` to how many,
  // keeping the last of them in mark_; false at its end or on a failure
  // (error_ then set).
  bool readBlock(std::size_t& got);
  // Whether the file still holds mark_ just before offset_, which it reads
  // again; the file is left at offset_ when it does.
  bool markStillThere();

  std::string path_;
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  FileIdentity identity_;
  std::uint64_t offset_ = 0;  // bytes read from file_
  // The most bytes before offset_ that check() reads again: a few lines.
  static constexpr std::size_t kMarkSize = 256;

  // The last markSize_ bytes read, those just before offset_.
  std::array<char, kMarkSize> mark_{};
  std::size_t markSize_ = 0;
  bool seenAny_ = false;  // a file was opened before
  int error_ = 0;
  LogLineSplitter splitter_;
  std::unique_ptr<char[]> block_;
};

}  // namespace sessionstats

#endif  // SESSION_STATS_LIVE_LOG_TAIL_H_
