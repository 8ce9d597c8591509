#ifndef SESSION_STATS_BASE_ORDERED_PIPELINE_H_
#define SESSION_STATS_BASE_ORDERED_PIPELINE_H_

#include <cstddef>

namespace sessionstats {

/// The work of an ordered pipeline: items numbered 0, 1, 2, ... each pass
/// through three stages, in a slot of a ring of `slots` buffers that the
/// stages own (a slot is an index in 0..slots-1, its buffer is theirs).
///
/// - take(item, slot): reads item `item` into the free `slot`; false when
///   there is no such item (the input has ended), and then it is not called
///   again. Calls are serialised and come in item order, so what only take
///   touches needs no lock of its own; any thread of the pipeline calls it.
/// - make(slot): does the work on the item that take put in `slot`, on the
///   thread that took it; runs alongside take, make and use of other slots.
/// - use(slot): hands the made item on; only the thread that runs the
///   pipeline calls it, in item order. The slot is free again afterwards.
///
/// A slot's buffer belongs to one stage at a time, so the stages need no
/// locks for it; the pipeline orders every hand-over.
class PipelineStages {
 public:
  virtual bool take(std::size_t item, std::size_t slot) = 0;
  virtual void make(std::size_t slot) = 0;
  virtual void use(std::size_t slot) = 0;

 protected:
  ~PipelineStages() = default;
};

/// Threads that run a pipeline: the calling one alone, or it and one more.
enum class PipelineThreads { kOne, kTwo };

/// Runs every item of `stages` through its stages and returns once the last
/// has been used, or take has said there is none. With kTwo a second thread
/// takes and makes items ahead of the use, at most `slots` ahead; the calling
/// thread, whenever its next item is not made yet, takes and makes the next
/// free one itself, so the two share the work as their speeds allow. With
/// kOne, or when no thread can be started, the calling thread runs take,
/// make and use of each item in turn. Either way use sees the same items in
/// the same order.
///
/// An exception from any stage stops the pipeline: no item is taken after
/// it, the second thread is joined and the first exception is rethrown here.
/// REQUIRES: slots > 0.
void runOrderedPipeline(PipelineStages& stages, std::size_t slots,
                        PipelineThreads threads);

}  // namespace sessionstats

#endif  // SESSION_STATS_BASE_ORDERED_PIPELINE_H_
