#ifndef SESSION_STATS_STATS_CURRENT_SESSION_H_
#define SESSION_STATS_STATS_CURRENT_SESSION_H_

#include <cstdint>
#include <optional>

#include "stats/match_filter.h"
#include "stats/match_log.h"
#include "stats/session_history.h"
#include "stats/stats_records.h"

namespace sessionstats {

/// The session a log leaves open: started and not yet ended by its results
/// line or by the next start line. No players when none is open.
struct OpenSession {
  std::uint32_t ordinal = 0;  // as in MatchEntry::session
  const PlayerRecord* player1 = nullptr;
  const PlayerRecord* player2 = nullptr;
};

/// The session in progress of `player`: nullopt unless `open` is a session
/// he plays whose opponent passes filter.opponent. Its figures count
/// `matches`, the matches the report counts in log order (each one that
/// `player` plays); a match against himself counts once per side, player
/// 1's first, as the report does.
std::optional<CurrentSession> findCurrentSession(const PlayerRecord& player,
                                                 const MatchLog& matches,
                                                 const OpenSession& open,
                                                 const MatchFilter& filter);

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_CURRENT_SESSION_H_
