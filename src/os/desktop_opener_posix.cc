#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "os/desktop_opener.h"

namespace sessionstats {
namespace {

// Reads from `fd` the errno a failed exec wrote, or 0 at the end of input:
// the pipe closed at the exec, which succeeded.
int execError(int fd) {
  int error = 0;
  ssize_t got = 0;
  do {
    got = ::read(fd, &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

// In the grandchild: no input of the tool's terminal and nothing on its
// standard output, which may carry a report; then the handler, or its
// errno on `report`.
[[noreturn]] void runHandler(const char* program, const std::string& path,
                             int report) {
  const int null = ::open("/dev/null", O_RDWR);
  if (null >= 0) {
    ::dup2(null, STDIN_FILENO);
    ::dup2(null, STDOUT_FILENO);
  }
  const char* const argv[] = {program, path.c_str(), nullptr};
  // execvp takes the arguments as char* const[]; it changes none of them.
  ::execvp(program, const_cast<char* const*>(argv));  // NOLINT
  const int error = errno;
  (void)!::write(report, &error, sizeof error);
  ::_exit(127);
}

}  // namespace

// The handler may run as long as the browser it starts (xdg-open waits for
// some), so it runs in a grandchild that init adopts: the child ends at
// once and is waited for, and the tool never waits for the browser. A pipe
// that closes on exec tells whether the handler started.
Status openWithDesktop(const std::string& path) {
  const char* opener = std::getenv(kOpenerVariable);
  const char* program =
      opener != nullptr && opener[0] != '\0' ? opener : "xdg-open";
  int pipeEnds[2] = {-1, -1};
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return Status::ofErrno(errno);
  const pid_t child = ::fork();
  if (child < 0) {
    const int error = errno;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    return Status::ofErrno(error);
  }
  if (child == 0) {
    ::close(pipeEnds[0]);
    const pid_t grandchild = ::fork();
    if (grandchild == 0) runHandler(program, path, pipeEnds[1]);
    if (grandchild < 0) {
      const int error = errno;
      (void)!::write(pipeEnds[1], &error, sizeof error);
    }
    ::_exit(0);
  }
  ::close(pipeEnds[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  const int error = execError(pipeEnds[0]);
  ::close(pipeEnds[0]);
  return Status::ofErrno(error);
}

}  // namespace sessionstats
