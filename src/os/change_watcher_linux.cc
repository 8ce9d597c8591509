// Linux: inotify tells of changes.
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <string>

#include "os/change_watcher.h"
#include "os/interrupt.h"

namespace sessionstats {
namespace {

// The file's own watch sees it written and truncated; the folder's sees a
// file created, moved in or out, or removed at the path, so a replaced or
// recreated log is seen too. The file's watch is made again before each
// wait, since the file at the path may be another one by then. Standard
// output, when watched and open, ends a wait with an error or a hang-up:
// a pipe's writing end has one once its reader is gone.
class InotifyWatcher final : public ChangeWatcher {
 public:
  InotifyWatcher(const std::string& path, OutputWatch output)
      : path_(path),
        output_(output == OutputWatch::kStandardOutput &&
                        ::fcntl(STDOUT_FILENO, F_GETFD) != -1
                    ? STDOUT_FILENO
                    : -1) {}
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
    watchFile();
    const bool go = stops_.wait(fd_, output_, limit);
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
  int output_;
  int fd_ = -1;
  NotedInterrupts stops_;
};

}  // namespace

std::unique_ptr<ChangeWatcher> watchForChanges(const std::string& path,
                                               OutputWatch output) {
  auto watcher = std::make_unique<InotifyWatcher>(path, output);
  if (watcher->start()) return watcher;
  watcher.reset();  // its signal handling ends before the fallback's begins
  return pollForChanges(path, output);
}

}  // namespace sessionstats
