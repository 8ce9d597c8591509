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

/// The whole program: parses the command line (see parseOptions) and runs
/// what it asks for. A wrong command line gives its one line and kTryHelpLine
/// on `err` and exit status 2, before any file is opened; --help and
/// --version print on `out` and give 0 (1 when `out` fails); running out of
/// memory gives "session-stats: out of memory" on `err` and 1.
///
/// A report or player list reads the logs in one pass each, in order, as one
/// history ("-" is standard input). For a report: without --player, prompts
/// "Generate FILE for who: " and reads the answer from `console` (see
/// readAnswer); writes that player's report to the report file (see
/// replaceReportFile), or to `out` for "-"; with a filter or a format other
/// than text, the report is that format over the player's matches that pass
/// the filter (see keepMatches), and the log is read keeping 40 bytes per
/// match of the player, or of every player when the name comes from the
/// prompt. For a list: writes the player list the same way, of the players
/// with a match in the window of --since, --until and --last-sessions when
/// one is given. With --follow, the report or list is written again as the
/// log grows (see followLog). When `out` carries the report or the list,
/// the prompt and "Could not find" go to `err` instead. Messages name the
/// files given, and quote a name as quotedName does. Returns the exit
/// status:
/// - 0 after the report or list was written, and when `console` ends before
///   a word (the report file is left as it was);
/// - 1 when a log is missing ("Could not find <log>" on `out`, and on `err`
///   the folder looked in) or unreadable from its first byte (that line, and
///   on `err` why: a directory is named as one) or fails part way (the
///   reason on `err`, no prompt); when the name, or the --opponent name
///   (checked before the prompt), names no player (then the hints of
///   nameHints follow); when the report or list cannot be written (the old
///   report is kept). Every failure puts a line "session-stats: ..." on
///   `err`, and none of them touches the report.
/// After a report written to a file with standard input a terminal, its
/// player is remembered (see rememberPlayer), and the next prompt at a
/// terminal offers him: "Generate FILE for who [Kestrel]: " (see
/// askAtTerminal). With no option in a console window of its own (a double
/// click), the page of writePageBeside is written beside the report. With
/// --open, the file written is opened (see openFile).
/// When the report or list reached a file, `written`, when given, says what
/// was written; with options given and standard error a terminal, so does a
/// note on `err` ("session-stats: wrote k.html: Kestrel, 30 matches").
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
