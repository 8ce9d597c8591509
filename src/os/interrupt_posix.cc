#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <ctime>

#include "os/interrupt.h"

namespace sessionstats {
namespace {

constexpr std::array<int, 3> kInterrupts = {SIGINT, SIGTERM, SIGHUP};

// While NotedInterrupts lives: the mask before it, which it gives back, and
// that mask with the interrupts let in, for its waits.
sigset_t maskBefore{};
sigset_t maskWaiting{};

void removeFile(const char* path) { ::unlink(path); }

// Only async-signal-safe calls: unlink, sigaction, raise.
extern "C" void onInterrupt(int signal) {
  if (answerInterrupt(removeFile)) return;
  // The signal is blocked while its handler runs: raised again with its
  // default action, it ends the process as soon as the handler returns.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
  ::raise(signal);
}

}  // namespace

void installInterruptHandler() {
  struct sigaction handler {};
  handler.sa_handler = onInterrupt;
  // A second interrupt waits until the first handler is done. Without
  // SA_RESTART, a blocking call that an interrupt breaks off fails with
  // EINTR, so a loop under kNote sees interrupted() soon.
  sigemptyset(&handler.sa_mask);
  for (const int signal : kInterrupts) sigaddset(&handler.sa_mask, signal);
  for (const int signal : kInterrupts) {
    struct sigaction previous {};
    ::sigaction(signal, nullptr, &previous);
    if (previous.sa_handler == SIG_IGN) continue;
    ::sigaction(signal, &handler, nullptr);
  }
}

NotedInterrupts::NotedInterrupts() {
  handleInterrupts(InterruptAction::kNote);
  sigset_t interrupts;
  sigemptyset(&interrupts);
  for (const int signal : kInterrupts) sigaddset(&interrupts, signal);
  sigprocmask(SIG_BLOCK, &interrupts, &maskBefore);
  maskWaiting = maskBefore;
  for (const int signal : kInterrupts) sigdelset(&maskWaiting, signal);
}

NotedInterrupts::~NotedInterrupts() {
  sigprocmask(SIG_SETMASK, &maskBefore, nullptr);
  handleInterrupts(InterruptAction::kEnd);
}

// A member, though its state is the process's: it holds only while the
// object lives.
// NOLINTNEXTLINE(readability-convert-member-functions-to-static)
bool NotedInterrupts::wait(int input, int output,
                           std::chrono::milliseconds limit) {
  if (interrupted()) return false;
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limit);
  const timespec timeout{
      static_cast<std::time_t>(seconds.count()),
      static_cast<long>(std::chrono::nanoseconds(limit - seconds).count())};
  // A descriptor of -1 is passed over; an error or a hang-up is reported
  // whatever the events asked for.
  std::array<pollfd, 2> events{{{input, POLLIN, 0}, {output, 0, 0}}};
  ppoll(events.data(), events.size(), &timeout, &maskWaiting);
  return !interrupted();
}

}  // namespace sessionstats
