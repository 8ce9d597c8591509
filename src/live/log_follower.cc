#include "live/log_follower.h"

#include <cerrno>
#include <filesystem>
#include <memory>

#include "live/log_tail.h"
#include "os/console.h"

namespace sessionstats {
namespace {

using Clock = std::chrono::steady_clock;

// Longest wait without a change: a change that the system did not report
// (a log on a network file system, written from another machine) is still
// seen this late at most.
constexpr std::chrono::milliseconds kIdleRecheck{2000};

// A folder at the path is a log that cannot be found, as a plain run says
// of it; Windows refuses to open one at all, so the errno does not tell.
Status unreadable(const std::string& path, int error) {
  std::error_code failed;
  if (std::filesystem::is_directory(path, failed)) {
    return Status::notFound("could not read " + path, EISDIR);
  }
  return Status::failed("could not read " + path, error);
}

// Figures that fall back (an all-time record of 8 wins, then 1) are
// explained; a log back after it went missing was announced already.
void sayRestarted(const std::string& path, std::ostream& err) {
  err << kMessagePrefix << path
      << " was truncated or replaced: reading it again from its start\n";
}

// Waits for the log to change, at most `limit`; false when the follow is
// over: an interrupt came, or nobody reads its standard output any more.
bool waitForMore(ChangeWatcher& watcher, std::chrono::milliseconds limit,
                 OutputWatch output) {
  if (!watcher.wait(limit)) return false;
  return output != OutputWatch::kStandardOutput || !standardOutputReaderGone(0);
}

}  // namespace

Status followLog(const std::string& path, FollowTarget& target,
                 std::ostream& err, OutputWatch output,
                 const std::function<void()>& wrote) {
  // Made first, so that a stop signal during the first read is held too.
  const std::unique_ptr<ChangeWatcher> watcher = watchForChanges(path, output);
  LogTail tail(path);
  bool saidMissing = false;
  bool pending = true;  // the output is not written as the records stand
  Clock::time_point lastWrite = Clock::now() - kMinRewriteInterval;
  for (;;) {
    switch (tail.check()) {
      case TailCheck::kMissing:
        if (!saidMissing) {
          err << kMessagePrefix << "waiting for the log " << path << '\n';
          saidMissing = true;
        }
        break;
      case TailCheck::kFailed:
        return unreadable(path, tail.error());
      case TailCheck::kRestart:
        if (!saidMissing) sayRestarted(path, err);
        target.restart();
        pending = true;
        [[fallthrough]];
      case TailCheck::kSame:
        saidMissing = false;
        if (!tail.readAppended(
                [&target](std::string_view line) { target.line(line); })) {
          return unreadable(path, tail.error());
        }
        pending = target.changed() || pending;
        break;
    }
    std::chrono::milliseconds limit = kIdleRecheck;
    if (pending) {
      const Clock::time_point now = Clock::now();
      const Clock::time_point due = lastWrite + kMinRewriteInterval;
      if (now >= due) {
        if (Status status = target.write(); !status.ok()) return status;
        wrote();
        pending = false;
        lastWrite = now;
      } else {
        limit = std::chrono::ceil<std::chrono::milliseconds>(due - now);
      }
    }
    if (!waitForMore(*watcher, limit, output)) return Status();
  }
}

}  // namespace sessionstats
