#ifndef SESSION_STATS_OS_COMMAND_LINE_WORD_H_
#define SESSION_STATS_OS_COMMAND_LINE_WORD_H_

#include <string>
#include <string_view>

namespace sessionstats {

/// `text` as one word of a command line in the platform's usual shell, which
/// gives it back byte for byte: 'Big Name' for a POSIX shell, "Big Name"
/// for cmd.exe.
std::string commandLineWord(std::string_view text);

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_COMMAND_LINE_WORD_H_
