#include "report/json_writer.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <string_view>
#include <utility>

#include "report/utf8.h"

namespace sessionstats {
namespace {

// The escapes that JSON names; the other control characters go as \u00xx
// in lower case, as the library writes them.
constexpr std::array<std::pair<char, std::string_view>, 7> kNamedEscapes{{
    {'"', "\\\""},
    {'\\', "\\\\"},
    {'\b', "\\b"},
    {'\t', "\\t"},
    {'\n', "\\n"},
    {'\f', "\\f"},
    {'\r', "\\r"},
}};

// Appends the escape of `c` inside a string.
// REQUIRES: `c` is '"', '\\' or below 0x20.
void appendEscape(JsonWriter& json, char c) {
  for (const auto& [named, escape] : kNamedEscapes) {
    if (c == named) {
      json.raw(escape);
      return;
    }
  }
  constexpr std::string_view kHex = "0123456789abcdef";
  const auto byte = static_cast<unsigned char>(c);
  json.raw("\\u00").raw(kHex[byte >> 4]).raw(kHex[byte & 0xF]);
}

}  // namespace

// Runs of bytes that need nothing are copied whole; the rest goes a code
// point or an ill-formed part at a time, as utf8SequenceLength splits it.
JsonWriter& JsonWriter::string(std::string_view text) {
  raw('"');
  std::size_t plain = 0;
  while (plain < text.size()) {
    const char c = text[plain];
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x80 && c != '"' && c != '\\') {
      ++plain;
      continue;
    }
    raw(text.substr(0, plain));
    text.remove_prefix(plain);
    plain = 0;
    const int length = utf8SequenceLength(text);
    if (length < 0) {
      raw(kReplacementCharacter);
      text.remove_prefix(static_cast<std::size_t>(-length));
    } else if (length > 1) {
      raw(text.substr(0, static_cast<std::size_t>(length)));
      text.remove_prefix(static_cast<std::size_t>(length));
    } else {
      appendEscape(*this, c);
      text.remove_prefix(1);
    }
  }
  return raw(text).raw('"');
}

// std::to_chars gives the shortest digits that read back as the value, as
// the library's Grisu2 does over the range the caller keeps to; the library
// marks a whole number as a double with ".0".
JsonWriter& JsonWriter::decimal(double value) {
  char digits[32];
  const char* end = std::to_chars(digits, digits + sizeof digits, value,
                                  std::chars_format::fixed)
                        .ptr;
  const std::string_view written(digits,
                                 static_cast<std::size_t>(end - digits));
  raw(written);
  if (written.find('.') == std::string_view::npos) raw(".0");
  return *this;
}

}  // namespace sessionstats
