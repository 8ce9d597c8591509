#include "tool_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace sessionstats::testing {

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  path_ = fs::temp_directory_path() /
          ("session-stats-test-" + std::to_string(::getpid()) + "-" +
           std::to_string(counter++));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void writeFile(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

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

}  // namespace

ToolRun runTool(const TempDir& dir, std::optional<std::string_view> console,
                const std::vector<std::string>& args) {
  const fs::path in = dir / ".stdin";
  const fs::path out = dir / ".stdout";
  const fs::path err = dir / ".stderr";
  std::string command = "cd " + shellQuoted(dir.path().string()) + " && " +
                        shellQuoted(SESSION_STATS_BINARY);
  for (const std::string& arg : args) command += ' ' + shellQuoted(arg);
  command +=
      " >" + shellQuoted(out.string()) + " 2>" + shellQuoted(err.string());
  if (console) {
    writeFile(in, *console);
    command += " <" + shellQuoted(in.string());
  } else {
    command += " </dev/null";
  }
  const int raw = std::system(command.c_str());
  ToolRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = readFile(out);
  run.err = readFile(err);
  fs::remove(in);
  fs::remove(out);
  fs::remove(err);
  return run;
}

}  // namespace sessionstats::testing
