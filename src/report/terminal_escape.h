#ifndef SESSION_STATS_REPORT_TERMINAL_ESCAPE_H_
#define SESSION_STATS_REPORT_TERMINAL_ESCAPE_H_

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace sessionstats {

/// Appends `text` to `out` so that a terminal shows it and acts on none of
/// it, in the escapes of `ls -b`: BEL, BS, TAB, LF, VT, FF and CR as \a \b
/// \t \n \v \f \r, every other control byte (ESC, DEL, the C1 controls
/// U+0080 to U+009F in UTF-8) and every byte that is not well-formed UTF-8
/// as a backslash and three octal digits (\033), a backslash as \\. Well-formed
/// UTF-8 and printable ASCII, blanks included, stay as they are, so the
/// escaped text reads back to the same bytes.
void appendTerminalEscaped(std::string& out, std::string_view text);

/// Writes to `out` what `write` writes, as appendTerminalEscaped escapes it
/// but for its line ends (LF, and a CR just before one), which stay: a
/// report that a terminal shows. Holds the whole text in memory meanwhile.
void writeTerminalEscaped(std::ostream& out,
                          const std::function<void(std::ostream&)>& write);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_TERMINAL_ESCAPE_H_
