#ifndef SESSION_STATS_REPORT_TEXT_BUFFER_H_
#define SESSION_STATS_REPORT_TEXT_BUFFER_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

#include "report/report_format.h"

namespace sessionstats {

/// The text of a report, a page or a document being written to a stream:
/// gathered in memory and handed to the stream in one write a chunk at a
/// time (mayFlush) or whenever the writer chooses (flush), so that one of
/// any length needs about one chunk of memory. Output to a failing stream is
/// silently lost; it never flushes the stream itself. The writer of a format
/// derives from it as `Derived`, so that its own calls and these chain alike.
template <typename Derived>
class TextBuffer {
 public:
  explicit TextBuffer(std::ostream& out) : buffer_(2 * kChunkSize), out_(out) {}

  /// Appends `text` as it stands. REQUIRES: `text` is markup or structure
  /// of the format, never text from the log.
  Derived& raw(std::string_view text) {
    // std::copy, unlike memcpy, takes the null data of an empty view.
    std::copy(text.begin(), text.end(), reserve(text.size()));
    used_ += text.size();
    return self();
  }
  /// Appends the one byte `c` of the format's structure.
  Derived& raw(char c) {
    *reserve(1) = c;
    ++used_;
    return self();
  }
  /// Appends what `format` writes given room for `maxLength` bytes, a
  /// function that takes where to write and `args` and returns where it
  /// stopped; the formatters of report_format.h fit. They write straight
  /// into the buffer: a figure costs no allocation and no zero-fill.
  template <typename Format, typename... Args>
  Derived& put(std::size_t maxLength, Format format, Args... args) {
    const char* end = format(reserve(maxLength), args...);
    used_ = static_cast<std::size_t>(end - buffer_.data());
    return self();
  }
  /// Appends `value` in decimal.
  Derived& number(std::int64_t value) {
    return put(kMaxInt64Length, formatInteger, value);
  }

  /// Writes out what is gathered once it makes a chunk.
  void mayFlush() {
    if (used_ >= kChunkSize) flush();
  }
  /// Writes out everything gathered.
  void flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(used_));
    used_ = 0;
  }

 private:
  // A report with thousands of opponents needs no more memory than this.
  static constexpr std::size_t kChunkSize = std::size_t{1} << 16;

  // Room for `length` more bytes; the buffer grows only when more is
  // gathered than ever before.
  char* reserve(std::size_t length) {
    if (buffer_.size() - used_ < length) {
      buffer_.resize(std::max(2 * buffer_.size(), used_ + length));
    }
    return buffer_.data() + used_;
  }

  Derived& self() { return static_cast<Derived&>(*this); }

  std::vector<char> buffer_;
  std::size_t used_ = 0;  // gathered, not handed on yet
  std::ostream& out_;
};

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_TEXT_BUFFER_H_
