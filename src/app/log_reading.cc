#include "app/log_reading.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "log/log_file_reader.h"
#include "os/console.h"
#include "os/file_identity.h"

namespace sessionstats {

Status checkLogFiles(const Options& options) {
  // Each log as it is named, and the file it leads to when there is one.
  std::vector<std::pair<std::string_view, FileIdentity>> seen;
  for (const std::string& path : options.logFiles) {
    FileIdentity identity;
    const bool input = path == kStandardInputName;
    const Status looked = input ? identifyOpenFile(stdin, identity)
                                : identifyPath(path, identity);
    if (!looked.ok()) continue;
    const std::string_view name =
        input ? kStandardInputLabel : std::string_view(path);
    for (const auto& [before, file] : seen) {
      if (file.sameFileAs(identity)) {
        return Status::usage(std::string(before) + " and " + std::string(name) +
                             " are the same log: give each log once");
      }
    }
    seen.emplace_back(name, identity);
  }
  if (!options.request.follow) return Status();
  // A FIFO blocks its open until a writer comes, and its reads until he
  // writes, while the follow holds the stop signals back.
  const std::string& log = options.logFiles.front();
  std::error_code failed;
  if (!std::filesystem::is_other(std::filesystem::status(log, failed))) {
    return Status();
  }
  return Status::usage("--follow reads a log file: " + log +
                       " is a pipe or a device");
}

Status logNotFound(const std::string& path, const Status& status,
                   std::ostream& talk) {
  talk << "Could not find " << path << '\n';
  const int error = status.error();
  if (error == EISDIR) {
    return Status::notFound(quotedName(path) + " is a directory, not a log", 0);
  }
  if (error != ENOENT && error != ENOTDIR) return status;
  // A double click gives no command line: the tool reads the folder it is
  // started in.
  if (consoleWindowIsOwn() && path == kLogFileName) {
    return Status::notFound(
        "put session-stats.exe in the netplay client's folder and start it "
        "there",
        0);
  }
  // The folder is named whole, so the file goes by its own name in it:
  // "looked for new.txt in /home/ana/logs", never "logs/new.txt in .../logs".
  std::error_code failed;
  const std::filesystem::path absolute =
      std::filesystem::absolute(path, failed);
  const std::string name = absolute.filename().string();
  const std::string where =
      failed || name.empty()
          ? quotedName(path)
          : quotedName(name) + " in " + absolute.parent_path().string();
  return Status::notFound("looked for " + where + "; -l FILE names another log",
                          0);
}

Status loadLogs(const Options& options, SessionLogReader& reader,
                std::ostream& talk) {
  for (const std::string& path : options.logFiles) {
    const bool input = path == kStandardInputName;
    const Status status =
        input ? readSessionLog(stdin, kStandardInputLabel, reader)
              : readSessionLog(path, reader);
    // Standard input has no folder to look in.
    if (!input && status.kind() == Status::Kind::kNotFound) {
      return logNotFound(path, status, talk);
    }
    if (!status.ok()) return Status::failed(status.what(), status.error());
  }
  return Status();
}

}  // namespace sessionstats
