#ifndef SESSION_STATS_BASE_ORDERED_PIPELINE_H_
#define SESSION_STATS_BASE_ORDERED_PIPELINE_H_

#include <cstddef>

namespace sessionstats {

/// The work of an ordered pipeline: items 0, 1, 2, ... each pass three
/// stages in a slot (0..slots-1) of a ring of buffers that the stages own,
/// one stage at a time, so they need no locks for it.
/// - take(item, slot): reads the item into the free slot; false when there
///   is none (then it is not called again). Calls come one at a time, in
///   item order, on any thread of the pipeline.
/// - make(slot): works on the item, on the thread that took it, alongside
///   the stages of other slots.
/// - use(slot): hands the made item on, on the calling thread, in item
///   order; the slot is free again afterwards.
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

/// Runs every item through its stages, until take says there is none. With
/// kTwo a second thread takes and makes items at most `slots` ahead of the
/// use, and the calling thread helps whenever its next item is not made;
/// with kOne, or without a thread, the calling thread does each item in
/// turn. Either way use sees the same items in order. The first exception
/// of any stage stops the pipeline and is rethrown here. REQUIRES: slots > 0.
void runOrderedPipeline(PipelineStages& stages, std::size_t slots,
                        PipelineThreads threads);

}  // namespace sessionstats

#endif  // SESSION_STATS_BASE_ORDERED_PIPELINE_H_
