#include "app/remembered_player.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/answer.h"
#include "report/report_file.h"

namespace sessionstats {
namespace {

std::string fileIn(const std::string& folder) {
  return folder + "/" + kRememberedPlayerFile;
}

}  // namespace

std::optional<std::string> readRememberedPlayer(const std::string& folder) {
  if (folder.empty()) return std::nullopt;
  std::ifstream file(fileIn(folder), std::ios::binary);
  // One byte past the longest name and its LF tells a file too long.
  std::string bytes(kMaxAnswerLength + 2, '\0');
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  if (file.bad() || bytes.size() < 2 || bytes.size() > kMaxAnswerLength + 1 ||
      bytes.find('\n') != bytes.size() - 1) {
    return std::nullopt;
  }
  bytes.pop_back();
  return bytes;
}

Status rememberPlayer(const std::string& folder, std::string_view name) {
  if (folder.empty()) {
    return Status::failed("no settings folder to remember the player in");
  }
  if (name.empty() || name.size() > kMaxAnswerLength ||
      name.find('\n') != std::string_view::npos) {
    return Status::failed("cannot remember the name " + quotedName(name));
  }
  std::error_code failed;
  std::filesystem::create_directories(folder, failed);
  if (failed) {
    // An errno where the library gives one (Windows errors have none).
    const std::error_condition condition = failed.default_error_condition();
    return Status::failed("could not make the folder " + folder,
                          condition.category() == std::generic_category()
                              ? condition.value()
                              : EIO);
  }
  return replaceReportFile(fileIn(folder),
                           [name](std::ostream& out) { out << name << '\n'; });
}

}  // namespace sessionstats
