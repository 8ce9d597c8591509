#ifndef SESSION_STATS_APP_NAME_HINTS_H_
#define SESSION_STATS_APP_NAME_HINTS_H_

#include <string>
#include <string_view>
#include <vector>

#include "log/session_log_reader.h"
#include "os/status.h"
#include "report/player_list.h"
#include "stats/stats_records.h"

namespace sessionstats {

/// Whether `a` and `b` are the same bytes but for the letter case of A to Z.
bool sameIgnoringCase(std::string_view a, std::string_view b);

/// The one of `candidates` closest to `word` by the edit distance that
/// nameHints uses, the first of the nearest, when near enough to be a slip
/// of it; else an empty view.
std::string_view closestName(std::string_view word,
                             const std::vector<std::string_view>& candidates);

/// The long or short name of the character closest to `name` by the edit
/// distance of closestName, when near enough to be a slip; else empty.
std::string_view closestCharacter(std::string_view name);

/// Reads the character that `value` names (see chooseCharacter) into
/// `character`; a usage status naming the characters it could be, the
/// closest one, or else all of them, when it names none.
Status readCharacter(std::string_view value, int& character);

/// Whether a stray word on a command line asks for help ("help", "?") or is
/// a switch of another system ("/?", "/p", "/help") rather than a path.
bool asksForHelp(std::string_view word);

/// How nameHints words its lines.
struct HintStyle {
  /// kEscaped: every name of the log escaped for a terminal (see
  /// appendTerminalEscaped), so that none can act on the one showing it.
  ListNames names = ListNames::kExact;
  /// Whether advice may name options (-p, --list): not in a window that a
  /// double click opened, where none can be given.
  bool options = true;
};

/// Lines, without the program's name or line end, that may lead a person
/// whose `name` named no player of `records` (read by `reader`) to the one
/// he meant, in this order: the players whose name differs only in letter
/// case; "ALIAS is an alias of TARGET" when the alias lines of `reader` give
/// `name` as an alias, or else, the first in byte order, one differing from
/// it in letter case only, and its newest target is a player, after "letter
/// case counts: " when ALIAS is not `name` as typed; up to three
/// other names closest to `name` by edit distance (letter case aside, a swap
/// of two neighbours counts one), only those near enough to be a slip; when
/// `fromPrompt`, up to three players whose name begins with `name` and a
/// blank, with the -p that names them, quoted for the platform's shell (see
/// commandLineWord; piped answers are read one word at a time); last, a
/// pointer to --list. The -p and --list lines come only with style.options.
std::vector<std::string> nameHints(const StatsRecords& records,
                                   const SessionLogReader& reader,
                                   std::string_view name, bool fromPrompt,
                                   const HintStyle& style);

}  // namespace sessionstats

#endif  // SESSION_STATS_APP_NAME_HINTS_H_
