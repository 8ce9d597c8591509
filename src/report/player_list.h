#ifndef SESSION_STATS_REPORT_PLAYER_LIST_H_
#define SESSION_STATS_REPORT_PLAYER_LIST_H_

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <span>
#include <string_view>

#include "stats/match_log.h"
#include "stats/stats_records.h"
#include "stats/tally.h"

namespace sessionstats {

/// One line of the player list: his matches won and lost (the rounds are
/// not shown).
struct PlayerListEntry : Score {
  std::string_view name;
};

/// How the list shows a name: byte for byte, for a pipe or a file, or
/// escaped for a terminal (see appendTerminalEscaped).
enum class ListNames { kExact, kEscaped };

/// Writes `players`, in list order as given, as a table with LF line ends: a
/// header line "Matches  Wins  Losses  Player", then one line per player, most
/// matches (wins plus losses) first, ties in list order, players without a
/// match included. Matches, wins and losses stand right-aligned in columns as
/// wide as their header word or their widest number, two blanks apart, and
/// the name follows, as `names` says. Counts are printed as stored, negative
/// ones too.
void writePlayerList(std::ostream& out,
                     std::span<const PlayerListEntry> players,
                     ListNames names = ListNames::kExact);

/// Writes the list of every player of `records`, in creation order before
/// sorting, each with the totals of his report; returns how many.
std::size_t writePlayerList(std::ostream& out, const StatsRecords& records,
                            ListNames names = ListNames::kExact);

/// Writes the list of the players of `records` who play in `matches`, in
/// creation order before sorting, each with his wins and losses there (a
/// match against himself counts once per side, as in his report); returns
/// how many.
std::size_t writePlayerList(std::ostream& out, const StatsRecords& records,
                            const MatchLog& matches,
                            ListNames names = ListNames::kExact);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_PLAYER_LIST_H_
