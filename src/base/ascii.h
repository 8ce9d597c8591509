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

/// A space or a tab, the blanks a name may carry unseen at its ends.
constexpr bool isBlank(char byte) { return byte == ' ' || byte == '\t'; }

/// `byte` with the letters A to Z made lower case, as tolower does in the C
/// locale.
constexpr char toLowerAscii(char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a')
                                    : byte;
}

}  // namespace sessionstats

#endif  // SESSION_STATS_BASE_ASCII_H_
