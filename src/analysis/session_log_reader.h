#ifndef SESSION_STATS_ANALYSIS_SESSION_LOG_READER_H_
#define SESSION_STATS_ANALYSIS_SESSION_LOG_READER_H_

#include <forward_list>
#include <string_view>

#include "analysis/stats_records.h"

namespace sessionstats {

/// Gives meaning to the lines of the session log, one at a time in file
/// order: opens and closes sessions, counts their result lines into
/// `players` and keeps the alias list. A line that fits no kind is ignored.
class SessionLogReader {
 public:
  /// REQUIRES: `players` outlives the reader.
  explicit SessionLogReader(PlayerList& players) : players_(players) {}

  /// Interprets one line, given without its line end. Any bytes are accepted.
  void processLine(std::string_view line);

  /// The target of the most recently read alias line for `name`, or `name`
  /// itself; the result is not resolved again. The view stays valid as long
  /// as both the reader and `name` do.
  std::string_view resolveAlias(std::string_view name) const;

  const SessionState& session() const { return session_; }

 private:
  PlayerList& players_;
  SessionState session_;
  std::forward_list<AliasEntry> aliases_;  // newest first
};

}  // namespace sessionstats

#endif  // SESSION_STATS_ANALYSIS_SESSION_LOG_READER_H_
