#include "log/session_log_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "log/ascii.h"
#include "log/result_line_matcher.h"
#include "stats/character_roster.h"

namespace sessionstats {
namespace {

constexpr std::string_view kSessionStart = "Session start.";
constexpr std::string_view kSessionResults = "Session results";
constexpr std::string_view kAliasPrefix = "alias ";
constexpr std::string_view kPlayersMarker = "Players: ";

// A start line whose second player bears one of these names, exactly as
// written and before any alias, ends the current session and creates
// nothing: such sessions are not counted.
constexpr std::array<std::string_view, 3> kExcludedSecondPlayers = {
    "zv318Rambler", "Practice Dummy", "Debug mode"};

}  // namespace

// The kinds of line begin with different bytes, so the first byte of the
// rest picks the one test that can hold; the order of the tests (start
// line, result line, results line, alias line) cannot change the outcome. A
// result line is read whether or not a session is open: reading it changes
// nothing, and a line outside a session is rare.
ParsedLine parseLine(std::string_view line) {
  ParsedLine parsed;
  const std::string_view rest = skipNumericTokens(line);
  if (rest.empty()) return parsed;
  if (rest.front() == 'P') {
    if (readResultLine(rest, parsed.match)) {
      parsed.kind = ParsedLine::Kind::kResult;
    }
  } else if (rest.front() == 'S' || rest.front() == 'a') {
    parsed.kind = ParsedLine::Kind::kSessionLine;
    parsed.rest = rest;
  }
  return parsed;
}

void SessionLogReader::processLine(std::string_view line) {
  if (matchLog_ != nullptr) noteStamp(line);
  apply(parseLine(line));
}

void SessionLogReader::apply(const ParsedLine& line) {
  switch (line.kind) {
    case ParsedLine::Kind::kResult:
      if (session_.inSession) countMatch(line.match);
      return;
    case ParsedLine::Kind::kSessionLine:
      if (line.rest.starts_with(kSessionStart)) {
        startSession(line.rest);
      } else if (line.rest.starts_with(kSessionResults)) {
        session_.inSession = false;
      } else if (line.rest.starts_with(kAliasPrefix)) {
        addAlias(line.rest);
      }
      return;
    case ParsedLine::Kind::kNothing:
      return;
  }
}

// "Session start." ... "Players: " first " vs " second. Any start line ends
// the session before it; only a complete one with an admitted second player
// opens a new one.
void SessionLogReader::startSession(std::string_view rest) {
  session_.inSession = false;
  const std::size_t marker = rest.find(kPlayersMarker);
  if (marker == std::string_view::npos) return;
  const std::size_t firstBegin = marker + kPlayersMarker.size();
  const std::size_t versus = rest.find(kVersus, firstBegin);
  if (versus == std::string_view::npos) return;
  const std::string_view first = rest.substr(firstBegin, versus - firstBegin);
  const std::string_view second = rest.substr(versus + kVersus.size());
  for (std::string_view excluded : kExcludedSecondPlayers) {
    if (second == excluded) return;
  }

  session_.records = findOrAddMatchRecords(records_, resolveAlias(first),
                                           resolveAlias(second));
  session_.inSession = true;
  session_.ordinal = ++sessionOrdinal_;
  logSession_ =
      matchLog_ != nullptr &&
      (everyPlayer_ || session_.records.player1->name == onlyPlayer_ ||
       session_.records.player2->name == onlyPlayer_);
}

void SessionLogReader::countMatch(const MatchResult& match) {
  recordMatch(records_, session_.records, match);
  if (logSession_) {
    matchLog_->push_back(makeMatchEntry(session_.records, sessionOrdinal_,
                                        match, stampDate_, stampTime_));
  }
}

void SessionLogReader::logMatches(
    MatchLog& log, const std::optional<std::string>& onlyPlayer) {
  matchLog_ = &log;
  everyPlayer_ = !onlyPlayer;
  onlyPlayer_ = onlyPlayer.value_or(std::string());
}

// "YYYY-MM-DD HH:MM:SS rest": the date token ends at a blank or the line's
// end, and so does the time token.
void SessionLogReader::noteStamp(std::string_view line) {
  const std::size_t dateEnd = std::min(line.find(' '), line.size());
  const std::uint32_t date = parseDate(line.substr(0, dateEnd));
  if (date == kNoDate) return;
  stampDate_ = date;
  stampTime_ = kNoTime;
  if (dateEnd == line.size()) return;
  const std::string_view after = line.substr(dateEnd + 1);
  stampTime_ = parseTime(after.substr(0, after.find(' ')));
}

// alias ... "name" ... "target" ...: the first quoted text is counted under
// the second from the next start line on.
void SessionLogReader::addAlias(std::string_view rest) {
  std::size_t quotes[4];
  std::size_t from = 0;
  for (std::size_t& quote : quotes) {
    quote = rest.find('"', from);
    if (quote == std::string_view::npos) return;
    from = quote + 1;
  }
  const std::string_view alias =
      rest.substr(quotes[0] + 1, quotes[1] - quotes[0] - 1);
  const std::string_view target =
      rest.substr(quotes[2] + 1, quotes[3] - quotes[2] - 1);
  // The client repeats its alias lines at every start; one that only says
  // again what the newest entry for its alias says changes no lookup, and
  // storing it would make memory grow with the length of the log.
  const auto newest = newestTarget_.find(alias);
  if (newest != newestTarget_.end() && newest->second == target) return;
  const AliasEntry& entry = aliases_.emplace_front(
      AliasEntry{std::string(alias), std::string(target)});
  newestTarget_.insert_or_assign(entry.alias, entry.target);
}

std::string_view SessionLogReader::resolveAlias(std::string_view name) const {
  const auto found = newestTarget_.find(name);
  return found == newestTarget_.end() ? name : found->second;
}

}  // namespace sessionstats
