// Linux: inotify tells of changes; ppoll lets the held interrupts in only
// while waiting.
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <string_view>

#include "os/change_watcher.h"
#include "os/interrupt.h"

namespace sessionstats {
namespace {

// The interrupts that handleInterrupts handles.
constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

// From construction to destruction, an interrupt is only noted (see
// InterruptAction::kNote), and it is blocked but during a wait: one that
// comes while the caller works (writing the output, say) waits for the next
// wait, so no temporary file is ever there for it to remove.
class StopSignals {
 public:
  StopSignals() {
    handleInterrupts(InterruptAction::kNote);
    sigset_t interrupts;
    sigemptyset(&interrupts);
    for (const int signal : kInterrupts) sigaddset(&interrupts, signal);
    sigprocmask(SIG_BLOCK, &interrupts, &blocked_);
    waiting_ = blocked_;
    for (const int signal : kInterrupts) sigdelset(&waiting_, signal);
  }
  ~StopSignals() {
    sigprocmask(SIG_SETMASK, &blocked_, nullptr);
    handleInterrupts(InterruptAction::kEnd);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Waits on `fds` for at most `limit` with the interrupts let in; false
  // once one has come.
  bool wait(pollfd* fds, nfds_t count, std::chrono::milliseconds limit) {
    if (interrupted()) return false;
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(limit);
    const timespec timeout{
        static_cast<std::time_t>(seconds.count()),
        static_cast<long>(std::chrono::nanoseconds(limit - seconds).count())};
    ppoll(fds, count, &timeout, &waiting_);
    return !interrupted();
  }

 private:
  sigset_t blocked_{};  // the mask before, which the destructor restores
  sigset_t waiting_{};  // that mask with the interrupts let in
};

class PollingWatcher final : public ChangeWatcher {
 public:
  bool wait(std::chrono::milliseconds limit) override {
    return stops_.wait(nullptr, 0, std::min(limit, kPollInterval));
  }

 private:
  StopSignals stops_;
};

// The file's own watch sees it written and truncated; the folder's sees a
// file created, moved in or out, or removed at the path, so a replaced or
// recreated log is seen too. The file's watch is made again before each
// wait, since the file at the path may be another one by then.
class InotifyWatcher final : public ChangeWatcher {
 public:
  explicit InotifyWatcher(const std::string& path) : path_(path) {}
  ~InotifyWatcher() override {
    if (fd_ >= 0) ::close(fd_);
  }
  InotifyWatcher(const InotifyWatcher&) = delete;
  InotifyWatcher& operator=(const InotifyWatcher&) = delete;

  // Whether the folder can be watched; if not, polling stands in.
  bool start() {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) return false;
    const std::size_t slash = path_.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                            : path_.substr(0, slash);
    if (inotify_add_watch(fd_, folder.c_str(),
                          IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE |
                              IN_ONLYDIR) < 0) {
      return false;
    }
    watchFile();
    return true;
  }

  bool wait(std::chrono::milliseconds limit) override {
    // Fails while no file is there: the folder's watch sees it come.
    inotify_add_watch(
        fd_, path_.c_str(),
        IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF);
    pollfd events{fd_, POLLIN, 0};
    const bool go = stops_.wait(&events, 1, limit);
    alignas(inotify_event) char drained[4096];
    while (read(fd_, drained, sizeof drained) > 0) {
    }
    return go;
  }

 private:
  // Watches the file now at the path, again when it is one watched already.
  // Fails while no file is there: the folder's watch sees it come.
  void watchFile() {
    inotify_add_watch(
        fd_, path_.c_str(),
        IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF);
  }

  std::string path_;
  int fd_ = -1;
  StopSignals stops_;
};

}  // namespace

std::unique_ptr<ChangeWatcher> watchForChanges(const std::string& path) {
  auto watcher = std::make_unique<InotifyWatcher>(path);
  if (watcher->start()) return watcher;
  watcher.reset();  // its signal handling ends before the fallback's begins
  return pollForChanges(path);
}

std::unique_ptr<ChangeWatcher> pollForChanges(const std::string& /*path*/) {
  return std::make_unique<PollingWatcher>();
}

}  // namespace sessionstats
