#ifndef SESSION_STATS_OS_BLOCK_MEMORY_H_
#define SESSION_STATS_OS_BLOCK_MEMORY_H_

#include <cstddef>

namespace sessionstats {

/// Size of the blocks the system hands out: one huge page, where the system
/// backs memory with huge pages.
inline constexpr std::size_t kMemoryBlockBytes = std::size_t{1} << 21;

/// A zero-filled block of kMemoryBlockBytes from the system, aligned for any
/// type (a huge page where there are any), or nullptr when there is none.
std::byte* allocateMemoryBlock();

/// Gives back a block of allocateMemoryBlock.
/// REQUIRES: `block` came from allocateMemoryBlock and is not used again.
void freeMemoryBlock(std::byte* block);

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_BLOCK_MEMORY_H_
