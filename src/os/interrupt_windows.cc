#include <windows.h>

#include <cstring>
#include <string>

#include "os/interrupt.h"

namespace sessionstats {
namespace {

// Windows runs a console control handler on a thread of its own, so it may
// call anything. The name is in the process's code page, UTF-8 by the
// manifest, as for every file function. A file still open is removed once its
// last handle closes, at the latest when the process ends.
void removeFile(const char* path) {
  const int size = static_cast<int>(std::strlen(path));
  const int units = MultiByteToWideChar(CP_ACP, 0, path, size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path, size, wide.data(), units);
  DeleteFileW(wide.c_str());
}

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

}  // namespace sessionstats
