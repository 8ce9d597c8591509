#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "os/file_identity.h"

namespace sessionstats {
namespace {

FileIdentity identityOf(const struct stat& status) {
  return {static_cast<std::uint64_t>(status.st_dev),
          static_cast<std::uint64_t>(status.st_ino),
          static_cast<std::uint64_t>(status.st_size), S_ISREG(status.st_mode)};
}

}  // namespace

Status identifyPath(const std::string& path, FileIdentity& identity) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return Status::ofErrno(errno);
  identity = identityOf(status);
  return Status();
}

std::FILE* openSharedForReading(const std::string& path) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer. The flag changes
  // nothing for the reads of a regular file.
  const int descriptor =
      ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor == -1) return nullptr;
  std::FILE* file = ::fdopen(descriptor, "rb");
  if (file == nullptr) {
    const int error = errno;
    ::close(descriptor);
    errno = error;
  }
  return file;
}

Status identifyOpenFile(std::FILE* file, FileIdentity& identity) {
  struct stat status {};
  if (::fstat(fileno(file), &status) != 0) return Status::ofErrno(errno);
  identity = identityOf(status);
  return Status();
}

}  // namespace sessionstats
