#include <sys/stat.h>

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

int identifyPath(const std::string& path, FileIdentity& identity) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return errno;
  identity = identityOf(status);
  return 0;
}

std::FILE* openSharedForReading(const std::string& path) {
  return std::fopen(path.c_str(), "rb");
}

int identifyOpenFile(std::FILE* file, FileIdentity& identity) {
  struct stat status {};
  if (::fstat(fileno(file), &status) != 0) return errno;
  identity = identityOf(status);
  return 0;
}

}  // namespace sessionstats
