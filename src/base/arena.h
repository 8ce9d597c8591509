#ifndef SESSION_STATS_BASE_ARENA_H_
#define SESSION_STATS_BASE_ARENA_H_

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include "os/block_memory.h"

namespace sessionstats {

/// Zero-filled memory for records that live as long as the arena, cut side
/// by side from blocks of allocateMemoryBlock, a block at a time.
class Arena {
 public:
  Arena() = default;
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;
  Arena(Arena&&) noexcept = default;
  Arena& operator=(Arena&&) noexcept = default;

  /// A value-initialised T that lives as long as the arena.
  /// REQUIRES: T is trivially destructible and at most a block in size.
  template <typename T>
  T* make() {
    static_assert(std::is_trivially_destructible_v<T>);
    static_assert(sizeof(T) <= kMemoryBlockBytes);
    return new (allocate(sizeof(T), alignof(T))) T();
  }

 private:
  void* allocate(std::size_t bytes, std::size_t alignment);

  struct BlockFree {
    void operator()(std::byte* block) const { freeMemoryBlock(block); }
  };
  std::vector<std::unique_ptr<std::byte, BlockFree>> blocks_;
  std::byte* next_ = nullptr;
  std::byte* end_ = nullptr;
};

}  // namespace sessionstats

#endif  // SESSION_STATS_BASE_ARENA_H_
