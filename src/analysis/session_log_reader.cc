#include "analysis/session_log_reader.h"

namespace sessionstats {

// Interpretation of the lines lands with the reader's own change; until then
// every line is ignored.
void SessionLogReader::processLine(std::string_view /*line*/) {}

std::string_view SessionLogReader::resolveAlias(std::string_view name) const {
  for (const AliasEntry& entry : aliases_) {
    if (entry.alias == name) return entry.target;
  }
  return name;
}

}  // namespace sessionstats
