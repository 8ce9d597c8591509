#ifndef SESSION_STATS_APP_ANSWER_H_
#define SESSION_STATS_APP_ANSWER_H_

#include <cstddef>
#include <istream>
#include <optional>
#include <string>

#include "log/log_line_splitter.h"

namespace sessionstats {

/// The most bytes of an answer kept: one more than the longest name a log
/// line can hold, so a longer word never names a player.
inline constexpr std::size_t kMaxAnswerLength = kMaxLineLength + 1;

/// Reads the answer to the prompt from `in`: skips white space (bytes 9 to 13
/// and 32), then takes one word up to the next white space, which is consumed
/// too, or the end of input. Keeps at most the first kMaxAnswerLength bytes
/// and reads the rest of the word without storing it, so memory does not grow
/// with the word. nullopt when the input ends or fails before a word.
std::optional<std::string> readAnswer(std::istream& in);

}  // namespace sessionstats

#endif  // SESSION_STATS_APP_ANSWER_H_
