#ifndef SESSION_STATS_BASE_ASCII_H_
#define SESSION_STATS_BASE_ASCII_H_

namespace sessionstats {

// Byte classes of the C locale, without the <cctype> calls: those take an
// int, so a log byte of 0x80 or above, negative as a char, would be
// undefined behaviour there.

/// '0' to '9'.
constexpr bool isDigit(char byte) { return byte >= '0' && byte <= '9'; }

/// The isspace set of the C locale: space, \t, \n, \v, \f and \r; bytes of
/// 0x80 and above are never space.
constexpr bool isSpace(char byte) {
  return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

}  // namespace sessionstats

#endif  // SESSION_STATS_BASE_ASCII_H_
