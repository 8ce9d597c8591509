#ifndef SESSION_STATS_APP_ANSWER_H_
#define SESSION_STATS_APP_ANSWER_H_

#include <cstddef>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "log/log_line_splitter.h"
#include "log/session_log_reader.h"
#include "stats/stats_records.h"

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

/// Reads one line from `in`, the answer of a person at a terminal, where a
/// name is typed whole, blanks and all: its bytes up to the LF, without the
/// LF and a CR before it. Keeps at most the first kMaxAnswerLength bytes and
/// drops the rest of the line, so no part of it is read as a next answer.
/// nullopt when the input ends or fails before a byte.
std::optional<std::string> readAnswerLine(std::istream& in);

/// `answer` without the blanks (space, tab) at either end.
std::string_view trimmedAnswer(std::string_view answer);

/// The player of `records` that `answer`, which names none exactly, most
/// likely means, blanks at either end aside: the one player whose name
/// differs from it in letter case only, or that the alias lines of `reader`
/// lead to from an alias that differs from it at most in letter case. Empty
/// when there is no such player or more than one.
std::string_view meantPlayer(const StatsRecords& records,
                             const SessionLogReader& reader,
                             std::string_view answer);

/// The prompt's answer from a person at a terminal, one line of `console`
/// (see readAnswerLine): Enter alone takes `offer` when given, else the next
/// line is read. A line that names a player of `records` exactly is that
/// player; one that meantPlayer reads as another asks "NAME? [Y/n] " on
/// `talk` (the name escaped for the terminal), and a yes (isYes) gives that
/// player; anything else is the line as typed. nullopt when `console` ends
/// first.
std::optional<std::string> askAtTerminal(
    std::istream& console, std::ostream& talk, const StatsRecords& records,
    const SessionLogReader& reader, const std::optional<std::string>& offer);

/// Whether `reply` to "NAME? [Y/n]" says yes: Enter alone, "y" or "yes" in
/// any letter case, blanks at either end aside.
bool isYes(std::string_view reply);

}  // namespace sessionstats

#endif  // SESSION_STATS_APP_ANSWER_H_
