#include "log/session_log_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "log/result_line_matcher.h"

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

// "Session start." ... "Players: " first " vs " second.
void readStartLine(std::string_view rest, LogLine& line) {
  line.kind = LogLine::Kind::kSessionEnd;
  const std::size_t marker = rest.find(kPlayersMarker);
  if (marker == std::string_view::npos) return;
  const std::size_t firstBegin = marker + kPlayersMarker.size();
  const std::size_t versus = rest.find(kVersus, firstBegin);
  if (versus == std::string_view::npos) return;
  const std::string_view second = rest.substr(versus + kVersus.size());
  for (std::string_view excluded : kExcludedSecondPlayers) {
    if (second == excluded) return;
  }
  line.kind = LogLine::Kind::kSessionStart;
  line.first = rest.substr(firstBegin, versus - firstBegin);
  line.second = second;
}

// alias ... "name" ... "target" ...
void readAliasLine(std::string_view rest, LogLine& line) {
  std::size_t quotes[4];
  std::size_t from = 0;
  for (std::size_t& quote : quotes) {
    quote = rest.find('"', from);
    if (quote == std::string_view::npos) return;
    from = quote + 1;
  }
  line.kind = LogLine::Kind::kAlias;
  line.first = rest.substr(quotes[0] + 1, quotes[1] - quotes[0] - 1);
  line.second = rest.substr(quotes[2] + 1, quotes[3] - quotes[2] - 1);
}

}  // namespace

// The kinds of line begin with different bytes, so the first byte after the
// stamp picks the one reading that can hold. A result line is read whether
// or not a session is open: reading it changes nothing, and a line outside a
// session is rare.
LogLine parseLine(std::string_view text) {
  LogLine line;
  const std::string_view rest = skipNumericTokens(text);
  line.stamp = text.substr(0, text.size() - rest.size());
  if (rest.empty()) return line;
  switch (rest.front()) {
    case 'P':
      if (readResultLine(rest, line.match)) line.kind = LogLine::Kind::kResult;
      break;
    case 'S':
      if (rest.starts_with(kSessionStart)) {
        readStartLine(rest, line);
      } else if (rest.starts_with(kSessionResults)) {
        line.kind = LogLine::Kind::kSessionEnd;
      }
      break;
    case 'a':
      if (rest.starts_with(kAliasPrefix)) readAliasLine(rest, line);
      break;
    default:
      break;
  }
  return line;
}

void SessionLogReader::read(const LogLine& line) {
  if (matchLog_ != nullptr) noteStamp(line.stamp);
  switch (line.kind) {
    case LogLine::Kind::kSessionStart:
      session_ = findOrAddMatchRecords(records_, resolveAlias(line.first),
                                       resolveAlias(line.second));
      inSession_ = true;
      ++sessionOrdinal_;
      logSession_ = matchLog_ != nullptr &&
                    (!onlyPlayer_ || session_.player1->name == *onlyPlayer_ ||
                     session_.player2->name == *onlyPlayer_);
      return;
    case LogLine::Kind::kResult:
      if (!inSession_) return;
      recordMatch(records_, session_, line.match);
      if (logSession_) {
        matchLog_->push_back(makeMatchEntry(
            session_, sessionOrdinal_, line.match, stampDate_, stampTime_));
      }
      return;
    case LogLine::Kind::kSessionEnd:
      inSession_ = false;
      return;
    case LogLine::Kind::kAlias:
      if (const auto found = newestTarget_.find(line.first);
          found != newestTarget_.end()) {
        found->second.assign(line.second);
      } else {
        newestTarget_.emplace(line.first, line.second);
      }
      return;
    case LogLine::Kind::kNothing:
      return;
  }
}

OpenSession SessionLogReader::openSession() const {
  if (!inSession_) return {};
  return {sessionOrdinal_, session_.player1, session_.player2};
}

void SessionLogReader::logMatches(
    MatchLog& log, const std::optional<std::string>& onlyPlayer) {
  matchLog_ = &log;
  onlyPlayer_ = onlyPlayer;
}

// "YYYY-MM-DD HH:MM:SS ": each token ends at a blank or the stamp's end. A
// date and a time both begin with a digit, so the stamp holds them whenever
// the line begins with them.
void SessionLogReader::noteStamp(std::string_view stamp) {
  const std::string_view date = stamp.substr(0, stamp.find(' '));
  const std::uint32_t packed = parseDate(date);
  if (packed == kNoDate) return;
  stampDate_ = packed;
  stampTime_ = kNoTime;
  if (date.size() == stamp.size()) return;
  const std::string_view after = stamp.substr(date.size() + 1);
  stampTime_ = parseTime(after.substr(0, after.find(' ')));
}

std::string_view SessionLogReader::resolveAlias(std::string_view name) const {
  const auto found = newestTarget_.find(name);
  return found == newestTarget_.end() ? std::string_view(name)
                                      : std::string_view(found->second);
}

}  // namespace sessionstats
