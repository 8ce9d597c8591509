#include "stats/match_filter.h"

#include <iterator>
#include <unordered_map>

#include "stats/character_roster.h"

namespace sessionstats {
namespace {

bool sidePasses(const MatchSide& side, const MatchFilter& filter) {
  if (filter.opponent && side.opponent->name != *filter.opponent) {
    return false;
  }
  if (filter.character != kAnyCharacter &&
      side.ownCharacter != filter.character) {
    return false;
  }
  return filter.against == kAnyCharacter ||
         side.opposingCharacter == filter.against;
}

bool datePasses(const MatchEntry& entry, const MatchFilter& filter) {
  if (filter.since == kNoDate && filter.until == kNoDate) return true;
  if (entry.date == kNoDate) return false;
  if (filter.since != kNoDate && entry.date < filter.since) return false;
  return filter.until == kNoDate || entry.date <= filter.until;
}

// Keeps only the matches of the last filter.lastSessions sessions of `log`,
// when set.
void keepLastSessions(MatchLog& log, const MatchFilter& filter) {
  if (!filter.lastSessions) return;
  // The matches of one session are next to each other in log order, so the
  // last N sessions are the tail after the N-th change of ordinal from the
  // end.
  std::uint32_t sessions = 0;
  auto keepFrom = log.end();
  while (keepFrom != log.begin() && sessions != *filter.lastSessions) {
    const std::uint32_t ordinal = std::prev(keepFrom)->session;
    ++sessions;
    while (keepFrom != log.begin() && std::prev(keepFrom)->session == ordinal) {
      --keepFrom;
    }
  }
  log.erase(log.begin(), keepFrom);
}

}  // namespace

void keepMatches(MatchLog& log, const PlayerRecord& player,
                 const MatchFilter& filter) {
  std::erase_if(log, [&](const MatchEntry& entry) {
    if (!datePasses(entry, filter)) return true;
    bool passes = false;
    forEachSide(entry, player, [&](const MatchSide& side) {
      passes = passes || sidePasses(side, filter);
    });
    return !passes;
  });
  keepLastSessions(log, filter);
}

void keepMatchesInWindow(MatchLog& log, const MatchFilter& filter) {
  std::erase_if(log, [&filter](const MatchEntry& entry) {
    return !datePasses(entry, filter);
  });
  keepLastSessions(log, filter);
}

// Each of the player's pairs is mapped once to its pair in `records`, with
// his opponent there; a match then goes to its pair directly, with no lookup
// by name. The matches of a session are next to each other, so most find
// their pair in the one mapped last.
void replayMatches(const PlayerRecord& player, const MatchLog& matches,
                   StatsRecords& records) {
  struct Mapped {
    PairRecord* pair = nullptr;
    PlayerRecord* opponent = nullptr;
  };
  PlayerRecord& owner = findOrAddPlayer(records, player.name);
  std::unordered_map<const PairRecord*, Mapped> mapped;
  mapped.reserve(player.pairs.size());
  for (const PairRecord* pair : player.pairs) {
    const PlayerRecord* other =
        pair->players[0] == &player ? pair->players[1] : pair->players[0];
    PlayerRecord& opponent = findOrAddPlayer(records, other->name);
    mapped[pair] = {&findOrAddOpponent(records, owner, opponent), &opponent};
  }
  const PairRecord* lastPair = nullptr;
  Mapped last;
  for (const MatchEntry& entry : matches) {
    if (entry.pair != lastPair) {
      lastPair = entry.pair;
      last = mapped.at(entry.pair);
    }
    const int side1 = entry.player1IsSide1 ? 1 : 0;
    MatchRecords session;
    session.pair = last.pair;
    session.player1 =
        entry.pair->players[side1] == &player ? &owner : last.opponent;
    session.player2 =
        entry.pair->players[1 - side1] == &player ? &owner : last.opponent;
    session.player1IsSide1 = last.pair->players[0] != session.player1;
    recordMatch(records, session,
                {.winner = entry.winner,
                 .player1Rounds = entry.player1Rounds,
                 .player2Rounds = entry.player2Rounds,
                 .character1 = entry.character1,
                 .character2 = entry.character2,
                 .seconds = entry.seconds});
  }
}

std::vector<std::string> describeFilter(const MatchFilter& filter) {
  std::vector<std::string> texts;
  if (filter.opponent) texts.push_back("opponent " + *filter.opponent);
  if (filter.character != kAnyCharacter) {
    texts.push_back("character " +
                    std::string(kRoster.longName[filter.character]));
  }
  if (filter.against != kAnyCharacter) {
    texts.push_back("against " + std::string(kRoster.longName[filter.against]));
  }
  if (filter.since != kNoDate)
    texts.push_back("since " + formatDate(filter.since));
  if (filter.until != kNoDate)
    texts.push_back("until " + formatDate(filter.until));
  if (filter.lastSessions) {
    texts.push_back("last " + std::to_string(*filter.lastSessions) +
                    (*filter.lastSessions == 1 ? " session" : " sessions"));
  }
  return texts;
}

}  // namespace sessionstats
