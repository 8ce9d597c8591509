#ifndef SESSION_STATS_TESTS_TOOL_RUN_H_
#define SESSION_STATS_TESTS_TOOL_RUN_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sessionstats::testing {

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
/// `args` as its arguments, each passed as it is.
ToolRun runTool(const TempDir& dir, std::optional<std::string_view> console,
                const std::vector<std::string>& args = {});

void writeFile(const std::filesystem::path& file, std::string_view bytes);
std::string readFile(const std::filesystem::path& file);

}  // namespace sessionstats::testing

#endif  // SESSION_STATS_TESTS_TOOL_RUN_H_
