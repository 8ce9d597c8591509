#ifndef SESSION_STATS_ANALYSIS_DRIVER_H_
#define SESSION_STATS_ANALYSIS_DRIVER_H_

#include <istream>
#include <ostream>

namespace sessionstats {

inline constexpr char kLogFileName[] = "sessionlog.txt";
inline constexpr char kReportFileName[] = "session_stats.txt";

/// The whole program, in the current directory: reads the session log in one
/// pass, prompts on `out` for a player name, reads one word from `console`
/// and writes that player's report. Returns the exit status:
/// - 0 when the log is missing or unreadable from its first byte (one line on
///   `out`, nothing else happens), when `console` gives no word (the report
///   file is left as it was), and after a report was written;
/// - 1 when reading the log fails part way, or the report file cannot be
///   created or written (one line on `err` with the system's reason).
int runSessionStats(std::istream& console, std::ostream& out,
                    std::ostream& err);

}  // namespace sessionstats

#endif  // SESSION_STATS_ANALYSIS_DRIVER_H_
