#ifndef SESSION_STATS_OS_SETTINGS_FOLDER_H_
#define SESSION_STATS_OS_SETTINGS_FOLDER_H_

#include <string>

namespace sessionstats {

/// The folder where the tool keeps what it remembers for the user, without
/// a separator at its end; it may not exist yet:
/// - POSIX: $XDG_CONFIG_HOME/session-stats, or $HOME/.config/session-stats
///   when XDG_CONFIG_HOME is unset or not an absolute path;
/// - Windows: %APPDATA%\session-stats.
/// Empty when the environment names no such place (no HOME, no APPDATA, or
/// a relative one): then nothing is remembered.
std::string settingsFolder();

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_SETTINGS_FOLDER_H_
