#ifndef SESSION_STATS_OS_FILE_IDENTITY_H_
#define SESSION_STATS_OS_FILE_IDENTITY_H_

#include <cstdint>
#include <cstdio>
#include <string>

#include "os/status.h"

namespace sessionstats {

/// Which file a name or an open stream leads to, and how long it is now.
struct FileIdentity {
  std::uint64_t device = 0;  // the file system (st_dev; volume serial)
  std::uint64_t file = 0;    // the file on it (st_ino; file index)
  std::uint64_t size = 0;    // bytes, when it was looked at
  bool regular = false;      // a file on a disk: no folder, device or pipe

  /// The same file, through any name, link or hard link; sizes aside.
  bool sameFileAs(const FileIdentity& other) const {
    return device == other.device && file == other.file;
  }
};

/// Looks at the file at `path`, following links, into `identity`; fails
/// with the errno (ENOENT or ENOTDIR when there is none).
Status identifyPath(const std::string& path, FileIdentity& identity);

/// Looks at the file `file` is open on into `identity`.
Status identifyOpenFile(std::FILE* file, FileIdentity& identity);

/// Opens the file at `path` to read its bytes while other programs may
/// append to it, replace or remove it, without waiting (a FIFO); nullptr
/// with errno set on failure. Close it with std::fclose.
std::FILE* openSharedForReading(const std::string& path);

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_FILE_IDENTITY_H_
