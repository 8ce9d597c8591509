#ifndef SESSION_STATS_APP_NAME_HINTS_H_
#define SESSION_STATS_APP_NAME_HINTS_H_

#include <string>
#include <string_view>
#include <vector>

#include "stats/stats_records.h"

namespace sessionstats {

/// The most close names nameHints offers.
inline constexpr std::size_t kMaxCloseNames = 3;

/// Lines, without the program's name or line end, that may lead a person
/// whose `name` named no player of `records` to the one he meant, in this
/// order: the players whose name differs only in letter case; "NAME is an
/// alias of TARGET" when `aliasTarget` (the name after the log's aliases)
/// names a player; up to kMaxCloseNames other names closest to `name` by
/// edit distance (letter case aside, a swap of two neighbours counts one),
/// only those near enough to be a slip; when `fromPrompt`, the players
/// whose name begins with `name` and a blank, with the -p that names them
/// (the prompt reads one word); last, always, a pointer to --list.
std::vector<std::string> nameHints(const StatsRecords& records,
                                   std::string_view name,
                                   std::string_view aliasTarget,
                                   bool fromPrompt);

}  // namespace sessionstats

#endif  // SESSION_STATS_APP_NAME_HINTS_H_
