#include <windows.h>

#include <thread>

#include "os/interrupt.h"

namespace sessionstats {
namespace {

// Windows runs a console control handler on a thread of its own, so it may
// call anything. The name is in the process's code page, UTF-8 by the
// manifest, as for every file function. A file still open is removed once its
// last handle closes, at the latest when the process ends.
void removeFile(const char* path) { DeleteFileA(path); }

BOOL WINAPI onInterrupt(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT &&
      event != CTRL_CLOSE_EVENT) {
    return FALSE;
  }
  // FALSE passes the event on to the default handler, which ends the
  // process.
  return answerInterrupt(removeFile) ? TRUE : FALSE;
}

}  // namespace

// Ctrl-C that the parent turned off (SetConsoleCtrlHandler(nullptr, TRUE),
// inherited) stays off: adding a handler does not undo it.
void installInterruptHandler() { SetConsoleCtrlHandler(onInterrupt, TRUE); }

// Windows cannot hold a console's interrupt back: its handler runs on a
// thread of its own at once. Waits look for it every so often.
NotedInterrupts::NotedInterrupts() { handleInterrupts(InterruptAction::kNote); }

NotedInterrupts::~NotedInterrupts() { handleInterrupts(InterruptAction::kEnd); }

bool NotedInterrupts::wait(int /*input*/, int /*output*/,
                           std::chrono::milliseconds limit) {
  if (interrupted()) return false;
  std::this_thread::sleep_for(limit);
  return !interrupted();
}

}  // namespace sessionstats
