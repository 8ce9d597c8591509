#ifndef SESSION_STATS_APP_OPTIONS_H_
#define SESSION_STATS_APP_OPTIONS_H_

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "live/live_report.h"
#include "os/status.h"
#include "report/report_file.h"
#include "stats/match_filter.h"

namespace sessionstats {

inline constexpr char kLogFileName[] = "sessionlog.txt";
inline constexpr char kReportFileName[] = "session_stats.txt";
/// The log file name that stands for standard input.
inline constexpr std::string_view kStandardInputName = "-";
/// What messages call the log read from standard input.
inline constexpr std::string_view kStandardInputLabel = "standard input";

/// The line that follows every command line error on standard error.
inline constexpr std::string_view kTryHelpLine =
    "Try 'session-stats --help' for more information.";

/// What one run is asked to do: write the report (or with --list the player
/// list), or print the help or the version.
enum class Command { kReport, kHelp, kVersion };

/// The command line, with the defaults of a run without options for what
/// it leaves out.
struct Options {
  Command command = Command::kReport;
  /// The logs read, in this order, as one history: each -l names one.
  std::vector<std::string> logFiles = {kLogFileName};
  /// Unless --output names one, the format's own file (session_stats.csv,
  /// .json, .html, session_overlay.html); for --list, kStandardOutputName.
  std::string reportFile = kReportFileName;
  /// What is written: --list, --player (the name to report on, without a
  /// prompt), --format, the filters (--opponent, --character, --against,
  /// --since, --until, --last-sessions) and --follow (keep reading the log
  /// as it grows and rewrite the report or the list after each change).
  ReportRequest request;
  /// --open: the file written is opened with the desktop's handler after
  /// the run (after the first write of a follow).
  bool open = false;
};

/// The options, or a kUsage status that says in one line what is wrong with
/// the command line.
struct ParsedOptions {
  Options options;
  Status status;
  /// With a wrong command line, what was perhaps meant ("did you mean
  /// --opponent?"), without the program's name or line end; else empty.
  std::string hint;
};

/// Parses GNU style options with getopt_long: short and long forms, values
/// attached or separate, long names abbreviated while they stay unique, the
/// last of a repeated option wins, except -l, which adds a log each time.
/// --help and --version end the parse where they stand. An unknown or
/// ambiguous option, a missing or unexpected value, an empty file name, a
/// stray argument, --list together with --player, --format or a filter
/// other than --since, --until and --last-sessions, "-l -" twice or without
/// --player or --list, a character that is not one of the roster (see
/// chooseCharacter), --follow without --player or --list or with a log
/// other than one file, a date that is not a real YYYY-MM-DD, --since after
/// --until, a session count that is not a whole number from 1 below 2^32,
/// and a format other than text, csv, json, html or overlay (in any letter
/// case) are errors. An unknown long option close to a known one hints at
/// it, one named as a format (--csv) at --format; a stray word hints at -l
/// when it names a file, else at --help when it asks for help or is a
/// switch of another system ("help", "/?", "/p"), else, without --player,
/// at -p. An unknown character close to one is named instead of the roster.
/// Prints nothing.
/// REQUIRES: argv[0..argc) are valid strings; getopt_long may reorder them.
ParsedOptions parseOptions(int argc, char* argv[]);

/// Writes the usage text that --help prints.
void writeHelp(std::ostream& out);

}  // namespace sessionstats

#endif  // SESSION_STATS_APP_OPTIONS_H_
