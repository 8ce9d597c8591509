#ifndef SESSION_STATS_APP_NAME_HINTS_H_
#define SESSION_STATS_APP_NAME_HINTS_H_

#include <string>
#include <string_view>
#include <vector>

#include "log/session_log_reader.h"
#include "stats/stats_records.h"

namespace sessionstats {

/// The most close names nameHints offers.
inline constexpr std::size_t kMaxCloseNames = 3;

/// Whether `a` and `b` are the same bytes but for the letter case of A to Z.
bool sameIgnoringCase(std::string_view a, std::string_view b);

/// The one of `candidates` closest to `word` by the edit distance that
/// nameHints uses, the first of the nearest, when near enough to be a slip
/// of it; else an empty view.
std::string_view closestName(std::string_view word,
                             const std::vector<std::string_view>& candidates);

/// A name of the log's alias lines and the player it stands for.
struct AliasMatch {
  std::string_view alias;   // as the log writes it
  std::string_view target;  // the target of its newest alias line
};

/// The alias that `name` may mean: itself when the log gives it as an alias,
/// else the first in byte order of those differing from it in letter case
/// only; empty views when there is none. The views live as long as `reader`
/// reads no further alias line.
AliasMatch aliasOf(const SessionLogReader& reader, std::string_view name);

/// Lines, without the program's name or line end, that may lead a person
/// whose `name` named no player of `records` to the one he meant, in this
/// order: the players whose name differs only in letter case; "ALIAS is an
/// alias of TARGET" when `alias` (see aliasOf) stands for a player, after
/// "letter case counts: " when ALIAS is not `name` as typed; up to
/// kMaxCloseNames other names closest to `name` by edit distance (letter case
/// aside, a swap of two neighbours counts one), only those near enough to be a
/// slip; when `fromPrompt`, the players whose name begins with `name` and a
/// blank, with the -p that names them (the prompt reads one word); last,
/// always, a pointer to --list.
std::vector<std::string> nameHints(const StatsRecords& records,
                                   std::string_view name, AliasMatch alias,
                                   bool fromPrompt);

}  // namespace sessionstats

#endif  // SESSION_STATS_APP_NAME_HINTS_H_
