#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "os/desktop_opener.h"
#include "os/windows_error.h"

namespace sessionstats {
namespace {

// `text`, UTF-8, as UTF-16 for the wide calls.
std::wstring widened(const std::string& text) {
  const int units = MultiByteToWideChar(
      CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                      wide.data(), units);
  return wide;
}

}  // namespace

// ShellExecuteW starts the handler of the file's type (the default browser
// for a page) and returns without waiting for it. A program of
// SESSION_STATS_OPENER is started the same way with the path, quoted, as its
// argument; a path holds no '"', which Windows does not allow in names.
Status openWithDesktop(const std::string& path) {
  const char* opener = std::getenv(kOpenerVariable);
  const bool replaced = opener != nullptr && opener[0] != '\0';
  const std::wstring file = widened(replaced ? std::string(opener) : path);
  const std::wstring argument = L"\"" + widened(path) + L"\"";
  const HINSTANCE done = ShellExecuteW(nullptr, L"open", file.c_str(),
                                       replaced ? argument.c_str() : nullptr,
                                       nullptr, SW_SHOWNORMAL);
  // A value above 32 is success; below it, GetLastError says why.
  if (reinterpret_cast<INT_PTR>(done) > 32) return Status();
  const DWORD error = GetLastError();
  return Status::ofErrno(error != 0 ? errnoOfWindowsError(error) : ENOENT);
}

}  // namespace sessionstats
