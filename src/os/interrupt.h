#ifndef SESSION_STATS_OS_INTERRUPT_H_
#define SESSION_STATS_OS_INTERRUPT_H_

#include <chrono>
#include <string>

namespace sessionstats {

/// What an interrupt (SIGINT, SIGTERM or SIGHUP; Ctrl-C at a console) does
/// to the run once handleInterrupts has been called. Either way the file a
/// RemoveOnInterrupt names at that moment is removed first.
enum class InterruptAction {
  /// The run ends as the signal ends a program that does not catch it: the
  /// shell shows 128 plus the signal's number (130, 143, 129).
  kEnd,
  /// The run goes on and interrupted() is true from then on, for a loop that
  /// ends the run itself. A blocking call that the interrupt breaks off fails
  /// with EINTR instead of carrying on.
  kNote,
};

/// Installs the handler of the interrupts, for the rest of the process or
/// until the next call. An interrupt that was ignored when the process
/// started (nohup, a background job) stays ignored.
/// REQUIRES: no other thread runs yet.
void handleInterrupts(InterruptAction action);

/// Whether an interrupt has arrived under InterruptAction::kNote.
bool interrupted();

/// For its lifetime, names the file that an interrupt removes: a temporary
/// file that must not outlive the run. The name is stored before the file is
/// made, so there is no moment when the file exists and an interrupt would
/// miss it. One lives at a time.
class RemoveOnInterrupt {
 public:
  explicit RemoveOnInterrupt(std::string path);
  /// Unnames the file (it is not removed); waits for a handler that is
  /// removing it on another thread.
  ~RemoveOnInterrupt();
  RemoveOnInterrupt(const RemoveOnInterrupt&) = delete;
  RemoveOnInterrupt& operator=(const RemoveOnInterrupt&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

/// For its lifetime an interrupt is only noted (InterruptAction::kNote) and,
/// where the platform allows, held back but during wait(): one that comes
/// while the caller works waits for the next wait, so no temporary file is
/// ever there for it to remove. Its end goes back to InterruptAction::kEnd.
/// REQUIRES: one at a time; no other thread.
class NotedInterrupts {
 public:
  NotedInterrupts();
  ~NotedInterrupts();
  NotedInterrupts(const NotedInterrupts&) = delete;
  NotedInterrupts& operator=(const NotedInterrupts&) = delete;

  /// Waits at most `limit` with the interrupts let in, ending early when
  /// the file descriptor `input` has something to read or `output` an error
  /// or a hang-up (POSIX; -1 for none); false once an interrupt has come.
  bool wait(int input, int output, std::chrono::milliseconds limit);
};

/// The platform's part of handleInterrupts (interrupt_posix.cc,
/// interrupt_windows.cc): installs the handler, which calls answerInterrupt.
void installInterruptHandler();

/// What the platform's handler does, on whatever thread and in a signal
/// handler too: removes the named file, if any, by `removeFile` (which must
/// be async-signal-safe where that matters), then notes the interrupt under
/// InterruptAction::kNote. True when the run goes on; false when the handler
/// is to end it as the interrupt would without a handler.
bool answerInterrupt(void (*removeFile)(const char* path));

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_INTERRUPT_H_
