#ifndef SESSION_STATS_LOG_RESULT_LINE_MATCHER_H_
#define SESSION_STATS_LOG_RESULT_LINE_MATCHER_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "stats/stats_records.h"

namespace sessionstats {

/// Separates the two players of a start line and the two characters of a
/// result line.
inline constexpr std::string_view kVersus = " vs ";

/// `line` without its leading tokens that begin with a digit (the date and
/// time the log client puts in front of most lines), each skipped together
/// with the one blank after it; only the blank separates tokens. Empty when
/// the line ends inside such a token.
std::string_view skipNumericTokens(std::string_view line);

/// Reads a match result line, given after skipNumericTokens: the head as
/// scanResultNumbers reads it, then the first " : ", the first " vs " from
/// there and the first " (" from that; the texts between them are the
/// characters of players 1 and 2 (long names), and the seconds are the
/// leadingInteger of what follows " (". False when the head has fewer than
/// three numbers, a separator is missing, the separators overlap or a name
/// is not a character; `match` is then left in an unspecified state.
bool readResultLine(std::string_view rest, MatchResult& match);

/// Reads the head of a match result line exactly as the C library's
/// sscanf(text, "Player %d wins match %d-%d : ", &a, &b, &c) does, without
/// calling it and without allocating:
/// - a blank of the pattern matches any run of C-locale white space (space,
///   \t, \n, \v, \f, \r), including none; other pattern bytes match exactly;
/// - each number skips white space, then reads an optional sign and at least
///   one decimal digit; its value is that of leadingInteger;
/// - text after the third number is never looked at.
/// Returns how many numbers converted (0 to 3; 0 also where sscanf would
/// return EOF) and stores them in order into `numbers`; the entries that did
/// not convert are left untouched. Never reads outside `text`.
int scanResultNumbers(std::string_view text, std::int32_t (&numbers)[3]);

/// What atoi gives for `text`: white space skipped, an optional sign, then
/// decimal digits up to the first other byte or the end of `text`; 0 when
/// no digit follows. A value outside the range of a 64-bit long saturates to
/// -2^63 or 2^63-1, and the low 32 bits of that are kept, as with glibc
/// (5000000000 gives 705032704, 99999999999999999999999 gives -1).
std::int32_t leadingInteger(std::string_view text);

}  // namespace sessionstats

#endif  // SESSION_STATS_LOG_RESULT_LINE_MATCHER_H_
