#ifndef SESSION_STATS_LOG_LOG_LINE_SPLITTER_H_
#define SESSION_STATS_LOG_LOG_LINE_SPLITTER_H_

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "base/byte_search.h"

namespace sessionstats {

/// Longest log line handed over, line end not included.
inline constexpr std::size_t kMaxLineLength = 199;

/// Cuts a byte stream, fed in blocks of any size, into log lines:
/// - a line ends at LF; a CR directly before the LF is dropped, any other CR
///   is an ordinary byte;
/// - a line longer than kMaxLineLength is handed over as its first
///   kMaxLineLength bytes and the rest of it, through its LF, is discarded;
/// - a NUL byte ends the line as handed over (the bytes after it are lost);
/// - finish() hands over what follows the last LF, an empty line when the
///   stream is empty or ends with LF.
/// Lines that lie whole inside a block are handed over in place; only a line
/// that straddles two blocks is copied, into a fixed buffer. Memory use does
/// not depend on the input.
class LogLineSplitter {
 public:
  /// The bytes of a line that decide what is handed over: one more than a
  /// line may hold, so that a CR in the last kept place can still be told
  /// apart from a CR that stands before an LF. Those past them change nothing.
  static constexpr std::size_t kKeptBytes = kMaxLineLength + 1;

  /// Calls sink(std::string_view) for every line that ends in `data`.
  template <typename Sink>
  void feed(const char* data, std::size_t size, Sink&& sink) {
    const char* const end = data + size;
    while (data != end) {
      // One pass for both bytes, where memchr would need one call for each.
      const char* newline = findEither(data, end, '\n', '\0');
      const char* nul = end;  // the line's first NUL, or a place past it
      if (newline != end && *newline == '\0') {
        nul = newline;
        newline = findByte(nul, end, '\n');
      }
      if (newline == end) {
        append(data, static_cast<std::size_t>(end - data));
        return;
      }
      if (rawLength_ == 0) {
        sink(lineView(data, static_cast<std::size_t>(newline - data), true,
                      nul));
      } else {
        append(data, static_cast<std::size_t>(newline - data));
        sink(pendingLine(true));
        rawLength_ = 0;
      }
      data = newline + 1;
    }
  }

  /// Hands over the last line, the one the end of the stream cut off.
  template <typename Sink>
  void finish(Sink&& sink) {
    sink(pendingLine(false));
    rawLength_ = 0;
  }

 private:
  // `length` raw bytes, the whole line; `atNewline` when an LF ended it.
  // `nul` is the line's first NUL, or any place at or past its end when it
  // holds none.
  static std::string_view lineView(const char* line, std::size_t length,
                                   bool atNewline, const char* nul) {
    if (atNewline && length > 0 && length <= kKeptBytes &&
        line[length - 1] == '\r') {
      --length;
    }
    if (length > kMaxLineLength) length = kMaxLineLength;
    if (nul < line + length) length = static_cast<std::size_t>(nul - line);
    return {line, length};
  }

  std::string_view pendingLine(bool atNewline) const {
    const std::size_t length = std::min(rawLength_, kKeptBytes);
    const char* const nul = findByte(pending_, pending_ + length, '\0');
    // A line cut at kKeptBytes has no CR before its LF to drop.
    return lineView(pending_, length, atNewline && rawLength_ <= kKeptBytes,
                    nul);
  }

  void append(const char* data, std::size_t size) {
    if (rawLength_ < kKeptBytes) {
      const std::size_t room = kKeptBytes - rawLength_;
      std::memcpy(pending_ + rawLength_, data, size < room ? size : room);
    }
    // Saturate rather than count: only "more than kKeptBytes" matters.
    rawLength_ = std::min(rawLength_ + size, kKeptBytes + 1);
  }

  char pending_[kKeptBytes] = {};
  std::size_t rawLength_ = 0;  // bytes of the pending line, saturating
};

}  // namespace sessionstats

#endif  // SESSION_STATS_LOG_LOG_LINE_SPLITTER_H_
