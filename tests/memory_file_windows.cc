#include "memory_file.h"

namespace sessionstats::testing {

// The C runtime of Windows reads streams from files only: the bytes go to a
// temporary file, deleted when the stream is closed.
std::FILE* openBytes(std::string& bytes) {
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return nullptr;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
      std::fseek(file, 0, SEEK_SET) != 0) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

std::FILE* openReader(void* /*cookie*/, ReadFunction /*read*/) {
  return nullptr;
}

}  // namespace sessionstats::testing
