#ifndef SESSION_STATS_LOG_SESSION_LOG_READER_H_
#define SESSION_STATS_LOG_SESSION_LOG_READER_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "stats/match_log.h"
#include "stats/session_history.h"
#include "stats/stats_records.h"

namespace sessionstats {

/// What one log line is, read once. The views point into the line.
struct LogLine {
  enum class Kind : std::uint8_t {
    kNothing,       // says nothing to the reader but, maybe, its stamp
    kSessionStart,  // opens a session of `first` and `second`
    kResult,        // a match result: `match`
    kSessionEnd,    // a results line, or a start line that opens no session
    kAlias,         // `first` is counted under `second` from now on
  };
  Kind kind = Kind::kNothing;
  // The leading tokens that begin with a digit (see skipNumericTokens), with
  // their blanks: the line's date and time when it has them.
  std::string_view stamp;
  std::string_view first;
  std::string_view second;
  MatchResult match;
};

/// Reads the line `text` (without its line end): skips the leading tokens that
/// begin with a digit (see skipNumericTokens), then tells by what follows:
/// - "Session start." with "Players: " first " vs " second: kSessionStart;
///   without both names, or when the second is a name whose sessions are
///   not counted, kSessionEnd (any start line ends the session before it);
/// - a result line (see readResultLine): kResult;
/// - "Session results": kSessionEnd;
/// - "alias " with four double quotes: kAlias, the first quoted text under
///   the second;
/// - anything else: kNothing.
/// Any bytes are accepted; nothing outside `text` is read, nothing allocated.
LogLine parseLine(std::string_view text);

/// Gives meaning to the lines of the session log, one at a time in file
/// order: opens and closes sessions, counts their result lines into
/// `records` and keeps the alias list.
class SessionLogReader {
 public:
  /// REQUIRES: `records` outlives the reader.
  explicit SessionLogReader(StatsRecords& records) : records_(records) {}

  /// Takes the next line of the log, as parseLine read it: a start line
  /// opens a session of its players after aliases, a result line counts
  /// while a session is open, an end closes it, an alias line applies from
  /// the next start line on. However the log was cut into lines and
  /// whichever thread parsed them, this is the one way in. Allocates only to
  /// create records and alias entries. REQUIRES: the views of `line` are
  /// valid for the call.
  void read(const LogLine& line);

  /// The session the lines so far leave open; no players when none is.
  OpenSession openSession() const;

  /// The target of the most recent alias line for `name`, or `name` itself;
  /// the result is not resolved again. The view stays valid until the next
  /// alias line is read, or as long as `name` does.
  std::string_view resolveAlias(std::string_view name) const;

  /// Calls visit(alias, target) for each name the alias lines give, with
  /// the target of its newest alias line, in no particular order.
  template <typename Visit>
  void forEachAlias(const Visit& visit) const {
    for (const auto& [alias, target] : newestTarget_) visit(alias, target);
  }

  /// From the next line on, also appends each counted match to `log`: all of
  /// them, or only those of sessions where `onlyPlayer` (a name after
  /// aliases) plays when given. A line whose first token is a date
  /// "YYYY-MM-DD" (see parseDate) dates the matches from it on, with the
  /// next token as their time when it is one (see parseTime), else none.
  /// REQUIRES: `log` outlives the reader.
  void logMatches(MatchLog& log, const std::optional<std::string>& onlyPlayer);

 private:
  // Hashes std::string and std::string_view alike, so that a lookup by view
  // makes no string.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const {
      return std::hash<std::string_view>()(name);
    }
  };

  void noteStamp(std::string_view stamp);

  StatsRecords& records_;
  bool inSession_ = false;
  MatchRecords session_;  // while inSession_: the session being counted
  std::uint32_t sessionOrdinal_ = 0;  // sessions counted so far
  // Each alias to the target of its newest alias line, which is all a
  // lookup uses: memory grows with the distinct aliases, not with the alias
  // lines, however often a log repeats or changes them.
  std::unordered_map<std::string, std::string, NameHash, std::equal_to<>>
      newestTarget_;
  MatchLog* matchLog_ = nullptr;           // null: matches are only counted
  std::optional<std::string> onlyPlayer_;  // none: every session's matches
  bool logSession_ = false;  // the current session's matches go to matchLog_
  std::uint32_t stampDate_ = kNoDate;  // of the latest dated line
  std::uint32_t stampTime_ = kNoTime;
};

}  // namespace sessionstats

#endif  // SESSION_STATS_LOG_SESSION_LOG_READER_H_
