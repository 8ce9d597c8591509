#ifndef SESSION_STATS_REPORT_TEXT_BUFFER_H_
#define SESSION_STATS_REPORT_TEXT_BUFFER_H_

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "report/report_format.h"

namespace sessionstats {

/// The text of a page or a document being written to a stream: gathered in
/// memory and handed to the stream a chunk at a time (mayFlush) and at the
/// end (flush), so that one of any length needs about one chunk of memory.
/// Output to a failing stream is silently lost; it never flushes the stream
/// itself. The writer of a format derives from it as `Derived`, so that its
/// own calls and these chain alike.
template <typename Derived>
class TextBuffer {
 public:
  explicit TextBuffer(std::ostream& out) : out_(out) {
    text_.reserve(2 * kChunkSize);
  }

  /// Appends `text` as it stands. REQUIRES: `text` is markup or structure
  /// of the format, never text from the log.
  Derived& raw(std::string_view text) {
    text_ += text;
    return self();
  }
  /// Appends what `format` writes given room for `maxLength` bytes; the
  /// formatters of report_format.h fit.
  template <typename Format, typename... Args>
  Derived& put(std::size_t maxLength, Format format, Args... args) {
    const std::size_t used = text_.size();
    text_.resize(used + maxLength);
    const char* end = format(text_.data() + used, args...);
    text_.resize(static_cast<std::size_t>(end - text_.data()));
    return self();
  }
  /// Appends `value` in decimal.
  Derived& number(std::int64_t value) {
    return put(kMaxInt64Length, formatInteger, value);
  }

  /// Writes out what is gathered once it makes a chunk.
  void mayFlush() {
    if (text_.size() >= kChunkSize) flush();
  }
  /// Writes out everything gathered.
  void flush() {
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
  }

 protected:
  std::string text_;  // gathered, not handed on yet

 private:
  // A report with thousands of opponents needs no more memory than this.
  static constexpr std::size_t kChunkSize = std::size_t{1} << 16;

  Derived& self() { return static_cast<Derived&>(*this); }

  std::ostream& out_;
};

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_TEXT_BUFFER_H_
