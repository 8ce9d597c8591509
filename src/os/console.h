#ifndef SESSION_STATS_OS_CONSOLE_H_
#define SESSION_STATS_OS_CONSOLE_H_

#include <string>

namespace sessionstats {

/// The process's standard streams (std::cin, std::cout, std::cerr) made ready
/// for the tool on this platform, for as long as the object lives; one per
/// process, made first thing in main. Through them the tool reads and writes
/// bytes: names in UTF-8, reports exactly as formatted, messages with "\n".
/// - POSIX: a reader of standard output that has gone away, or a file size
///   limit, makes a write fail instead of ending the process (SIGPIPE and
///   SIGXFSZ are ignored); the streams are otherwise left as they are.
/// - Windows: a stream that is a console window reads and writes UTF-8
///   whatever the console's code page; a message's "\n" reaches a file or
///   pipe as CR LF, as Windows text does, until useStandardOutputForData.
class Console {
 public:
  Console();
  // Gives the standard streams their own buffers back on Windows, so it is
  // defined per platform rather than defaulted here.
  ~Console();  // NOLINT(performance-trivially-destructible)
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  /// What main returns: `status`. On Windows, when the console window
  /// belongs to this process alone (a double click started it, so the window
  /// closes with it), first shows `summary` (when `status` is 0 and it is not
  /// empty; an error is on the screen already) and waits for Enter; with a
  /// `page` (status 0), Enter opens it (see openWithDesktop), and a failure
  /// to is shown before a last wait.
  int finish(int status, const std::string& summary, const std::string& page);
};

/// Whether standard input, output or error is a terminal (a console window
/// on Windows): where a person types the answers or reads the messages, and
/// which would act on control bytes that a pipe or a file keeps.
bool standardInputIsTerminal();
bool standardOutputIsTerminal();
bool standardErrorIsTerminal();

/// Whether standard output's reader has gone for good: it is a pipe whose
/// reading end was closed (`| head` that read its fill, a pager quit early),
/// so nothing written there is read any more. `writeError` is the errno of
/// a write to it that failed, or 0 to look at the pipe without writing.
bool standardOutputReaderGone(int writeError);

/// Whether the console window is this process's alone, so a person started
/// it by a double click and reads it there (Windows); never on POSIX.
bool consoleWindowIsOwn();

/// Standard output carries a report or a list from now on: its bytes go out
/// exactly as written (on Windows its line ends are no longer translated).
void useStandardOutputForData();

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_CONSOLE_H_
