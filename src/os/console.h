#ifndef SESSION_STATS_OS_CONSOLE_H_
#define SESSION_STATS_OS_CONSOLE_H_

#include <string>

namespace sessionstats {

/// The standard streams made ready for the tool while it lives (one, made
/// first in main): they carry UTF-8 and a report's bytes as formatted, and a
/// gone reader or a file size limit fails a write instead of ending the
/// process. On Windows a console window reads and writes UTF-8 whatever its
/// code page, and "\n" reaches a file or pipe as CR LF until
/// useStandardOutputForData.
class Console {
 public:
  Console();
  // Gives the standard streams their own buffers back on Windows, so it is
  // defined per platform rather than defaulted here.
  ~Console();  // NOLINT(performance-trivially-destructible)
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  /// Returns `status`, for main. In a console window of its own (Windows)
  /// it first shows `summary` (status 0) and waits for Enter, which opens
  /// `page` when there is one.
  int finish(int status, const std::string& summary, const std::string& page);
};

/// Whether standard input, output or error is a terminal (a console window
/// on Windows).
bool standardInputIsTerminal();
bool standardOutputIsTerminal();
bool standardErrorIsTerminal();

/// Whether standard output is a pipe whose reader has gone for good (`|
/// head` that read its fill). `writeError` is the errno of a failed write
/// to it, or 0 to look without writing.
bool standardOutputReaderGone(int writeError);

/// Whether the console window is this process's alone: a double click
/// started it (Windows only).
bool consoleWindowIsOwn();

/// Standard output carries a report's bytes from now on, untranslated.
void useStandardOutputForData();

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_CONSOLE_H_
