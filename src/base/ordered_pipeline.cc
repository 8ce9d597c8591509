#include "base/ordered_pipeline.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "base/thread_annotations.h"

namespace sessionstats {
namespace {

// std::mutex with the attributes that let clang check who holds it.
class CAPABILITY("mutex") Mutex {
 public:
  void lock() ACQUIRE() { mutex_.lock(); }
  void unlock() RELEASE() { mutex_.unlock(); }
  std::mutex& native() { return mutex_; }

 private:
  std::mutex mutex_;
};

class SCOPED_CAPABILITY MutexLock {
 public:
  explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : mutex_(mutex) {
    mutex_.lock();
  }
  ~MutexLock() RELEASE() { mutex_.unlock(); }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

 private:
  Mutex& mutex_;
};

// A condition variable waited on with a held Mutex. Callers wait in a loop
// over a condition of their own, so that the analysis sees each read of
// guarded state under its mutex.
class CondVar {
 public:
  void wait(Mutex& mutex) REQUIRES(mutex) {
    std::unique_lock lock(mutex.native(), std::adopt_lock);
    changed_.wait(lock);
    lock.release();  // the caller still holds the mutex
  }
  void notifyAll() { changed_.notify_all(); }

 private:
  std::condition_variable changed_;
};

// The state the two threads share. Lock order: takeMutex_, then mutex_.
class Ring {
 public:
  enum class Step { kUse, kHelp, kEnd };

  explicit Ring(std::size_t slots) : slots_(slots), made_(slots, false) {}

  // The calling thread: waits for what to do next, which is to use the
  // slot `slot` (kUse), to take and make an item itself (kHelp), or to stop
  // as every item is used or the second thread failed (kEnd).
  Step nextStep(std::size_t& slot) EXCLUDES(mutex_) {
    MutexLock lock(mutex_);
    for (;;) {
      if (failure_) return Step::kEnd;
      slot = used_ % slots_;
      if (made_[slot]) return Step::kUse;
      if (ended_ && used_ == end_) return Step::kEnd;
      if (canClaim()) return Step::kHelp;
      changed_.wait(mutex_);
    }
  }

  // The calling thread, after using the slot nextStep gave it.
  void markUsed() EXCLUDES(mutex_) {
    MutexLock lock(mutex_);
    made_[used_ % slots_] = false;
    ++used_;
    changed_.notifyAll();
  }

  // Either thread: claims the next item when there is a free slot for it,
  // takes it and makes it. False when there was none to claim.
  bool takeAndMake(PipelineStages& stages) EXCLUDES(takeMutex_, mutex_) {
    std::size_t item = 0;
    {
      // Held through take, so that items are taken one at a time, in order.
      MutexLock take(takeMutex_);
      {
        MutexLock lock(mutex_);
        if (!canClaim()) return false;
        item = claimed_;
      }
      const bool taken = stages.take(item, item % slots_);
      MutexLock lock(mutex_);
      if (!taken) {
        ended_ = true;
        end_ = item;
        changed_.notifyAll();
        return false;
      }
      claimed_ = item + 1;
    }
    stages.make(item % slots_);
    MutexLock lock(mutex_);
    made_[item % slots_] = true;
    changed_.notifyAll();
    return true;
  }

  // The second thread: takes and makes items while there are any.
  void runSecond(PipelineStages& stages) EXCLUDES(takeMutex_, mutex_) {
    try {
      while (waitForWork()) takeAndMake(stages);
    } catch (...) {
      MutexLock lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
      changed_.notifyAll();
    }
  }

  // The calling thread has given up: the second one claims nothing more.
  void stop() EXCLUDES(mutex_) {
    MutexLock lock(mutex_);
    stopped_ = true;
    changed_.notifyAll();
  }

  std::exception_ptr failure() EXCLUDES(mutex_) {
    MutexLock lock(mutex_);
    return failure_;
  }

 private:
  bool canClaim() const REQUIRES(mutex_) {
    return !ended_ && !stopped_ && !failure_ && claimed_ < used_ + slots_;
  }

  // Waits until an item can be claimed; false once none ever will be.
  bool waitForWork() EXCLUDES(mutex_) {
    MutexLock lock(mutex_);
    while (!canClaim()) {
      if (ended_ || stopped_ || failure_) return false;
      changed_.wait(mutex_);
    }
    return true;
  }

  const std::size_t slots_;
  Mutex takeMutex_;
  Mutex mutex_;
  CondVar changed_;
  std::vector<bool> made_ GUARDED_BY(mutex_);   // per slot: made, not used
  std::size_t claimed_ GUARDED_BY(mutex_) = 0;  // items taken
  std::size_t used_ GUARDED_BY(mutex_) = 0;     // items used
  std::size_t end_ GUARDED_BY(mutex_) = 0;      // the item take refused
  bool ended_ GUARDED_BY(mutex_) = false;
  bool stopped_ GUARDED_BY(mutex_) = false;
  std::exception_ptr failure_ GUARDED_BY(mutex_);  // the second thread's
};

void runOnOneThread(PipelineStages& stages, std::size_t slots) {
  for (std::size_t item = 0;; ++item) {
    const std::size_t slot = item % slots;
    if (!stages.take(item, slot)) return;
    stages.make(slot);
    stages.use(slot);
  }
}

void runOnTwoThreads(PipelineStages& stages, std::size_t slots) {
  Ring ring(slots);
  std::thread second;
  try {
    second = std::thread([&] { ring.runSecond(stages); });
  } catch (const std::system_error&) {
    // No thread to be had (a process limit): this one does it all.
    runOnOneThread(stages, slots);
    return;
  }
  try {
    for (;;) {
      std::size_t slot = 0;
      const Ring::Step step = ring.nextStep(slot);
      if (step == Ring::Step::kEnd) break;
      if (step == Ring::Step::kUse) {
        stages.use(slot);
        ring.markUsed();
      } else {
        ring.takeAndMake(stages);
      }
    }
  } catch (...) {
    ring.stop();
    second.join();
    throw;
  }
  second.join();
  if (const std::exception_ptr failure = ring.failure()) {
    std::rethrow_exception(failure);
  }
}

}  // namespace

void runOrderedPipeline(PipelineStages& stages, std::size_t slots,
                        PipelineThreads threads) {
  if (threads == PipelineThreads::kOne) {
    runOnOneThread(stages, slots);
  } else {
    runOnTwoThreads(stages, slots);
  }
}

}  // namespace sessionstats
