#ifndef SESSION_STATS_OS_REPORT_FILE_SYSTEM_H_
#define SESSION_STATS_OS_REPORT_FILE_SYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace sessionstats {

/// An open file: a descriptor on POSIX, a HANDLE on Windows.
using FileHandle = std::intptr_t;

/// Failures that no errno names, from where Windows refuses a report: a file
/// that another program holds open, and a file marked read-only.
inline constexpr int kErrorHeldOpen = -1;
inline constexpr int kErrorReadOnly = -2;

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

/// The platform's file operations that replacing a report is made of
/// (report_file_system_posix.cc, report_file_system_windows.cc). Each returns
/// 0 or the errno of its failure (or kErrorHeldOpen, kErrorReadOnly).
class ReportFileSystem {
 public:
  virtual ~ReportFileSystem() = default;

  /// Finds where a report written at `path` lands; EISDIR for a directory.
  virtual int locate(const std::string& path, ReportTarget& target) = 0;
  /// The folder part of `path`, with its separator; empty when it has none.
  virtual std::string folderOf(const std::string& path) = 0;
  /// The letters a temporary file's name is made of.
  virtual std::string_view nameLetters() = 0;
  /// Creates the new file `path` for writing, readable by its owner alone;
  /// EEXIST when the name is taken.
  virtual int create(const std::string& path, FileHandle& handle) = 0;
  /// Gives the new file `handle` the permissions (and, run as root, the
  /// owner) that the file at `target` has, or a new file's when there is
  /// none.
  virtual int adoptPermissions(FileHandle handle,
                               const std::string& target) = 0;
  /// Writes all `size` bytes at `data`. REQUIRES: size > 0
  virtual int write(FileHandle handle, const char* data, std::size_t size) = 0;
  /// Puts what was written to `handle` on the disk.
  virtual int syncData(FileHandle handle) = 0;
  virtual int close(FileHandle handle) = 0;
  /// Puts the file `from` in the place of `to`, atomically.
  virtual int rename(const std::string& from, const std::string& to) = 0;
  /// Puts the folder holding `path` on the disk, so a rename in it outlives
  /// a power cut.
  virtual int syncFolder(const std::string& path) = 0;
  /// Removes the file at `path`, if it can.
  virtual void remove(const std::string& path) = 0;
};

/// The file system of the platform the program runs on.
ReportFileSystem& platformFileSystem();

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_REPORT_FILE_SYSTEM_H_
