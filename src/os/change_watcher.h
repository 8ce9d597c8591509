#ifndef SESSION_STATS_OS_CHANGE_WATCHER_H_
#define SESSION_STATS_OS_CHANGE_WATCHER_H_

#include <chrono>
#include <memory>
#include <string>

namespace sessionstats {

/// How often a watcher that cannot be told of changes looks for them.
inline constexpr std::chrono::milliseconds kPollInterval{100};

/// Waits for a file to change, or for the user to stop: the platform's part
/// of following a log. One file per platform implements it.
class ChangeWatcher {
 public:
  virtual ~ChangeWatcher() = default;

  /// Returns once the file at the watched path may have changed (written,
  /// truncated, created, replaced or removed), once `limit` has passed, or
  /// at once when an interrupt has come (see interrupted()): false in that
  /// case, and from then on. It may also return without a change; the
  /// caller looks at the file itself.
  virtual bool wait(std::chrono::milliseconds limit) = 0;
};

/// Whether a watcher's waits also keep an eye on standard output.
enum class OutputWatch {
  kNone,
  /// A wait also returns, true, once standard output's reader has gone
  /// (see standardOutputReaderGone) where the system tells of it; else the
  /// caller sees it after the wait, at most kPollInterval later.
  kStandardOutput,
};

/// A watcher of `path`: told of changes by the system where it can be
/// (inotify on Linux, watching the file and its folder), else looking every
/// kPollInterval; with `output`, see OutputWatch. While it exists, interrupts
/// are noted as NotedInterrupts says, and one ends the next wait.
/// REQUIRES: one watcher at a time; no other thread.
std::unique_ptr<ChangeWatcher> watchForChanges(const std::string& path,
                                               OutputWatch output);

/// A watcher like watchForChanges that always looks every kPollInterval:
/// the fallback, on every platform.
std::unique_ptr<ChangeWatcher> pollForChanges(const std::string& path,
                                              OutputWatch output);

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_CHANGE_WATCHER_H_
