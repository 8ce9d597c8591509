#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "os/console.h"

namespace sessionstats {

// A reader of standard output that has gone away makes a write fail instead
// of ending the run; a file size limit makes the report's write fail with
// EFBIG, so its temporary file is removed, instead of killing the run.
Console::Console() {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

Console::~Console() = default;

// A member on every platform: the Windows one reads the console's state.
// NOLINTNEXTLINE(readability-convert-member-functions-to-static)
int Console::finish(int status, const std::string& /*summary*/,
                    const std::string& /*page*/) {
  return status;
}

bool standardInputIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }
bool standardOutputIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }
bool standardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

// A pipe's writing end polls as an error once no reader holds the other
// end; a hung-up terminal or socket polls as a hang-up.
bool standardOutputReaderGone(int writeError) {
  if (writeError == EPIPE) return true;
  pollfd output{STDOUT_FILENO, 0, 0};
  return ::poll(&output, 1, 0) == 1 &&
         (output.revents & (POLLERR | POLLHUP)) != 0;
}

bool consoleWindowIsOwn() { return false; }

// POSIX streams carry bytes as they are.
void useStandardOutputForData() {}

}  // namespace sessionstats
