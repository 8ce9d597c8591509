// Looking every kPollInterval: the fallback on every platform.
#include "os/change_watcher.h"

#include <algorithm>

#include "os/interrupt.h"

namespace sessionstats {
namespace {

class PollingWatcher final : public ChangeWatcher {
 public:
  bool wait(std::chrono::milliseconds limit) override {
    return stops_.wait(-1, -1, std::min(limit, kPollInterval));
  }

 private:
  NotedInterrupts stops_;
};

}  // namespace

// Its waits are short enough that the caller looks at standard output often.
std::unique_ptr<ChangeWatcher> pollForChanges(const std::string& /*path*/,
                                              OutputWatch /*output*/) {
  return std::make_unique<PollingWatcher>();
}

}  // namespace sessionstats
