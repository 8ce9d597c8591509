#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <optional>
#include <random>
#include <string_view>
#include <system_error>
#include <utility>

#include "app/report_file.h"
#include "os/block_output.h"
#include "os/interrupt.h"

namespace sessionstats {
namespace {

// Links followed from the report path before giving up with ELOOP, as the
// kernel does.
constexpr int kMaxSymlinkHops = 40;
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kOwnerOnlyMode = 0600;
constexpr mode_t kPermissionBits = 07777;

constexpr std::string_view kTempLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// Names already taken before giving up with EEXIST: with 62^8 names, only a
// folder that refuses every new name gets this far.
constexpr int kMaxTempAttempts = 100;

// Paths that name a descriptor of the process by their name alone.
constexpr std::array<std::pair<std::string_view, int>, 3> kStandardStreamPaths{{
    {"/dev/stdin", STDIN_FILENO},
    {"/dev/stdout", STDOUT_FILENO},
    {"/dev/stderr", STDERR_FILENO},
}};
constexpr std::array<std::string_view, 3> kDescriptorFolders = {
    "/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/"};

// Hands the report's blocks to a file descriptor and keeps the errno of the
// first failed write: a file stream of the standard library does not say
// why it failed.
class FdStreamBuf final : public BlockOutputBuffer {
 public:
  explicit FdStreamBuf(int fd) : fd_(fd) {}

  int error() const { return error_; }

 private:
  bool writeBlock(const char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t written = ::write(fd_, data, size);
      if (written > 0) {
        data += written;
        size -= static_cast<std::size_t>(written);
      } else if (written == 0) {
        error_ = EIO;  // no progress and no reason: do not spin
        return false;
      } else if (errno != EINTR || interrupted()) {
        error_ = errno;
        return false;
      }
    }
    return true;
  }

  int fd_;
  int error_ = 0;
};

// Owns an open file descriptor; closes it unless close() did.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const { return fd_; }

  // 0, or the errno of a failed close (a delayed write error, for one).
  int close() { return ::close(std::exchange(fd_, -1)) == 0 ? 0 : errno; }

 private:
  int fd_;
};

// Runs `write` into `fd` and writes out everything; 0 or the first errno.
int writeAll(int fd, const std::function<void(std::ostream&)>& write) {
  FdStreamBuf buffer(fd);
  std::ostream out(&buffer);
  write(out);
  out.flush();
  if (buffer.error() != 0) return buffer.error();
  return out ? 0 : EIO;
}

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

// Writes at the descriptor's own position, as a shell's redirection would,
// and leaves it open: the file is the process's, not the report's.
int writeThrough(int fd, const std::function<void(std::ostream&)>& write) {
  if (::fcntl(fd, F_GETFD) == -1) return EBADF;
  return writeAll(fd, write);
}

int writeInPlace(const std::string& path,
                 const std::function<void(std::ostream&)>& write) {
  FileDescriptor file(
      ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC));
  if (file.get() < 0) return errno;
  const int error = writeAll(file.get(), write);
  const int closeError = file.close();
  return error != 0 ? error : closeError;
}

// Where the symlink chain from `path` ends.
struct LinkEnd {
  std::string path;     // the file, or the missing file a dangling link names
  int descriptor = -1;  // a descriptor a link of the chain names, else -1
};

// Follows the symlinks from `path` into `end`; 0 or errno.
int followSymlinks(std::string path, LinkEnd& end) {
  for (int hops = 0; hops <= kMaxSymlinkHops; ++hops) {
    end.descriptor = namedDescriptor(path);
    if (end.descriptor >= 0) return 0;
    struct stat status {};
    const bool found = ::lstat(path.c_str(), &status) == 0;
    if (!found && errno != ENOENT) return errno;
    if (!found || !S_ISLNK(status.st_mode)) {
      end.path = std::move(path);
      return 0;
    }
    std::error_code error;
    const std::filesystem::path link =
        std::filesystem::read_symlink(path, error);
    if (error) return error.value();
    path = link.is_absolute()
               ? link.string()
               : (std::filesystem::path(path).parent_path() / link).string();
  }
  return ELOOP;
}

// umask() can only be read by setting it. No other thread runs while the
// report file is made (the log's reader has ended, the report's second thread
// starts later), and nothing is created between the two calls, so nothing
// sees the zero mask.
mode_t currentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// kTempPrefix and random letters, in the folder of `target`.
std::string tempName(const std::string& target, std::random_device& random) {
  const std::size_t slash = target.rfind('/');
  std::string name =
      slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  name += kTempPrefix;
  std::uniform_int_distribution<std::size_t> pick(0, kTempLetters.size() - 1);
  for (std::size_t i = 0; i < kTempRandomLetters; ++i) {
    name += kTempLetters[pick(random)];
  }
  return name;
}

// A new temporary file beside a target, removed again unless it was renamed,
// and by an interrupt while it lives.
class TempFile {
 public:
  // Makes the file, readable and writable by its owner alone; 0 or errno.
  int create(const std::string& target) {
    std::random_device random;
    for (int attempt = 0; attempt < kMaxTempAttempts; ++attempt) {
      guard_.emplace(tempName(target, random));
      fd_ = ::open(guard_->path().c_str(),
                   O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC,
                   kOwnerOnlyMode);
      if (fd_ >= 0) return 0;
      // The name is not ours: neither an interrupt nor the destructor may
      // remove what another program made under it.
      const int error = errno;
      guard_.reset();
      if (error != EEXIST) return error;
    }
    return EEXIST;
  }

  int fd() const { return fd_; }

  // 0, or the errno of a failed close (a delayed write error, for one).
  int close() { return ::close(std::exchange(fd_, -1)) == 0 ? 0 : errno; }

  // Puts the written file in the place of `target`; 0 or errno.
  int renameTo(const std::string& target) {
    // Under InterruptAction::kNote the run goes on after an interrupt, which
    // may have removed the file already: the old report stays.
    if (interrupted()) return EINTR;
    if (::rename(guard_->path().c_str(), target.c_str()) != 0) return errno;
    renamed_ = true;
    return 0;
  }

  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (guard_ && !renamed_) ::unlink(guard_->path().c_str());
  }

 private:
  std::optional<RemoveOnInterrupt> guard_;
  int fd_ = -1;
  bool renamed_ = false;
};

// Gives the new file at `fd` the permission bits `mode` of the file it
// replaces, owned by `owner` and `group`: root gives the old owner and group
// back first; set-user-ID and set-group-ID are kept only when owner and group
// are the old ones, so that no one else's file becomes runnable as them.
int keepOwnerAndMode(int fd, mode_t mode, uid_t owner, gid_t group) {
  // A file system without owners (FAT) refuses; the owner check below then
  // drops the bits, so the refusal needs no handling of its own.
  if (::geteuid() == 0) {
    [[maybe_unused]] const int refused = ::fchown(fd, owner, group);
  }
  struct stat made {};
  if (::fstat(fd, &made) != 0) return errno;
  if (made.st_uid != owner || made.st_gid != group) {
    mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
  }
  return ::fchmod(fd, mode) == 0 ? 0 : errno;
}

// Replaces the regular file, or no file, at `target` by a renamed temporary
// file; `old` describes the file when `exists`.
int replaceByRename(const std::string& target, bool exists,
                    const struct stat& old,
                    const std::function<void(std::ostream&)>& write) {
  TempFile temp;
  if (const int error = temp.create(target)) return error;
  const int error =
      exists
          ? keepOwnerAndMode(temp.fd(), old.st_mode & kPermissionBits,
                             old.st_uid, old.st_gid)
          : (::fchmod(temp.fd(), kNewFileMode & ~currentUmask()) == 0 ? 0
                                                                      : errno);
  if (error != 0) return error;
  if (const int writeError = writeAll(temp.fd(), write)) return writeError;
  if (const int closeError = temp.close()) return closeError;
  return temp.renameTo(target);
}

// Writes the report at `path` as replaceReportFile says; 0 or the errno of
// the first failure.
int writeReportFile(const std::string& path,
                    const std::function<void(std::ostream&)>& write) {
  if (const int fd = namedDescriptor(path); fd >= 0) {
    return writeThrough(fd, write);
  }
  struct stat status {};
  const bool exists = ::stat(path.c_str(), &status) == 0;
  if (exists) {
    if (const int fd = standardStreamOn(status); fd >= 0) {
      return writeThrough(fd, write);
    }
    if (!S_ISREG(status.st_mode)) return writeInPlace(path, write);
  }
  LinkEnd end;
  if (const int error = followSymlinks(path, end)) return error;
  if (end.descriptor >= 0) return writeThrough(end.descriptor, write);
  return replaceByRename(end.path, exists, status, write);
}

}  // namespace

Status replaceReportFile(const std::string& path,
                         const std::function<void(std::ostream&)>& write) {
  const int error = writeReportFile(path, write);
  if (error == 0) return Status();
  return Status::failed("could not write " + path, error);
}

bool wouldOverwrite(const std::string& report, const std::string& log) {
  struct stat logStatus {};
  struct stat reportStatus {};
  // stat follows links, /dev/fd/N's to the file the descriptor is open on.
  const bool reportFound = report == kStandardOutputName
                               ? ::fstat(STDOUT_FILENO, &reportStatus) == 0
                               : ::stat(report.c_str(), &reportStatus) == 0;
  return reportFound && ::stat(log.c_str(), &logStatus) == 0 &&
         S_ISREG(logStatus.st_mode) &&
         reportStatus.st_dev == logStatus.st_dev &&
         reportStatus.st_ino == logStatus.st_ino;
}

}  // namespace sessionstats
