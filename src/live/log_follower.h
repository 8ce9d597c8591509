#ifndef SESSION_STATS_LIVE_LOG_FOLLOWER_H_
#define SESSION_STATS_LIVE_LOG_FOLLOWER_H_

#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "os/change_watcher.h"
#include "os/status.h"

namespace sessionstats {

/// Shortest time between two writes of a followed output: lines that come
/// in a burst are written together, a few times a second at most.
inline constexpr std::chrono::milliseconds kMinRewriteInterval{250};

/// What follows a log and is written from it: followLog calls it on its own
/// thread only.
class FollowTarget {
 public:
  virtual ~FollowTarget() = default;
  /// The log starts again (replaced or truncated): forget every line.
  virtual void restart() = 0;
  /// One complete line of the log, without its line end, in log order.
  virtual void line(std::string_view line) = 0;
  /// Whether the lines since the last call change what write() writes.
  virtual bool changed() = 0;
  /// Writes the output whole, or leaves it as it was and says why.
  virtual Status write() = 0;
};

/// Reads the log at `path` into `target`, writes its output, and then
/// follows the log: reads only what was appended (a line without its LF yet
/// waits for it), and writes the output again after lines that change it,
/// at most once per kMinRewriteInterval. A log that shrinks or is replaced
/// is read again from its start after target.restart(), with one line on
/// `err` that says so; a missing log is waited for, with one line on `err`
/// each time it goes missing (the output, once written, stays as it was).
/// Ends when an interrupt (SIGINT, SIGTERM, SIGHUP) comes, ok, after the
/// write in progress; with `output` OutputWatch::kStandardOutput, as soon
/// as standard output's reader has gone, ok; or with the failure of a write,
/// or of reading the log (kNotFound with EISDIR when a folder stands at
/// `path`). Calls `wrote` after each write that succeeded.
Status followLog(
    const std::string& path, FollowTarget& target, std::ostream& err,
    OutputWatch output, const std::function<void()>& wrote = [] {});

}  // namespace sessionstats

#endif  // SESSION_STATS_LIVE_LOG_FOLLOWER_H_
