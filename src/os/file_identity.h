#ifndef SESSION_STATS_OS_FILE_IDENTITY_H_
#define SESSION_STATS_OS_FILE_IDENTITY_H_

#include <cstdint>
#include <cstdio>
#include <string>

namespace sessionstats {

/// Which file a name or an open stream leads to, and how long it is now.
struct FileIdentity {
  std::uint64_t device = 0;  // the file system (POSIX st_dev; Windows the
                             // volume's serial number)
  std::uint64_t file = 0;    // the file on it (st_ino; the file index)
  std::uint64_t size = 0;    // bytes, when it was looked at
  bool regular = false;      // a file of bytes on a disk, not a folder, a
                             // device or a pipe

  /// The same file, through any name, link or hard link; sizes aside.
  bool sameFileAs(const FileIdentity& other) const {
    return device == other.device && file == other.file;
  }
};

/// Looks at the file at `path`, following links, into `identity`; 0 or the
/// errno of the failure (ENOENT or ENOTDIR when there is none).
int identifyPath(const std::string& path, FileIdentity& identity);

/// Looks at the file `file` is open on into `identity`; 0 or the errno.
int identifyOpenFile(std::FILE* file, FileIdentity& identity);

/// Opens the file at `path` for reading its bytes as they are, such that
/// other programs may still append to it, replace it or remove it (which
/// Windows refuses for a file opened by fopen); nullptr with errno set on
/// failure. The open itself never waits (a FIFO without a writer opens at
/// once); reading anything but a regular file may still wait or never end.
/// Close it with std::fclose.
std::FILE* openSharedForReading(const std::string& path);

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_FILE_IDENTITY_H_
