#include "stats/arena.h"

#include <cstdint>
#include <cstdlib>

namespace sessionstats {

// calloc of a block this large maps fresh pages from the kernel, which are
// zero already and cost no memory until written.
void* Arena::allocate(std::size_t bytes, std::size_t alignment) {
  const auto misalignment = reinterpret_cast<std::uintptr_t>(next_) % alignment;
  std::size_t padding = misalignment == 0 ? 0 : alignment - misalignment;
  if (next_ == nullptr ||
      static_cast<std::size_t>(end_ - next_) < padding + bytes) {
    auto* block = static_cast<std::byte*>(std::calloc(kBlockBytes, 1));
    if (block == nullptr) throw std::bad_alloc();
    blocks_.emplace_back(block);
    next_ = block;
    end_ = block + kBlockBytes;
    padding = 0;  // calloc aligns for every fundamental type
  }
  std::byte* piece = next_ + padding;
  next_ = piece + bytes;
  return piece;
}

void Arena::BlockFree::operator()(std::byte* block) const { std::free(block); }

}  // namespace sessionstats
