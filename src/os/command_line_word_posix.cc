#include "os/command_line_word.h"

namespace sessionstats {

std::string commandLineWord(std::string_view text) {
  std::string word = "'";
  for (const char byte : text) {
    if (byte == '\'') {
      word += "'\\''";
    } else {
      word += byte;
    }
  }
  return word + "'";
}

}  // namespace sessionstats
