#include "base/ordered_pipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <stdexcept>
#include <thread>
#include <vector>

namespace sessionstats {
namespace {

// Items 0..count-1: take writes the item into its slot, make squares it
// (yielding now and then, so that the threads overtake each other), use
// appends it. Throws from the stage and item given.
class Squares final : public PipelineStages {
 public:
  enum class Stage { kNone, kTake, kMake, kUse };

  Squares(std::size_t count, std::size_t slots, Stage failIn = Stage::kNone,
          std::size_t failAt = 0)
      : count_(count), slots_(slots), failIn_(failIn), failAt_(failAt) {}

  bool take(std::size_t item, std::size_t slot) override {
    ++taken;
    if (item == count_) return false;
    failIf(Stage::kTake, item);
    slots_[slot] = item;
    return true;
  }
  void make(std::size_t slot) override {
    failIf(Stage::kMake, slots_[slot]);
    if (slots_[slot] % 7 == 0) std::this_thread::yield();
    slots_[slot] *= slots_[slot];
  }
  void use(std::size_t slot) override {
    used.push_back(slots_[slot]);
    failIf(Stage::kUse, used.size() - 1);
  }

  std::vector<std::size_t> used;
  std::atomic<std::size_t> taken = 0;

 private:
  void failIf(Stage stage, std::size_t item) const {
    if (stage == failIn_ && item == failAt_) throw std::runtime_error("stage");
  }

  std::size_t count_;
  std::vector<std::size_t> slots_;
  Stage failIn_;
  std::size_t failAt_;
};

std::vector<std::size_t> squares(std::size_t count) {
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < count; ++i) out.push_back(i * i);
  return out;
}

TEST(OrderedPipeline, UsesEveryItemOnceInOrder) {
  for (PipelineThreads threads :
       {PipelineThreads::kOne, PipelineThreads::kTwo}) {
    for (std::size_t slots : {1, 3, 8}) {
      for (std::size_t count : {0, 1, 5, 20'000}) {
        Squares stages(count, slots);
        runOrderedPipeline(stages, slots, threads);
        EXPECT_EQ(stages.used, squares(count)) << slots << " " << count;
        EXPECT_EQ(stages.taken, count + 1);  // the last take says "no more"
      }
    }
  }
}

// Whichever thread a stage fails on, the first exception reaches the caller,
// the items used are a prefix that stops before the failing one, and the
// take stops within a ring of it.
TEST(OrderedPipeline, AnExceptionStopsThePipelineAndReachesTheCaller) {
  using Stage = Squares::Stage;
  constexpr std::size_t kSlots = 4;
  for (PipelineThreads threads :
       {PipelineThreads::kOne, PipelineThreads::kTwo}) {
    for (Stage stage : {Stage::kTake, Stage::kMake, Stage::kUse}) {
      for (std::size_t failAt : {0, 1, 999}) {
        Squares stages(10'000, kSlots, stage, failAt);
        EXPECT_THROW(runOrderedPipeline(stages, kSlots, threads),
                     std::runtime_error);
        const std::size_t usedAtMost =
            stage == Stage::kUse ? failAt + 1 : failAt;
        ASSERT_LE(stages.used.size(), usedAtMost);
        EXPECT_EQ(stages.used, squares(stages.used.size()));
        if (stage == Stage::kUse) {
          EXPECT_EQ(stages.used.size(), failAt + 1);
        }
        EXPECT_LE(stages.taken, failAt + kSlots + 2);
      }
    }
  }
}

}  // namespace
}  // namespace sessionstats
