#ifndef SESSION_STATS_OS_REPORT_FILE_SYSTEM_H_
#define SESSION_STATS_OS_REPORT_FILE_SYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "os/status.h"

namespace sessionstats {

/// An open file: a descriptor on POSIX, a HANDLE on Windows.
using FileHandle = std::intptr_t;

/// Where a report written at a path lands.
struct ReportTarget {
  enum class Kind : unsigned char {
    /// A regular file, or none: replaced through a temporary file beside
    /// `path`, the file that links lead to.
    kReplace,
    /// A device or a FIFO: written through `handle`, which is then closed.
    kInPlace,
    /// A file the process has open (standard output, a descriptor named as
    /// a path): written through `handle` at its position and left open.
    kThrough,
  };
  Kind kind = Kind::kReplace;
  std::string path;
  FileHandle handle = -1;
};

/// The platform's file operations that replacing a report is made of. A
/// failure carries the errno of the call, or says why Windows refuses the
/// file (held open by another program, read-only); the caller names it.
class ReportFileSystem {
 public:
  virtual ~ReportFileSystem() = default;

  /// Finds where a report written at `path` lands; EISDIR for a directory.
  virtual Status locate(const std::string& path, ReportTarget& target) = 0;
  /// The folder part of `path`, with its separator; empty when it has none.
  virtual std::string folderOf(const std::string& path) = 0;
  /// The letters a temporary file's name is made of.
  virtual std::string_view nameLetters() = 0;
  /// Creates the new file `path`, for its owner alone; EEXIST when taken.
  virtual Status create(const std::string& path, FileHandle& handle) = 0;
  /// Gives `handle` the permissions (and, as root, the owner) of the file at
  /// `target`, or a new file's when there is none.
  virtual Status adoptPermissions(FileHandle handle,
                                  const std::string& target) = 0;
  /// Writes all `size` bytes at `data`. REQUIRES: size > 0
  virtual Status write(FileHandle handle, const char* data,
                       std::size_t size) = 0;
  /// Puts what was written to `handle` on the disk.
  virtual Status syncData(FileHandle handle) = 0;
  virtual Status close(FileHandle handle) = 0;
  /// Puts the file `from` in the place of `to`, atomically.
  virtual Status rename(const std::string& from, const std::string& to) = 0;
  /// Puts the folder holding `path` on the disk, with its renames.
  virtual Status syncFolder(const std::string& path) = 0;
  /// Removes the file at `path`, if it can.
  virtual void remove(const std::string& path) = 0;
};

/// The file system of the platform the program runs on.
ReportFileSystem& platformFileSystem();

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_REPORT_FILE_SYSTEM_H_
