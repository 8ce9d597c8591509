#include <cstdlib>
#include <string>

#include "os/settings_folder.h"

namespace sessionstats {

// The manifest makes the process's code page UTF-8, so the variable reads
// as UTF-8, as the tool's other file names do.
std::string settingsFolder() {
  const char* appData = std::getenv("APPDATA");
  if (appData == nullptr || appData[0] == '\0') return "";
  return std::string(appData) + "\\session-stats";
}

}  // namespace sessionstats
