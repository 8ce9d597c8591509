#ifndef SESSION_STATS_OS_INTERRUPT_H_
#define SESSION_STATS_OS_INTERRUPT_H_

#include <chrono>
#include <string>

namespace sessionstats {

/// What an interrupt (SIGINT, SIGTERM or SIGHUP; Ctrl-C at a console) does
/// once handleInterrupts has been called, after removing the file that a
/// RemoveOnInterrupt names.
enum class InterruptAction {
  /// The run ends as the signal ends a program that does not catch it.
  kEnd,
  /// The run goes on, interrupted() is true from then on, and a blocking
  /// call that the interrupt breaks off fails with EINTR.
  kNote,
};

/// Installs the handler; an interrupt ignored when the process started
/// (nohup) stays ignored. REQUIRES: no other thread runs yet.
void handleInterrupts(InterruptAction action);

/// Whether an interrupt has arrived under InterruptAction::kNote.
bool interrupted();

/// For its lifetime, names the file that an interrupt removes (made after
/// the name is stored, so none is missed). One lives at a time.
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

/// For its lifetime interrupts are noted (kNote) and, where the platform
/// allows, held back but during wait(), so that none finds a temporary file
/// to remove; then kEnd again. REQUIRES: one at a time; no other thread.
class NotedInterrupts {
 public:
  NotedInterrupts();
  ~NotedInterrupts();
  NotedInterrupts(const NotedInterrupts&) = delete;
  NotedInterrupts& operator=(const NotedInterrupts&) = delete;

  /// Waits at most `limit` with the interrupts let in, or until the
  /// descriptor `input` can be read or `output` has an error or a hang-up
  /// (POSIX; -1 for none); false once an interrupt has come.
  bool wait(int input, int output, std::chrono::milliseconds limit);
};

/// The platform's part of handleInterrupts: a handler that calls
/// answerInterrupt.
void installInterruptHandler();

/// The handler's work on any thread, in a signal handler too: removes the
/// named file by `removeFile` (async-signal-safe), notes the interrupt, and
/// returns false when the handler is to end the run.
bool answerInterrupt(void (*removeFile)(const char* path));

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_INTERRUPT_H_
