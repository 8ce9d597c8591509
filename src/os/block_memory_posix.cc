#include <sys/mman.h>

#include <cstdint>

#include "os/block_memory.h"

namespace sessionstats {

// A block is a huge page, mapped twice its size to cut an aligned one out of
// it, and asked to be backed by one: a log's matches touch their pairs all
// over the arena, and with 4 KiB pages each first touch costs a page fault
// and many a touch a TLB miss.
std::byte* allocateMemoryBlock() {
  void* const pages =
      mmap(nullptr, 2 * kMemoryBlockBytes, PROT_READ | PROT_WRITE,
           MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) return nullptr;
  std::byte* const mapped = static_cast<std::byte*>(pages);
  const auto address = reinterpret_cast<std::uintptr_t>(mapped);
  const std::size_t head =
      (kMemoryBlockBytes - address % kMemoryBlockBytes) % kMemoryBlockBytes;
  if (head != 0) munmap(mapped, head);
  munmap(mapped + head + kMemoryBlockBytes, kMemoryBlockBytes - head);
  std::byte* const block = mapped + head;
  // Only advice: without huge pages the block works the same.
  madvise(block, kMemoryBlockBytes, MADV_HUGEPAGE);
  return block;
}

void freeMemoryBlock(std::byte* block) { munmap(block, kMemoryBlockBytes); }

}  // namespace sessionstats
