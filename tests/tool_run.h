#ifndef SESSION_STATS_TESTS_TOOL_RUN_H_
#define SESSION_STATS_TESTS_TOOL_RUN_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sessionstats::testing {

/// Whether the tests run on Windows, where what POSIX alone has (permission
/// bits, symlinks, devices such as /dev/full, signals, a POSIX shell) cannot
/// be tested: such tests are skipped there with their reason.
inline constexpr bool kOnWindows = SESSION_STATS_TESTS_ON_WINDOWS;

/// `text` with each "\n" as the platform's text line end: a message of the
/// tool on standard output as a test expects it (Windows: "\r\n").
std::string textLines(std::string_view text);

/// Whether the tests run with the rights of root, which no permission bit
/// stops.
bool runsAsRoot();

/// The exit status of `command` run by the POSIX shell, -1 when a signal
/// ended it. REQUIRES: !kOnWindows
int shellStatus(const std::string& command);

/// Sets the environment variable `name` of this process to `value`, or
/// unsets it for nullopt (Windows: also for an empty value).
void setVariable(const char* name, const std::optional<std::string>& value);

/// A fresh, empty folder that is removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const {
    return path_ / name;
  }

 private:
  std::filesystem::path path_;
};

/// What one run of the built binary did.
struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

/// Runs session-stats in `dir` with `console` as its standard input
/// (no standard input at all when nullopt: it reads end of input) and
/// `args` as its arguments, each passed as it is. `setup` is shell code run
/// first in the tool's shell ("umask 027; ulimit -f 8"); REQUIRES: it is
/// empty when kOnWindows. On Windows, `err` has the CR LF line ends of the
/// tool's messages as LF, so that tests compare the same text everywhere.
ToolRun runTool(const TempDir& dir, std::optional<std::string_view> console,
                const std::vector<std::string>& args = {},
                std::string_view setup = {});

/// Runs the shell commands `script` in `dir` with no standard input, where
/// "$SESSION_STATS" names the tool and "$GENERATE_LOG" the log generator:
/// for pipes and the like. `status` is the script's. REQUIRES: !kOnWindows
ToolRun runScript(const TempDir& dir, std::string_view script);

/// Starts one session-stats per entry of `consoles`, all at once in `dir`,
/// each with its entry as standard input, and waits for all of them.
std::vector<ToolRun> runToolsTogether(const TempDir& dir,
                                      const std::vector<std::string>& consoles);

/// What one run started without a shell did, with its peak memory.
struct DirectRun {
  int status = -1;
  std::string err;
  // The child's maximum resident set, which counts the copy of the test
  // process that it starts as.
  long peakKilobytes = 0;
};

/// Runs session-stats in `dir` with the file `console` as standard input and
/// standard output a pipe whose reader is already gone when `closedStdout`,
/// else /dev/null. SIGPIPE has its default action in the child.
DirectRun runToolDirectly(const TempDir& dir,
                          const std::filesystem::path& console,
                          bool closedStdout);

void writeFile(const std::filesystem::path& file, std::string_view bytes);
std::string readFile(const std::filesystem::path& file);

/// The names in `folder`, sorted: what a run left behind.
std::vector<std::string> namesIn(const std::filesystem::path& folder);

}  // namespace sessionstats::testing

#endif  // SESSION_STATS_TESTS_TOOL_RUN_H_
