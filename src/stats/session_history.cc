#include "stats/session_history.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <iterator>
#include <map>
#include <string>
#include <utility>

namespace sessionstats {
namespace {

// The opponent of `player` in `open`, when he plays in it and the opponent
// passes filter.opponent.
const PlayerRecord* currentOpponent(const PlayerRecord& player,
                                    const OpenSession& open,
                                    const MatchFilter& filter) {
  if (open.player1 != &player && open.player2 != &player) return nullptr;
  const PlayerRecord* opponent =
      open.player1 == &player ? open.player2 : open.player1;
  if (filter.opponent && opponent->name != *filter.opponent) return nullptr;
  return opponent;
}

// Counts the match of `side` and its rounds, wrapping around.
void addToScore(Score& score, const MatchSide& side) {
  addWrapping(side.won ? score.matchWins : score.matchLosses, 1);
  addWrapping(score.roundWins, side.ownRounds);
  addWrapping(score.roundLosses, side.opposingRounds);
}

void addToSession(SessionSummary& session, const MatchSide& side) {
  addToScore(session, side);
  addWrapping(session.seconds, side.entry->seconds);
  session.ownCharacters |= std::uint32_t{1} << side.ownCharacter;
  session.opposingCharacters |= std::uint32_t{1} << side.opposingCharacter;
}

void addToStreaks(Streaks& streaks, bool won) {
  if (streaks.current == 0 || streaks.currentIsWinning != won) {
    streaks.current = 0;
    streaks.currentIsWinning = won;
  }
  ++streaks.current;
  std::int64_t& longest = won ? streaks.longestWinning : streaks.longestLosing;
  longest = std::max(longest, streaks.current);
}

void addToCurrent(CurrentSession& current, const PlayerRecord& opponent,
                  std::uint32_t ordinal, const MatchSide& side) {
  if (side.opponent == &opponent) {
    addWrapping(side.won ? current.recordWins : current.recordLosses, 1);
  }
  if (side.entry->session != ordinal) return;
  addToScore(current, side);
  std::vector<int>& characters = current.characters;
  if (std::find(characters.begin(), characters.end(), side.ownCharacter) ==
      characters.end()) {
    characters.push_back(side.ownCharacter);
  }
}

// "YYYY-MM-DD" of the Monday of the week of the packed date `date`.
std::string weekStart(std::uint32_t date) {
  constexpr std::uint32_t kYearScale = 10000;
  constexpr std::uint32_t kMonthScale = 100;
  const std::chrono::sys_days day = std::chrono::year_month_day{
      std::chrono::year(static_cast<int>(date / kYearScale)),
      std::chrono::month(date / kMonthScale % kMonthScale),
      std::chrono::day(date % kMonthScale)};
  const std::chrono::year_month_day monday{
      day - (std::chrono::weekday(day) - std::chrono::Monday)};
  return formatDate(static_cast<std::uint32_t>(
      static_cast<int>(monday.year()) * kYearScale +
      static_cast<unsigned>(monday.month()) * kMonthScale +
      static_cast<unsigned>(monday.day())));
}

// The label of the group of the packed date `packed` for `step`: its
// Monday, or its date's "YYYY-MM" or "YYYY".
std::string groupLabel(TimeStep step, std::uint32_t packed) {
  constexpr std::size_t kMonthLength = 7;
  constexpr std::size_t kYearLength = 4;
  if (step == TimeStep::kWeek) return weekStart(packed);
  return formatDate(packed).substr(
      0, step == TimeStep::kMonth ? kMonthLength : kYearLength);
}

void addSession(ResultPoint& point, const SessionSummary& session) {
  ++point.sessions;
  addWrapping(point.wins, session.matchWins);
  addWrapping(point.losses, session.matchLosses);
}

bool hasMatch(const SessionSummary& session) {
  return session.matchWins != 0 || session.matchLosses != 0;
}

std::vector<ResultPoint> groupedPoints(const SessionHistory& history,
                                       TimeStep step) {
  std::map<std::string, ResultPoint> groups;
  for (const SessionSummary& session : history.sessions) {
    if (session.date == kNoDate || !hasMatch(session)) continue;
    addSession(groups[groupLabel(step, session.date)], session);
  }
  std::vector<ResultPoint> points;
  points.reserve(groups.size());
  for (auto& [label, point] : groups) {
    point.label = label;
    points.push_back(std::move(point));
  }
  return points;
}

}  // namespace

// The last results go round a ring: the log may hold millions of matches.
SessionHistory buildSessionHistory(const PlayerRecord& player,
                                   const MatchLog& matches,
                                   const OpenSession& open,
                                   const MatchFilter& filter) {
  SessionHistory history;
  history.filters = describeFilter(filter);
  const PlayerRecord* opponent = currentOpponent(player, open, filter);
  // The session shown: the one in progress, else the last one he played,
  // summed up in the same pass.
  std::uint32_t shown = open.ordinal;
  std::optional<CurrentSession>* summary = &history.current;
  if (opponent == nullptr && !matches.empty()) {
    const MatchEntry& lastMatch = matches.back();
    const auto& players = lastMatch.pair->players;
    opponent = players[0] == &player ? players[1] : players[0];
    shown = lastMatch.session;
    summary = &history.last;
  }
  if (opponent != nullptr) summary->emplace().opponent = opponent->name;
  // A long log holds tens of thousands of sessions: room for exactly them
  // spares the copies, and the memory, of a growing vector.
  std::size_t sessions = 0;
  for (auto entry = matches.begin(); entry != matches.end(); ++entry) {
    if (entry == matches.begin() ||
        entry->session != std::prev(entry)->session) {
      ++sessions;
    }
  }
  history.sessions.reserve(sessions);
  std::array<bool, kLastResultCount> ring{};
  std::size_t results = 0;
  for (const MatchEntry& entry : matches) {
    if (history.sessions.empty() ||
        history.sessions.back().ordinal != entry.session) {
      SessionSummary& session = history.sessions.emplace_back();
      session.ordinal = entry.session;
      session.date = entry.date;
      session.time = entry.time;
      const auto& players = entry.pair->players;
      session.opponent =
          (players[0] == &player ? players[1] : players[0])->name;
    }
    forEachSide(entry, player, [&](const MatchSide& side) {
      addToSession(history.sessions.back(), side);
      addToStreaks(history.streaks, side.won);
      ring[results % kLastResultCount] = side.won;
      ++results;
      if (opponent != nullptr) addToCurrent(**summary, *opponent, shown, side);
    });
  }
  if (*summary) {
    CurrentSession& current = **summary;
    current.streak = history.streaks.current;
    current.streakIsWinning = history.streaks.currentIsWinning;
    const std::size_t kept = std::min(results, kLastResultCount);
    for (std::size_t i = results - kept; i < results; ++i) {
      current.lastResults.push_back(ring[i % kLastResultCount]);
    }
  }
  return history;
}

ResultSeries resultsOverTime(const SessionHistory& history,
                             std::size_t maxPoints) {
  ResultSeries series;
  if (history.sessions.size() <= maxPoints) {
    for (const SessionSummary& session : history.sessions) {
      if (!hasMatch(session)) continue;
      ResultPoint point;
      point.label = std::to_string(session.ordinal);
      if (session.date != kNoDate) {
        point.detail = formatDate(session.date) + ", ";
      }
      point.detail += "vs ";
      point.detail += session.opponent;
      addSession(point, session);
      series.points.push_back(std::move(point));
    }
    return series;
  }
  for (const TimeStep step :
       {TimeStep::kWeek, TimeStep::kMonth, TimeStep::kYear}) {
    series.step = step;
    series.points = groupedPoints(history, step);
    if (series.points.size() <= maxPoints) break;
  }
  return series;
}

std::vector<double> movingWinPercent(const std::vector<ResultPoint>& points,
                                     std::size_t span) {
  std::vector<double> percents;
  for (std::size_t i = 0; i < points.size(); ++i) {
    std::int64_t wins = 0;
    std::int64_t matches = 0;
    for (std::size_t j = i + 1 - std::min(i + 1, span); j <= i; ++j) {
      const std::int64_t won = std::max(points[j].wins, 0);
      wins += won;
      matches += won + std::max(points[j].losses, 0);
    }
    percents.push_back(matches == 0 ? 0
                                    : 100.0 * static_cast<double>(wins) /
                                          static_cast<double>(matches));
  }
  return percents;
}

}  // namespace sessionstats
