#include "memory_file.h"

namespace sessionstats::testing {

std::FILE* openBytes(std::string& bytes) {
  return fmemopen(bytes.data(), bytes.size(), "r");
}

std::FILE* openReader(void* cookie, ReadFunction read) {
  return fopencookie(cookie, "r", {read, nullptr, nullptr, nullptr});
}

}  // namespace sessionstats::testing
