#include <windows.h>

#include "tool_run.h"
// After windows.h, which it needs.
#include <psapi.h>

#include <stdexcept>
#include <utility>

namespace sessionstats::testing {

namespace fs = std::filesystem;

namespace {

std::wstring widened(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int units =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), units);
  return wide;
}

// `argument` quoted so that the C runtime's parsing of the command line
// gives it back as it is.
std::wstring quoted(const std::wstring& argument) {
  std::wstring line = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t unit : argument) {
    if (unit == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are escaped, and so is the quote.
    line.append(unit == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    line += unit;
  }
  line.append(2 * backslashes, L'\\');
  return line + L"\"";
}

// An open handle, closed when it goes.
class Handle {
 public:
  explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~Handle() { reset(); }
  Handle(Handle&& other) noexcept
      : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  Handle& operator=(Handle&&) = delete;
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  HANDLE get() const { return handle_; }
  void reset() {
    if (handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr) {
      CloseHandle(handle_);
    }
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

// A file a child process inherits as a standard stream.
Handle inheritable(const std::wstring& name, bool write) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  Handle file(CreateFileW(
      name.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
      write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("cannot open a standard stream for the tool");
  }
  return file;
}

// The writing end of a pipe whose reader has gone.
Handle pipeWithoutReader() {
  HANDLE reader = nullptr;
  HANDLE writer = nullptr;
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  if (CreatePipe(&reader, &writer, &inherit, 0) == 0) {
    throw std::runtime_error("cannot make a pipe");
  }
  CloseHandle(reader);
  return Handle(writer);
}

// Starts the tool in `dir` with these standard streams and arguments.
Handle startTool(const TempDir& dir, HANDLE in, HANDLE out, HANDLE err,
                 const std::vector<std::string>& args) {
  const std::wstring binary = widened(SESSION_STATS_BINARY);
  std::wstring line = quoted(binary);
  for (const std::string& arg : args) line += L' ' + quoted(widened(arg));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(binary.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                     nullptr, dir.path().wstring().c_str(), &startup,
                     &process) == 0) {
    throw std::runtime_error("could not run " SESSION_STATS_BINARY);
  }
  CloseHandle(process.hThread);
  return Handle(process.hProcess);
}

int waitFor(const Handle& process) {
  DWORD status = 0;
  if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 ||
      GetExitCodeProcess(process.get(), &status) == 0) {
    throw std::runtime_error("lost the tool's process");
  }
  return static_cast<int>(status);
}

// The tool's messages end their lines with CR LF, as Windows text does: the
// tests compare them as LF.
std::string withLf(std::string text) {
  std::string lf;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '\r' || at + 1 == text.size() || text[at + 1] != '\n') {
      lf += text[at];
    }
  }
  return lf;
}

// The tool's files for standard input, output and error, named by `tag`,
// outside the tool's folder so that they never mix with what it writes.
struct StandardFiles {
  fs::path in;
  fs::path out;
  fs::path err;

  StandardFiles(const TempDir& dir, const std::string& tag)
      : in(dir.path().wstring() + widened(".stdin" + tag)),
        out(dir.path().wstring() + widened(".stdout" + tag)),
        err(dir.path().wstring() + widened(".stderr" + tag)) {}

  Handle start(const TempDir& dir, std::optional<std::string_view> console,
               const std::vector<std::string>& args) const {
    if (console) writeFile(in, *console);
    const Handle input = inheritable(console ? in.wstring() : L"NUL", false);
    const Handle output = inheritable(out.wstring(), true);
    const Handle error = inheritable(err.wstring(), true);
    return startTool(dir, input.get(), output.get(), error.get(), args);
  }

  ToolRun collect(int status) const {
    ToolRun run;
    run.status = status;
    run.out = readFile(out);
    run.err = withLf(readFile(err));
    std::error_code ignored;
    fs::remove(in, ignored);
    fs::remove(out);
    fs::remove(err);
    return run;
  }
};

}  // namespace

// Windows has no root; an administrator's rights are not asked for.
bool runsAsRoot() { return false; }

// An empty value removes the variable.
void setVariable(const char* name, const std::optional<std::string>& value) {
  _putenv_s(name, value ? value->c_str() : "");
}

int shellStatus(const std::string& /*command*/) {
  throw std::logic_error("a POSIX shell is for POSIX runs only");
}

ToolRun runTool(const TempDir& dir, std::optional<std::string_view> console,
                const std::vector<std::string>& args, std::string_view setup) {
  if (!setup.empty()) {
    throw std::logic_error("shell setup is for POSIX runs only");
  }
  const StandardFiles files(dir, "");
  const Handle process = files.start(dir, console, args);
  return files.collect(waitFor(process));
}

ToolRun runScript(const TempDir& /*dir*/, std::string_view /*script*/) {
  throw std::logic_error("a POSIX shell is for POSIX runs only");
}

std::vector<ToolRun> runToolsTogether(
    const TempDir& dir, const std::vector<std::string>& consoles) {
  std::vector<StandardFiles> files;
  std::vector<Handle> processes;
  for (std::size_t i = 0; i < consoles.size(); ++i) {
    files.emplace_back(dir, std::to_string(i));
    processes.push_back(files.back().start(dir, consoles[i], {}));
  }
  std::vector<ToolRun> runs;
  for (std::size_t i = 0; i < files.size(); ++i) {
    runs.push_back(files[i].collect(waitFor(processes[i])));
  }
  return runs;
}

DirectRun runToolDirectly(const TempDir& dir, const fs::path& console,
                          bool closedStdout) {
  const StandardFiles files(dir, "");
  const Handle input = inheritable(console.wstring(), false);
  const Handle error = inheritable(files.err.wstring(), true);
  const Handle output =
      closedStdout ? pipeWithoutReader() : inheritable(L"NUL", true);
  const Handle process =
      startTool(dir, input.get(), output.get(), error.get(), {});
  DirectRun run;
  run.status = waitFor(process);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (K32GetProcessMemoryInfo(process.get(), &memory, sizeof memory) != 0) {
    run.peakKilobytes = static_cast<long>(memory.PeakWorkingSetSize / 1024);
  }
  run.err = withLf(readFile(files.err));
  fs::remove(files.err);
  return run;
}

}  // namespace sessionstats::testing
