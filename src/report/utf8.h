#ifndef SESSION_STATS_REPORT_UTF8_H_
#define SESSION_STATS_REPORT_UTF8_H_

#include <string_view>

namespace sessionstats {

/// The replacement character U+FFFD in UTF-8.
inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

/// Length of the well-formed UTF-8 sequence at the start of `text`, or, when
/// there is none, the length of its maximal ill-formed part (at least 1),
/// negated, so that a caller replaces each maximal ill-formed part once as
/// Unicode recommends. Overlong forms, surrogates and code points past
/// U+10FFFF are ill-formed. REQUIRES: !text.empty()
int utf8SequenceLength(std::string_view text);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_UTF8_H_
