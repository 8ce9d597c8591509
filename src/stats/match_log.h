#ifndef SESSION_STATS_STATS_MATCH_LOG_H_
#define SESSION_STATS_STATS_MATCH_LOG_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "stats/stats_records.h"

namespace sessionstats {

/// A calendar date packed as YYYYMMDD (2026-11-02 is 20261102), so that
/// packed dates compare as the dates do; kNoDate stands for none.
inline constexpr std::uint32_t kNoDate = 0;

/// A time of day packed as HHMMSS + 1, so that 00:00:00 differs from kNoTime.
inline constexpr std::uint32_t kNoTime = 0;

/// The packed date of `text` when it is exactly "YYYY-MM-DD" and a real date
/// of the Gregorian calendar (year 0001 to 9999), else kNoDate.
std::uint32_t parseDate(std::string_view text);

/// The packed time of `text` when it is exactly "HH:MM:SS" with HH 00..23,
/// MM 00..59 and SS 00..60 (a leap second), else kNoTime.
std::uint32_t parseTime(std::string_view text);

/// Longest text that writeDate and writeTime put out.
inline constexpr std::size_t kMaxStampLength = 10;

/// Write "YYYY-MM-DD" of a packed date, or "HH:MM:SS" of a packed time, at
/// `out` (nothing for kNoDate or kNoTime) and return the end.
/// REQUIRES: room for kMaxStampLength bytes.
char* writeDate(char* out, std::uint32_t date);
char* writeTime(char* out, std::uint32_t time);

/// "YYYY-MM-DD" of a packed date; "" for kNoDate.
std::string formatDate(std::uint32_t date);

/// One counted match as read, in 40 bytes: enough to count it again, alone
/// or with others, and to list it. The players are those of its pair: player
/// 1 is pair->players[player1IsSide1 ? 1 : 0].
struct MatchEntry {
  const PairRecord* pair = nullptr;
  std::uint32_t session = 0;  // ordinal among the sessions the log counts
  std::uint32_t date = kNoDate;
  std::uint32_t time = kNoTime;
  std::int32_t player1Rounds = 0;
  std::int32_t player2Rounds = 0;
  std::int32_t seconds = 0;
  std::uint8_t character1 = 0;
  std::uint8_t character2 = 0;
  std::uint8_t winner = 0;  // 1 or 2; 0 for any other number (a loss for both)
  bool player1IsSide1 = false;
};

// What a filtered run costs per match, as README and the man page say.
static_assert(sizeof(void*) != 8 || sizeof(MatchEntry) == 40);

/// The counted matches of a log in log order. A deque, filtered in place by
/// keepMatches: it grows without a moment that holds an old and a new copy,
/// and needs no list of the kept entries, so a filtered run's peak memory
/// is the log's entries and little more.
using MatchLog = std::deque<MatchEntry>;

/// The match entry of `match`, counted in session `ordinal` of `session`
/// with the given date and time.
MatchEntry makeMatchEntry(const MatchRecords& session, std::uint32_t ordinal,
                          const MatchResult& match, std::uint32_t date,
                          std::uint32_t time);

/// One match seen from one of its players: a match a player plays against
/// himself has two such sides, player 1's first.
struct MatchSide {
  const MatchEntry* entry = nullptr;
  const PlayerRecord* opponent = nullptr;
  int ownCharacter = 0;
  int opposingCharacter = 0;
  bool won = false;
  std::int32_t ownRounds = 0;
  std::int32_t opposingRounds = 0;
};

/// Calls visit(const MatchSide&) for each side of `entry` that `player`
/// plays: none, one, or two when he met himself.
template <typename Visit>
void forEachSide(const MatchEntry& entry, const PlayerRecord& player,
                 Visit&& visit) {
  const int side1 = entry.player1IsSide1 ? 1 : 0;
  const PlayerRecord* const player1 = entry.pair->players[side1];
  const PlayerRecord* const player2 = entry.pair->players[1 - side1];
  if (player1 == &player) {
    visit(MatchSide{&entry, player2, entry.character1, entry.character2,
                    entry.winner == 1, entry.player1Rounds,
                    entry.player2Rounds});
  }
  if (player2 == &player) {
    visit(MatchSide{&entry, player1, entry.character2, entry.character1,
                    entry.winner == 2, entry.player2Rounds,
                    entry.player1Rounds});
  }
}

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_MATCH_LOG_H_
