#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <system_error>
#include <utility>

#include "os/interrupt.h"
#include "os/report_file_system.h"

namespace sessionstats {
namespace {

// Links followed from the report path before giving up with ELOOP, as the
// kernel does.
constexpr int kMaxSymlinkHops = 40;
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kOwnerOnlyMode = 0600;
constexpr mode_t kPermissionBits = 07777;

// Paths that name a descriptor of the process by their name alone.
constexpr std::array<std::pair<std::string_view, int>, 3> kStandardStreamPaths{{
    {"/dev/stdin", STDIN_FILENO},
    {"/dev/stdout", STDOUT_FILENO},
    {"/dev/stderr", STDERR_FILENO},
}};
constexpr std::array<std::string_view, 3> kDescriptorFolders = {
    "/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/"};

// The descriptor that `path` names by its name alone (/dev/stdout,
// /dev/fd/N, /proc/self/fd/N...), whatever file it is open on, or -1.
// Opening such a path opens that file anew, from its start and without the
// descriptor's O_APPEND: a shell's "> out.txt" or ">> keep.txt" would lose
// what the script wrote around the report.
int namedDescriptor(std::string_view path) {
  for (const auto& [name, fd] : kStandardStreamPaths) {
    if (path == name) return fd;
  }
  for (const std::string_view folder : kDescriptorFolders) {
    if (!path.starts_with(folder) || path.size() == folder.size()) continue;
    int fd = 0;
    const std::string_view digits = path.substr(folder.size());
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), fd);
    if (error == std::errc() && end == digits.data() + digits.size()) {
      return fd;
    }
  }
  return -1;
}

// Standard output or standard error when either is open on the file that
// `status` describes, else -1.
int standardStreamOn(const struct stat& status) {
  for (const int fd : {STDOUT_FILENO, STDERR_FILENO}) {
    struct stat stream {};
    if (::fstat(fd, &stream) == 0 && stream.st_dev == status.st_dev &&
        stream.st_ino == status.st_ino) {
      return fd;
    }
  }
  return -1;
}

// The errno of the call that just failed.
Status lastError() { return Status::ofErrno(errno); }

// `done` (a call's success), or the errno of its failure.
Status checked(bool done) { return done ? Status() : lastError(); }

// The descriptor `fd`, written through at its own position as a shell's
// redirection would; EBADF when it is not open.
Status through(int fd, ReportTarget& target) {
  if (::fcntl(fd, F_GETFD) == -1) return Status::ofErrno(EBADF);
  target = {ReportTarget::Kind::kThrough, {}, fd};
  return Status();
}

// Follows the symlinks from `path` to the file they end at (or the missing
// file a dangling link names), or to a descriptor a link of the chain names.
Status followSymlinks(std::string path, ReportTarget& target) {
  for (int hops = 0; hops <= kMaxSymlinkHops; ++hops) {
    if (const int fd = namedDescriptor(path); fd >= 0)
      return through(fd, target);
    struct stat status {};
    const bool found = ::lstat(path.c_str(), &status) == 0;
    if (!found && errno != ENOENT) return lastError();
    if (!found || !S_ISLNK(status.st_mode)) {
      target = {ReportTarget::Kind::kReplace, std::move(path), -1};
      return Status();
    }
    std::error_code error;
    const std::filesystem::path link =
        std::filesystem::read_symlink(path, error);
    if (error) return Status::ofErrno(error.value());
    path = link.is_absolute()
               ? link.string()
               : (std::filesystem::path(path).parent_path() / link).string();
  }
  return Status::ofErrno(ELOOP);
}

// umask() can only be read by setting it. No other thread runs when it is
// read (the log's reader has ended, and the report's second thread with the
// report written), and nothing is created between the two calls, so nothing
// sees the zero mask.
mode_t currentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

class PosixFileSystem final : public ReportFileSystem {
 public:
  Status locate(const std::string& path, ReportTarget& target) override {
    if (const int fd = namedDescriptor(path); fd >= 0)
      return through(fd, target);
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
      if (const int fd = standardStreamOn(status); fd >= 0) {
        return through(fd, target);
      }
      if (S_ISDIR(status.st_mode)) return Status::ofErrno(EISDIR);
      if (!S_ISREG(status.st_mode)) {
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) return lastError();
        target = {ReportTarget::Kind::kInPlace, {}, fd};
        return Status();
      }
    }
    return followSymlinks(path, target);
  }

  std::string folderOf(const std::string& path) override {
    return path.substr(0, path.rfind('/') + 1);
  }

  std::string_view nameLetters() override {
    return "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  }

  Status create(const std::string& path, FileHandle& handle) override {
    handle =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC,
               kOwnerOnlyMode);
    return checked(handle >= 0);
  }

  // Root gives the old owner and group back first; set-user-ID and
  // set-group-ID are kept only when owner and group are the old ones, so
  // that no one else's file becomes runnable as them.
  Status adoptPermissions(FileHandle handle,
                          const std::string& target) override {
    const int fd = static_cast<int>(handle);
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0) {
      return checked(::fchmod(fd, kNewFileMode & ~currentUmask()) == 0);
    }
    // A file system without owners (FAT) refuses; the owner check below
    // then drops the bits, so the refusal needs no handling of its own.
    if (::geteuid() == 0) {
      [[maybe_unused]] const int refused = ::fchown(fd, old.st_uid, old.st_gid);
    }
    mode_t mode = old.st_mode & kPermissionBits;
    struct stat made {};
    if (::fstat(fd, &made) != 0) return lastError();
    if (made.st_uid != old.st_uid || made.st_gid != old.st_gid) {
      mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
    }
    return checked(::fchmod(fd, mode) == 0);
  }

  Status write(FileHandle handle, const char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t written = ::write(static_cast<int>(handle), data, size);
      if (written > 0) {
        data += written;
        size -= static_cast<std::size_t>(written);
      } else if (written == 0) {
        return Status::ofErrno(EIO);  // no progress and no reason: do not spin
      } else if (errno != EINTR || interrupted()) {
        return lastError();
      }
    }
    return Status();
  }

  Status syncData(FileHandle handle) override {
    return checked(::fdatasync(static_cast<int>(handle)) == 0);
  }

  Status close(FileHandle handle) override {
    return checked(::close(static_cast<int>(handle)) == 0);
  }

  Status rename(const std::string& from, const std::string& to) override {
    return checked(::rename(from.c_str(), to.c_str()) == 0);
  }

  Status syncFolder(const std::string& path) override {
    const std::string folder = folderOf(path);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A folder that may be written but not read (a drop folder, mode 0333)
    // cannot be opened to be synced: the rename is done all the same.
    if (fd < 0) return checked(errno == EACCES);
    // Some file systems cannot sync a folder (EINVAL): nothing more to do.
    Status synced = checked(::fsync(fd) == 0 || errno == EINVAL);
    ::close(fd);
    return synced;
  }

  void remove(const std::string& path) override { ::unlink(path.c_str()); }
};

}  // namespace

ReportFileSystem& platformFileSystem() {
  static PosixFileSystem fileSystem;
  return fileSystem;
}

}  // namespace sessionstats
