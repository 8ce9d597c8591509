#ifndef SESSION_STATS_REPORT_JSON_WRITER_H_
#define SESSION_STATS_REPORT_JSON_WRITER_H_

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace sessionstats {

/// JSON text being written to a stream a value at a time. The caller writes
/// the structure (braces, brackets, commas, keys, layout) as it stands with
/// raw, and the values through the typed calls, which write each value as
/// nlohmann::json's dump() does with error_handler_t::replace, so a document
/// written piece by piece is byte for byte what dumping it as one value would
/// give, without ever holding it. The text is gathered in memory and handed
/// to the stream a chunk at a time (mayFlush) and at the end (flush). Output
/// to a failing stream is silently lost; the writer never flushes the stream
/// itself.
class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out);

  /// Appends structure as it stands. REQUIRES: `text` is JSON punctuation,
  /// whitespace or keys that need no escaping.
  JsonWriter& raw(std::string_view text) {
    text_ += text;
    return *this;
  }
  /// Appends any bytes as a quoted string: '"', '\\' and the control
  /// characters escaped, each maximal ill-formed part of UTF-8 (an invalid
  /// byte, a sequence cut short) written as one U+FFFD.
  JsonWriter& string(std::string_view text);
  /// Appends `value` in decimal.
  JsonWriter& number(std::int64_t value);
  /// Appends `value` as the shortest decimal that reads back as it, with
  /// ".0" when that is a whole number: "53.333", "100.0". REQUIRES: `value`
  /// is 0 or 1e-4 <= |value| < 1e15, where no exponent is written.
  JsonWriter& decimal(double value);
  /// Appends true or false.
  JsonWriter& boolean(bool value) { return raw(value ? "true" : "false"); }
  /// Appends null.
  JsonWriter& null() { return raw("null"); }

  /// Writes out what is gathered once it makes a chunk.
  void mayFlush();
  /// Writes out everything gathered.
  void flush();

 private:
  std::ostream& out_;
  std::string text_;
};

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_JSON_WRITER_H_
