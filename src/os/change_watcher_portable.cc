// Platforms without a way to be told of file changes: look every
// kPollInterval. An interrupt is only noted (InterruptAction::kNote), and the
// next wait ends the follow.
#include <algorithm>
#include <thread>

#include "os/change_watcher.h"
#include "os/interrupt.h"

namespace sessionstats {
namespace {

class PollingWatcher final : public ChangeWatcher {
 public:
  PollingWatcher() { handleInterrupts(InterruptAction::kNote); }
  ~PollingWatcher() override { handleInterrupts(InterruptAction::kEnd); }
  PollingWatcher(const PollingWatcher&) = delete;
  PollingWatcher& operator=(const PollingWatcher&) = delete;

  bool wait(std::chrono::milliseconds limit) override {
    if (interrupted()) return false;
    std::this_thread::sleep_for(std::min(limit, kPollInterval));
    return !interrupted();
  }
};

}  // namespace

std::unique_ptr<ChangeWatcher> watchForChanges(const std::string& path) {
  return pollForChanges(path);
}

std::unique_ptr<ChangeWatcher> pollForChanges(const std::string& /*path*/) {
  return std::make_unique<PollingWatcher>();
}

}  // namespace sessionstats
