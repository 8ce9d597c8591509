#include <cstddef>

#include "os/command_line_word.h"

namespace sessionstats {

// The C runtime reads 2n backslashes and a '"' as n backslashes and a
// quote that opens or closes, 2n + 1 and a '"' as n and a '"' itself, and
// backslashes before anything else as they are.
std::string commandLineWord(std::string_view text) {
  std::string word = "\"";
  std::size_t backslashes = 0;
  for (const char byte : text) {
    if (byte == '\\') {
      ++backslashes;
    } else {
      if (byte == '"') word.append(backslashes + 1, '\\');
      backslashes = 0;
    }
    word += byte;
  }
  word.append(backslashes, '\\');
  return word + "\"";
}

}  // namespace sessionstats
