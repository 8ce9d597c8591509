#ifndef SESSION_STATS_OS_CHANGE_WATCHER_H_
#define SESSION_STATS_OS_CHANGE_WATCHER_H_

#include <chrono>
#include <memory>
#include <string>

namespace sessionstats {

/// How often a watcher that cannot be told of changes looks for them.
inline constexpr std::chrono::milliseconds kPollInterval{100};

/// Waits for a followed file to change, or for the user to stop.
class ChangeWatcher {
 public:
  virtual ~ChangeWatcher() = default;

  /// Returns once the file at the watched path may have changed (or for no
  /// reason: the caller looks) or `limit` has passed; false, at once, once
  /// an interrupt has come.
  virtual bool wait(std::chrono::milliseconds limit) = 0;
};

/// Whether a wait also returns, true, once standard output's reader has
/// gone, where the system tells of it (else the caller sees it at most
/// kPollInterval later).
enum class OutputWatch { kNone, kStandardOutput };

/// A watcher of `path`, told of changes by the system where it can be
/// (inotify), else looking every kPollInterval. It holds a NotedInterrupts.
/// REQUIRES: one watcher at a time; no other thread.
std::unique_ptr<ChangeWatcher> watchForChanges(const std::string& path,
                                               OutputWatch output);

/// A watcher that always looks every kPollInterval: the fallback.
std::unique_ptr<ChangeWatcher> pollForChanges(const std::string& path,
                                              OutputWatch output);

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_CHANGE_WATCHER_H_
