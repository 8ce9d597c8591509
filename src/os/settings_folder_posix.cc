#include <cstdlib>
#include <string>

#include "os/settings_folder.h"

namespace sessionstats {
namespace {

// The variable `name` when it holds an absolute path, else empty: a
// relative one would lead somewhere else in every folder the tool runs in.
std::string absoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? std::string(value)
                                             : std::string();
}

}  // namespace

std::string settingsFolder() {
  const std::string config = absoluteVariable("XDG_CONFIG_HOME");
  if (!config.empty()) return config + "/session-stats";
  const std::string home = absoluteVariable("HOME");
  if (!home.empty()) return home + "/.config/session-stats";
  return "";
}

}  // namespace sessionstats
