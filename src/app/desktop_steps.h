#ifndef SESSION_STATS_APP_DESKTOP_STEPS_H_
#define SESSION_STATS_APP_DESKTOP_STEPS_H_

#include <ostream>
#include <string>

#include "os/status.h"

namespace sessionstats {

/// The page a run without a console writes beside the text report.
inline constexpr char kPageFileName[] = "session_stats.html";

/// Writes the HTML report of `player` from the log at `log`, read again, to
/// `page` (see replaceReportFile), for a person who started the tool without
/// a console: the page points to no option. A failed status when the log
/// cannot be read or the page cannot be written (the old page is kept).
Status writePageBeside(const std::string& log, const std::string& player,
                       const std::string& page);

/// Opens `file`, made absolute, with the desktop's handler (see
/// openWithDesktop); when that
/// fails, says so on `err` as a warning ("session-stats: could not open
/// FILE: why"), and the run goes on.
void openFile(const std::string& file, std::ostream& err);

}  // namespace sessionstats

#endif  // SESSION_STATS_APP_DESKTOP_STEPS_H_
