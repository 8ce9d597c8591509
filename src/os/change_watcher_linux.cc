// Linux: inotify tells of changes.
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
    watchFile();
    const bool go = stops_.wait(fd_, limit);
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
  NotedInterrupts stops_;
};

}  // namespace

std::unique_ptr<ChangeWatcher> watchForChanges(const std::string& path) {
  auto watcher = std::make_unique<InotifyWatcher>(path);
  if (watcher->start()) return watcher;
  watcher.reset();  // its signal handling ends before the fallback's begins
  return pollForChanges(path);
}

}  // namespace sessionstats
