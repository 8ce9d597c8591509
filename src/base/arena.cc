#include "base/arena.h"

#include <cstdint>

namespace sessionstats {

void* Arena::allocate(std::size_t bytes, std::size_t alignment) {
  const auto misalignment = reinterpret_cast<std::uintptr_t>(next_) % alignment;
  std::size_t padding = misalignment == 0 ? 0 : alignment - misalignment;
  if (next_ == nullptr ||
      static_cast<std::size_t>(end_ - next_) < padding + bytes) {
    std::byte* const block = allocateMemoryBlock();
    if (block == nullptr) throw std::bad_alloc();
    blocks_.emplace_back(block);
    next_ = block;
    end_ = block + kMemoryBlockBytes;
    padding = 0;  // a block is aligned for any type
  }
  std::byte* const piece = next_ + padding;
  next_ = piece + bytes;
  return piece;
}

}  // namespace sessionstats
