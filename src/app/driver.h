#ifndef SESSION_STATS_APP_DRIVER_H_
#define SESSION_STATS_APP_DRIVER_H_

#include <istream>
#include <ostream>
#include <string>

namespace sessionstats {

/// What a run wrote to a file: nothing (an empty file) when it wrote to
/// standard output, wrote nothing, or failed.
struct Written {
  std::string file;
  std::string counted;  // "Kestrel, 30 matches" (once per side), "2 players"
  std::string player;   // a report's player as given; empty for a list
  std::string page;     // the page written beside it for a double click
};

/// The whole program, as the man page describes it: parses the command line
/// (see parseOptions) and writes the report or the player list it asks for,
/// prompting on `console` for a name not given, to its file (see
/// replaceReportFile) or to `out` for "-". Every failure puts a line
/// "session-stats: ..." on `err` and leaves the report as it was. Returns the
/// exit status: 0 when written (or when `console` ends before a name), 2 for
/// a wrong command line, 1 for any other failure. `written`, when given, says
/// what reached a file. After a report written to a file with standard input
/// a terminal, its player is remembered (see rememberPlayer), and the next
/// prompt at a terminal offers him (see askAtTerminal). With no option in a
/// console window of its own (a double click), the page of writePageBeside
/// is written beside the report. With --open, the file written is opened
/// (see openFile).
int runCommandLine(int argc, char* argv[], std::istream& console,
                   std::ostream& out, std::ostream& err,
                   Written* written = nullptr);

/// The line for a window about to close after `written`: "Wrote
/// session_stats.txt for Kestrel.", "Wrote session_stats.txt and
/// session_stats.html for Kestrel." with a page, "Wrote players.txt." for a
/// list; empty when nothing was written to a file.
std::string closingLine(const Written& written);

}  // namespace sessionstats

#endif  // SESSION_STATS_APP_DRIVER_H_
