#ifndef SESSION_STATS_LOG_RESULT_LINE_MATCHER_H_
#define SESSION_STATS_LOG_RESULT_LINE_MATCHER_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sessionstats {

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
