#include <unistd.h>

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
int Console::finish(int status, const std::string& /*summary*/) {
  return status;
}

bool standardOutputIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }

bool standardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

// POSIX streams carry bytes as they are.
void useStandardOutputForData() {}

}  // namespace sessionstats
