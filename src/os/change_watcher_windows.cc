// Windows: no way to be told of a file's changes is used; the watcher looks.
#include "os/change_watcher.h"

namespace sessionstats {

std::unique_ptr<ChangeWatcher> watchForChanges(const std::string& path,
                                               OutputWatch output) {
  return pollForChanges(path, output);
}

}  // namespace sessionstats
