#include "log/result_line_matcher.h"

#include <cstring>

#include "log/ascii.h"

namespace sessionstats {
namespace {

// Walks the text from its start. Every step checks for the end before it
// reads a byte, so nothing outside the text is ever read.
class Cursor {
 public:
  explicit Cursor(std::string_view text)
      : p_(text.data()), end_(text.data() + text.size()) {}

  void skipSpace() {
    while (p_ != end_ && isSpace(*p_)) ++p_;
  }

  bool literal(std::string_view word) {
    if (static_cast<std::size_t>(end_ - p_) < word.size() ||
        std::memcmp(p_, word.data(), word.size()) != 0) {
      return false;
    }
    p_ += word.size();
    return true;
  }

  // White space, an optional sign, then digits. With `requireDigit` a
  // number without digits fails (the scanf rule); without it, it reads as 0
  // (the atoi rule).
  bool integer(bool requireDigit, std::int32_t& value) {
    skipSpace();
    bool negative = false;
    if (p_ != end_ && (*p_ == '+' || *p_ == '-')) {
      negative = *p_ == '-';
      ++p_;
    }
    if (requireDigit && (p_ == end_ || !isDigit(*p_))) return false;
    // Both library functions read the digits as a 64-bit long that sticks
    // at its limit on overflow, and then cut it to int.
    const std::uint64_t limit =
        negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
    std::uint64_t magnitude = 0;
    for (; p_ != end_ && isDigit(*p_); ++p_) {
      const unsigned digit = static_cast<unsigned>(*p_ - '0');
      if (magnitude > (limit - digit) / 10) {
        magnitude = limit;
      } else {
        magnitude = magnitude * 10 + digit;
      }
    }
    const std::uint64_t bits = negative ? 0 - magnitude : magnitude;
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
    return true;
  }

 private:
  const char* p_;
  const char* const end_;
};

}  // namespace

int scanResultNumbers(std::string_view text, std::int32_t (&numbers)[3]) {
  Cursor cursor(text);
  // The number's own white-space skip covers the blank before each %d.
  if (!cursor.literal("Player") || !cursor.integer(true, numbers[0])) {
    return 0;
  }
  cursor.skipSpace();
  if (!cursor.literal("wins")) return 1;
  cursor.skipSpace();
  if (!cursor.literal("match") || !cursor.integer(true, numbers[1])) return 1;
  if (!cursor.literal("-") || !cursor.integer(true, numbers[2])) return 2;
  return 3;
}

std::int32_t leadingInteger(std::string_view text) {
  std::int32_t value = 0;
  Cursor(text).integer(false, value);
  return value;
}

}  // namespace sessionstats
