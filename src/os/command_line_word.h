#ifndef SESSION_STATS_OS_COMMAND_LINE_WORD_H_
#define SESSION_STATS_OS_COMMAND_LINE_WORD_H_

#include <string>
#include <string_view>

namespace sessionstats {

/// `text` quoted as one word of a command line typed in the platform's
/// usual shell, so that the program gets it back byte for byte: in single
/// quotes for a POSIX shell ("'Big Name'", a quote in it as '\''); in
/// double quotes for cmd.exe ("\"Big Name\"", a '"' in it, and the
/// backslashes before one, escaped with backslashes as the C runtime reads
/// them).
std::string commandLineWord(std::string_view text);

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_COMMAND_LINE_WORD_H_
