#ifndef SESSION_STATS_REPORT_CSV_WRITER_H_
#define SESSION_STATS_REPORT_CSV_WRITER_H_

#include <ostream>

#include "stats/match_log.h"
#include "stats/stats_records.h"

namespace sessionstats {

/// Writes the header row and one row per side of `player` in `matches`, in
/// their order (two rows for a match he plays against himself, player 1's
/// side first), each row ending in CR LF. A text field is written as RFC
/// 4180 has it: in double quotes, each quote doubled, when it holds a comma,
/// a double quote, CR or LF; else byte for byte. One that begins with =, +,
/// -, @, TAB or CR, which a spreadsheet would take for a formula, gets a
/// leading ' first (the usual neutralisation; the spreadsheet then shows
/// the text). The characters go by their long names. REQUIRES: `player`
/// plays every match.
void writeMatchCsv(std::ostream& out, const PlayerRecord& player,
                   const MatchLog& matches);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_CSV_WRITER_H_
