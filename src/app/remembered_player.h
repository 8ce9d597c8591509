#ifndef SESSION_STATS_APP_REMEMBERED_PLAYER_H_
#define SESSION_STATS_APP_REMEMBERED_PLAYER_H_

#include <optional>
#include <string>
#include <string_view>

#include "os/status.h"

namespace sessionstats {

/// The file in a settings folder (see settingsFolder) that holds the name of
/// the player whose report was last written at a terminal: the name's bytes
/// and one LF.
inline constexpr char kRememberedPlayerFile[] = "player.txt";

/// The name remembered in `folder`; nullopt when there is none to be had: no
/// folder, no file, a file that cannot be read, or one that does not hold
/// exactly one name of 1 to kMaxAnswerLength bytes and its LF.
std::optional<std::string> readRememberedPlayer(const std::string& folder);

/// Remembers `name` in `folder`, which is made when missing: the file is
/// replaced whole (see replaceReportFile), so a reader sees the old name or
/// the new. A failed status when `folder` is empty, when `name` is empty,
/// longer than kMaxAnswerLength or holds a LF (it could not be read back),
/// or when the folder or the file cannot be made.
Status rememberPlayer(const std::string& folder, std::string_view name);

}  // namespace sessionstats

#endif  // SESSION_STATS_APP_REMEMBERED_PLAYER_H_
