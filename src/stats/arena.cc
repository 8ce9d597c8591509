#include "stats/arena.h"

#include <sys/mman.h>

#include <cstdint>

namespace sessionstats {
namespace {

// Zeroed memory straight from the kernel, or nullptr.
std::byte* mapPages(std::size_t bytes) {
  void* pages = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return pages == MAP_FAILED ? nullptr : static_cast<std::byte*>(pages);
}

}  // namespace

// A block is a huge page, mapped twice its size to cut an aligned one out of
// it, and asked to be backed by one: a log's matches touch their pairs all
// over the arena, and with 4 KiB pages each first touch costs a page fault
// and many a touch a TLB miss.
void* Arena::allocate(std::size_t bytes, std::size_t alignment) {
  const auto misalignment = reinterpret_cast<std::uintptr_t>(next_) % alignment;
  std::size_t padding = misalignment == 0 ? 0 : alignment - misalignment;
  if (next_ == nullptr ||
      static_cast<std::size_t>(end_ - next_) < padding + bytes) {
    std::byte* const mapped = mapPages(2 * kBlockBytes);
    if (mapped == nullptr) throw std::bad_alloc();
    const auto address = reinterpret_cast<std::uintptr_t>(mapped);
    const std::size_t head =
        (kBlockBytes - address % kBlockBytes) % kBlockBytes;
    if (head != 0) munmap(mapped, head);
    munmap(mapped + head + kBlockBytes, kBlockBytes - head);
    std::byte* const block = mapped + head;
    // Only advice: without huge pages the block works the same.
    madvise(block, kBlockBytes, MADV_HUGEPAGE);
    blocks_.emplace_back(block);
    next_ = block;
    end_ = block + kBlockBytes;
    padding = 0;  // a block is aligned for any type
  }
  std::byte* const piece = next_ + padding;
  next_ = piece + bytes;
  return piece;
}

void Arena::BlockFree::operator()(std::byte* block) const {
  munmap(block, kBlockBytes);
}

}  // namespace sessionstats
