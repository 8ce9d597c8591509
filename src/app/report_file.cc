#include "app/report_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <streambuf>
#include <system_error>
#include <utility>

namespace sessionstats {
namespace {

// The report reaches its file in blocks of this size rather than a write
// call per line; nothing reads the file before it is renamed into place, so
// no line needs to be on disk sooner.
constexpr std::size_t kBufferSize = std::size_t{1} << 16;
// Links followed from the report path before giving up with ELOOP, as the
// kernel does.
constexpr int kMaxSymlinkHops = 40;
constexpr char kTempSuffix[] = ".XXXXXX";
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kPermissionBits = 07777;

// An output stream buffer over a file descriptor that keeps the errno of its
// first failed write: a file stream of the standard library does not say
// why it failed.
class FdStreamBuf : public std::streambuf {
 public:
  explicit FdStreamBuf(int fd) : fd_(fd), buffer_(new char[kBufferSize]) {
    setp(buffer_.get(), buffer_.get() + kBufferSize);
  }

  int error() const { return error_; }

 protected:
  int_type overflow(int_type byte) override {
    if (!drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(byte, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(byte);
      pbump(1);
    }
    return traits_type::not_eof(byte);
  }

  int sync() override { return drain() ? 0 : -1; }

 private:
  // Writes out what the buffer holds; false once any write has failed, after
  // which everything is dropped.
  bool drain() {
    const char* at = pbase();
    while (error_ == 0 && at < pptr()) {
      const ssize_t written =
          ::write(fd_, at, static_cast<std::size_t>(pptr() - at));
      if (written > 0) {
        at += written;
      } else if (written == 0) {
        error_ = EIO;  // no progress and no reason: do not spin
      } else if (errno != EINTR) {
        error_ = errno;
      }
    }
    setp(buffer_.get(), buffer_.get() + kBufferSize);
    return error_ == 0;
  }

  int fd_;
  std::unique_ptr<char[]> buffer_;
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

int writeInPlace(const std::string& path,
                 const std::function<void(std::ostream&)>& write) {
  FileDescriptor file(::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY));
  if (file.get() < 0) return errno;
  const int error = writeAll(file.get(), write);
  const int closeError = file.close();
  return error != 0 ? error : closeError;
}

// The file the symlink chain from `path` ends at, in `target`: `path` itself
// when it is no link, the missing file that a dangling link names. Returns 0
// or errno.
int followSymlinks(std::string path, std::string& target) {
  for (int hops = 0; hops <= kMaxSymlinkHops; ++hops) {
    struct stat status {};
    const bool found = ::lstat(path.c_str(), &status) == 0;
    if (!found && errno != ENOENT) return errno;
    if (!found || !S_ISLNK(status.st_mode)) {
      target = std::move(path);
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

// A temporary file beside `target`, removed again unless it was renamed.
struct TempFile {
  std::string name;
  bool created = false;

  ~TempFile() {
    if (created) ::unlink(name.c_str());
  }
};

// Writes the report at `path` as replaceReportFile says; 0 or the errno of
// the first failure.
int writeReportFile(const std::string& path,
                    const std::function<void(std::ostream&)>& write) {
  struct stat status {};
  const bool exists = ::stat(path.c_str(), &status) == 0;
  if (exists && !S_ISREG(status.st_mode)) return writeInPlace(path, write);

  std::string target;
  if (const int error = followSymlinks(path, target)) return error;
  const mode_t mode = exists ? status.st_mode & kPermissionBits
                             : kNewFileMode & ~currentUmask();

  TempFile temp{target + kTempSuffix};
  FileDescriptor file(::mkstemp(temp.name.data()));
  if (file.get() < 0) return errno;
  temp.created = true;
  // mkstemp makes the file 0600 whatever the umask.
  if (::fchmod(file.get(), mode) != 0) return errno;
  if (const int error = writeAll(file.get(), write)) return error;
  if (const int error = file.close()) return error;
  if (::rename(temp.name.c_str(), target.c_str()) != 0) return errno;
  temp.created = false;
  return 0;
}

}  // namespace

Status replaceReportFile(const std::string& path,
                         const std::function<void(std::ostream&)>& write) {
  const int error = writeReportFile(path, write);
  if (error == 0) return Status();
  return Status::failed("could not write " + path, error);
}

}  // namespace sessionstats
