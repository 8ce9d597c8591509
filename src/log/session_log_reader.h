#ifndef SESSION_STATS_LOG_SESSION_LOG_READER_H_
#define SESSION_STATS_LOG_SESSION_LOG_READER_H_

#include <cstdint>
#include <forward_list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "stats/match_log.h"
#include "stats/stats_records.h"

namespace sessionstats {

/// One alias line: start lines naming `alias` are counted under `target`.
struct AliasEntry {
  std::string alias;
  std::string target;
};

/// The session whose result lines are being counted; `records` is meaningful
/// only while inSession is true.
struct SessionState {
  bool inSession = false;
  MatchRecords records;
  std::uint32_t ordinal = 0;  // as in MatchEntry::session
};

/// What a log line says before any session is looked at: a result line's
/// fields, or the rest (after date and time) of a line that may start or end
/// a session or add an alias. Other lines say nothing to the reader.
struct ParsedLine {
  enum class Kind { kNothing, kResult, kSessionLine };
  Kind kind = Kind::kNothing;
  MatchResult match;      // kResult: the fields of the result line
  std::string_view rest;  // kSessionLine: the line after date and time
};

/// Reads `line` (without its line end) as far as no session state is needed:
/// skips the leading tokens that begin with a digit (see skipNumericTokens),
/// then a result line (see readResultLine) gives kResult, and a rest that
/// begins with 'S' or 'a' gives kSessionLine; anything else, kNothing. Any
/// bytes are accepted; nothing outside `line` is read, nothing allocated.
/// `rest` points into `line`.
ParsedLine parseLine(std::string_view line);

/// Gives meaning to the lines of the session log, one at a time in file
/// order: opens and closes sessions, counts their result lines into
/// `records` and keeps the alias list. A line that fits no kind is ignored.
class SessionLogReader {
 public:
  /// REQUIRES: `records` outlives the reader.
  explicit SessionLogReader(StatsRecords& records) : records_(records) {}

  /// Interprets one line, given without its line end. Leading tokens that
  /// begin with a digit (date, time) are skipped, each with the one blank
  /// after it; the rest is then, in this order of tests, a session start, a
  /// match result (only while a session is active), a "Session results"
  /// line, an alias line, or ignored. A line that does not fit its kind is
  /// ignored; any bytes of any length are accepted, and nothing outside
  /// `line` is read. Allocates only to create records and alias entries.
  void processLine(std::string_view line);

  /// What processLine does with a line once parseLine has read it, for a
  /// reader that reads no match log: the parsing may run ahead, elsewhere.
  /// REQUIRES: !logsMatches(); `line` comes from parseLine, and its `rest`
  /// is still valid.
  void apply(const ParsedLine& line);

  /// The target of the most recently read alias line for `name`, or `name`
  /// itself; the result is not resolved again. The view stays valid as long
  /// as both the reader and `name` do.
  std::string_view resolveAlias(std::string_view name) const;

  const SessionState& session() const { return session_; }

  /// From the next line on, also appends each counted match to `log`: all of
  /// them, or only those of sessions where `onlyPlayer` (a name after
  /// aliases) plays when given. A line whose first token is a date
  /// "YYYY-MM-DD" (see parseDate) dates the matches from it on, with the
  /// next token as their time when it is one (see parseTime), else none.
  /// REQUIRES: `log` outlives the reader.
  void logMatches(MatchLog& log, const std::optional<std::string>& onlyPlayer);

  /// Whether logMatches was called: every line then dates the matches after
  /// it, so each must come through processLine.
  bool logsMatches() const { return matchLog_ != nullptr; }

 private:
  void startSession(std::string_view rest);
  void countMatch(const MatchResult& match);
  void addAlias(std::string_view rest);
  void noteStamp(std::string_view line);

  StatsRecords& records_;
  SessionState session_;
  std::forward_list<AliasEntry> aliases_;  // newest first; never moves
  // Each alias to the target of its newest entry, which is what a scan of
  // aliases_ from the front finds; the views point into aliases_. A log
  // that repeats its alias lines at every client start would otherwise
  // make each start line walk thousands of entries.
  std::unordered_map<std::string_view, std::string_view> newestTarget_;
  std::uint32_t sessionOrdinal_ = 0;  // sessions counted so far
  MatchLog* matchLog_ = nullptr;      // null: matches are only counted
  bool everyPlayer_ = true;           // else only the sessions of onlyPlayer_
  std::string onlyPlayer_;
  bool logSession_ = false;  // the current session's matches go to matchLog_
  std::uint32_t stampDate_ = kNoDate;  // of the latest dated line
  std::uint32_t stampTime_ = kNoTime;
};

}  // namespace sessionstats

#endif  // SESSION_STATS_LOG_SESSION_LOG_READER_H_
