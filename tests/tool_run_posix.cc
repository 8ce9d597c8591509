#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <stdexcept>

#include "tool_run.h"

namespace sessionstats::testing {

namespace fs = std::filesystem;

namespace {

// `text` as one shell word, whatever it holds.
std::string shellQuoted(std::string_view text) {
  std::string quoted = "'";
  for (char byte : text) {
    if (byte == '\'') {
      quoted += "'\\''";
    } else {
      quoted += byte;
    }
  }
  return quoted + "'";
}

// The tool's files for standard input, output and error, named by `tag`,
// outside the tool's folder so that they never mix with what it writes.
struct StandardFiles {
  fs::path in;
  fs::path out;
  fs::path err;

  StandardFiles(const TempDir& dir, const std::string& tag)
      : in(dir.path().string() + ".stdin" + tag),
        out(dir.path().string() + ".stdout" + tag),
        err(dir.path().string() + ".stderr" + tag) {}

  // The tool's command line with `args` and its redirections.
  std::string command(std::optional<std::string_view> console,
                      const std::vector<std::string>& args = {}) const {
    std::string line = shellQuoted(SESSION_STATS_BINARY);
    for (const std::string& arg : args) line += ' ' + shellQuoted(arg);
    line +=
        " >" + shellQuoted(out.string()) + " 2>" + shellQuoted(err.string());
    if (!console) return line + " </dev/null";
    writeFile(in, *console);
    return line + " <" + shellQuoted(in.string());
  }

  ToolRun collect(int status) const {
    ToolRun run;
    run.status = status;
    run.out = readFile(out);
    run.err = readFile(err);
    fs::remove(in);
    fs::remove(out);
    fs::remove(err);
    return run;
  }
};

std::string inFolder(const TempDir& dir) {
  return "cd " + shellQuoted(dir.path().string()) + " || exit 126\n";
}

}  // namespace

ToolRun runTool(const TempDir& dir, std::optional<std::string_view> console,
                const std::vector<std::string>& args, std::string_view setup) {
  const StandardFiles files(dir, "");
  const std::string command =
      inFolder(dir) + std::string(setup) + "\n" + files.command(console, args);
  return files.collect(shellStatus(command));
}

ToolRun runScript(const TempDir& dir, std::string_view script) {
  const StandardFiles files(dir, "");
  const std::string command =
      inFolder(dir) + "SESSION_STATS=" + shellQuoted(SESSION_STATS_BINARY) +
      " GENERATE_LOG=" + shellQuoted(GENERATE_LOG_BINARY) + "\n{\n" +
      std::string(script) + "\n} >" + shellQuoted(files.out.string()) + " 2>" +
      shellQuoted(files.err.string()) + " </dev/null";
  return files.collect(shellStatus(command));
}

std::vector<ToolRun> runToolsTogether(
    const TempDir& dir, const std::vector<std::string>& consoles) {
  std::vector<StandardFiles> files;
  std::string command = inFolder(dir) + "{ ";
  for (std::size_t i = 0; i < consoles.size(); ++i) {
    files.emplace_back(dir, std::to_string(i));
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict)
    // about "(" + a temporary string.
    command += '(';
    command += files.back().command(consoles[i]);
    command +=
        "; echo $? >" + shellQuoted(files.back().in.string() + ".status");
    command += ") & ";
  }
  command += "wait; }";
  if (std::system(command.c_str()) != 0) {
    throw std::runtime_error("could not start the runs: " + command);
  }
  std::vector<ToolRun> runs;
  for (const StandardFiles& run : files) {
    const fs::path status = run.in.string() + ".status";
    runs.push_back(run.collect(std::stoi(readFile(status))));
    fs::remove(status);
  }
  return runs;
}

DirectRun runToolDirectly(const TempDir& dir, const fs::path& console,
                          bool closedStdout) {
  const StandardFiles files(dir, "");
  // Everything the child needs is made ready here: after fork it only makes
  // system calls.
  const std::string folder = dir.path().string();
  const std::string in = console.string();
  const std::string err = files.err.string();
  const pid_t child = ::fork();
  if (child == 0) {
    int output[2] = {-1, -1};
    if (closedStdout) {
      if (::pipe(output) != 0) ::_exit(126);
      ::close(output[0]);
    } else {
      output[1] = ::open("/dev/null", O_WRONLY);
    }
    const int input = ::open(in.c_str(), O_RDONLY);
    const int error = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (input < 0 || error < 0 || output[1] < 0 || ::chdir(folder.c_str()) ||
        ::dup2(input, 0) < 0 || ::dup2(output[1], 1) < 0 ||
        ::dup2(error, 2) < 0) {
      ::_exit(126);
    }
    ::signal(SIGPIPE, SIG_DFL);
    ::execl(SESSION_STATS_BINARY, SESSION_STATS_BINARY, nullptr);
    ::_exit(127);
  }
  DirectRun run;
  int raw = 0;
  struct rusage usage {};
  if (child < 0 || ::wait4(child, &raw, 0, &usage) != child) {
    throw std::runtime_error("could not run " SESSION_STATS_BINARY);
  }
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  run.err = readFile(files.err);
  run.peakKilobytes = usage.ru_maxrss;
  fs::remove(files.err);
  return run;
}

bool runsAsRoot() { return ::geteuid() == 0; }

void setVariable(const char* name, const std::optional<std::string>& value) {
  if (value) {
    ::setenv(name, value->c_str(), 1);
  } else {
    ::unsetenv(name);
  }
}

int shellStatus(const std::string& command) {
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

}  // namespace sessionstats::testing
