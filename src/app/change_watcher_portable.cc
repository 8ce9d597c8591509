// Platforms without a way to be told of file changes: look every
// kPollInterval. A stop signal only sets a flag, so a write in progress
// completes before the next wait sees it.
#include <algorithm>
#include <csignal>
#include <thread>

#include "app/change_watcher.h"

namespace sessionstats {
namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void noteStop(int /*signal*/) { stopRequested = 1; }

class PollingWatcher final : public ChangeWatcher {
 public:
  PollingWatcher() {
    stopRequested = 0;
    previousInterrupt_ = std::signal(SIGINT, noteStop);
    previousTerminate_ = std::signal(SIGTERM, noteStop);
  }
  ~PollingWatcher() override {
    std::signal(SIGINT, previousInterrupt_);
    std::signal(SIGTERM, previousTerminate_);
  }
  PollingWatcher(const PollingWatcher&) = delete;
  PollingWatcher& operator=(const PollingWatcher&) = delete;

  bool wait(std::chrono::milliseconds limit) override {
    if (stopRequested != 0) return false;
    std::this_thread::sleep_for(std::min(limit, kPollInterval));
    return stopRequested == 0;
  }

 private:
  void (*previousInterrupt_)(int) = nullptr;
  void (*previousTerminate_)(int) = nullptr;
};

}  // namespace

std::unique_ptr<ChangeWatcher> watchForChanges(const std::string& path) {
  return pollForChanges(path);
}

std::unique_ptr<ChangeWatcher> pollForChanges(const std::string& /*path*/) {
  return std::make_unique<PollingWatcher>();
}

}  // namespace sessionstats
