#ifndef SESSION_STATS_REPORT_PLAYER_LIST_H_
#define SESSION_STATS_REPORT_PLAYER_LIST_H_

#include <ostream>

#include "stats/stats_records.h"

namespace sessionstats {

/// Writes the players of `players` as a table with LF line ends: a header
/// line "Matches  Wins  Losses  Player", then one line per player, most
/// matches (wins plus losses) first, ties in list order, players without a
/// match included. Matches, wins and losses stand right-aligned in columns as
/// wide as their header word or their widest number, two blanks apart, and
/// the name follows as it is, bytes and all. Counts are printed as stored,
/// negative ones too.
void writePlayerList(std::ostream& out, const PlayerList& players);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_PLAYER_LIST_H_
