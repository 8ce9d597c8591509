#include <windows.h>

#include "os/block_memory.h"

namespace sessionstats {

// Plain pages: large pages on Windows need a privilege that a player's
// account does not hold. VirtualAlloc hands out zeroed memory aligned to 64
// KiB.
std::byte* allocateMemoryBlock() {
  return static_cast<std::byte*>(VirtualAlloc(
      nullptr, kMemoryBlockBytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

void freeMemoryBlock(std::byte* block) { VirtualFree(block, 0, MEM_RELEASE); }

}  // namespace sessionstats
