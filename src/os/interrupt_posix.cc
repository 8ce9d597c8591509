#include <unistd.h>

#include <array>
#include <csignal>

#include "os/interrupt.h"

namespace sessionstats {
namespace {

constexpr std::array<int, 3> kInterrupts = {SIGINT, SIGTERM, SIGHUP};

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

}  // namespace sessionstats
