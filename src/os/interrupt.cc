#include "os/interrupt.h"

#include <atomic>
#include <utility>

namespace sessionstats {
namespace {

// What a handler reads: only lock-free atomics, which a signal handler may
// touch.
std::atomic<InterruptAction> action{InterruptAction::kEnd};
std::atomic<bool> noted{false};
// The file to remove, and how many handlers are reading its name: the owner
// of the name waits for them before it frees the name.
std::atomic<const char*> fileToRemove{nullptr};
std::atomic<int> handlersReading{0};

static_assert(std::atomic<InterruptAction>::is_always_lock_free);
static_assert(std::atomic<const char*>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);

}  // namespace

void handleInterrupts(InterruptAction newAction) {
  action.store(newAction);
  installInterruptHandler();
}

bool interrupted() { return noted.load(); }

bool answerInterrupt(void (*removeFile)(const char* path)) {
  handlersReading.fetch_add(1);
  if (const char* path = fileToRemove.load()) removeFile(path);
  handlersReading.fetch_sub(1);
  if (action.load() == InterruptAction::kEnd) return false;
  noted.store(true);
  return true;
}

RemoveOnInterrupt::RemoveOnInterrupt(std::string path)
    : path_(std::move(path)) {
  fileToRemove.store(path_.c_str());
}

RemoveOnInterrupt::~RemoveOnInterrupt() {
  fileToRemove.store(nullptr);
  // A handler that read the name before it was cleared may still use it.
  while (handlersReading.load() != 0) {
  }
}

}  // namespace sessionstats
