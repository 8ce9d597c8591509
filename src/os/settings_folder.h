#ifndef SESSION_STATS_OS_SETTINGS_FOLDER_H_
#define SESSION_STATS_OS_SETTINGS_FOLDER_H_

#include <string>

namespace sessionstats {

/// The folder, perhaps not made yet, where the tool remembers things for the
/// user: $XDG_CONFIG_HOME/session-stats, else $HOME/.config/session-stats
/// (%APPDATA%\session-stats on Windows); empty when the environment names
/// none (on POSIX, no absolute one).
std::string settingsFolder();

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_SETTINGS_FOLDER_H_
