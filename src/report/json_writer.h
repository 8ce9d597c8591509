#ifndef SESSION_STATS_REPORT_JSON_WRITER_H_
#define SESSION_STATS_REPORT_JSON_WRITER_H_

#include <string_view>

#include "report/text_buffer.h"

namespace sessionstats {

/// JSON text being written to a stream a value at a time. The caller writes
/// the structure (braces, brackets, commas, keys, layout) as it stands with
/// raw, and the values through the typed calls and number, which write each
/// value as nlohmann::json's dump() does with error_handler_t::replace, so a
/// document written piece by piece is byte for byte what dumping it as one
/// value would give, without ever holding it.
class JsonWriter : public TextBuffer<JsonWriter> {
 public:
  using TextBuffer::TextBuffer;

  /// Appends any bytes as a quoted string: '"', '\\' and the control
  /// characters escaped, each maximal ill-formed part of UTF-8 (an invalid
  /// byte, a sequence cut short) written as one U+FFFD.
  JsonWriter& string(std::string_view text);
  /// Appends `value` as the shortest decimal that reads back as it, with
  /// ".0" when that is a whole number: "53.333", "100.0". REQUIRES: `value`
  /// is 0 or 1e-4 <= |value| < 1e15, where no exponent is written.
  JsonWriter& decimal(double value);
  /// Appends true or false.
  JsonWriter& boolean(bool value) { return raw(value ? "true" : "false"); }
  /// Appends null.
  JsonWriter& null() { return raw("null"); }
};

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_JSON_WRITER_H_
