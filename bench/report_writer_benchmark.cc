#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "report/report_file.h"
#include "report/report_writer.h"
#include "stats/stats_records.h"

namespace sessionstats {
namespace {

constexpr int kOpponents = 2000;

// The local player after a long log: 2,000 opponents, each met in a few
// sessions with a handful of characters on either side.
const PlayerStats& longTimePlayer() {
  static StatsRecords records;
  static PlayerStats built;
  if (!built.name.empty()) return built;
  std::uint32_t seed = 2024;
  const auto next = [&seed](std::uint32_t bound) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<std::int32_t>((seed >> 8) % bound);
  };
  for (int i = 0; i < kOpponents; ++i) {
    const MatchRecords session = findOrAddMatchRecords(
        records, "Kestrel", "Opponent" + std::to_string(i));
    const int matches = 20 + next(20);
    for (int m = 0; m < matches; ++m) {
      MatchResult match;
      match.winner = 1 + next(2);
      match.player1Rounds = match.winner == 1 ? 2 : next(2);
      match.player2Rounds = match.winner == 2 ? 2 : next(2);
      match.character1 = next(4) * 5;
      match.character2 = (i + next(3) * 7) % kCharacterCount;
      match.seconds = 30 + next(200);
      recordMatch(records, session, match);
    }
  }
  built = buildPlayerStats(*records.findPlayer("Kestrel"));
  return built;
}

// The report's lines, each with its line end, whatever the writer does.
const std::vector<std::string>& reportLines() {
  static const std::vector<std::string> lines = [] {
    std::ostringstream text;
    writeReport(text, longTimePlayer());
    const std::string all = text.str();
    std::vector<std::string> split;
    std::size_t at = 0;
    while (at < all.size()) {
      std::size_t end = all.find("\r\n", at);
      end = end == std::string::npos ? all.size() : end + 2;
      split.push_back(all.substr(at, end - at));
      at = end;
    }
    return split;
  }();
  return lines;
}

std::filesystem::path reportPath() {
  return std::filesystem::temp_directory_path() /
         ("session_stats_benchmark_" + std::to_string(::getpid()) + ".txt");
}

void setThroughput(benchmark::State& state) {
  std::int64_t bytes = 0;
  for (const std::string& line : reportLines()) {
    bytes += static_cast<std::int64_t>(line.size());
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.SetLabel(std::to_string(reportLines().size()) + " lines");
}

// The report as the driver writes it: to a new file renamed into place.
void BM_WriteReport(benchmark::State& state) {
  const PlayerStats& player = longTimePlayer();
  const std::filesystem::path path = reportPath();
  for (auto _ : state) {
    const Status status = replaceReportFile(
        path.string(),
        [&player](std::ostream& out) { writeReport(out, player); });
    if (!status.ok()) state.SkipWithError("could not write the report");
  }
  std::filesystem::remove(path);
  setThroughput(state);
}
BENCHMARK(BM_WriteReport)->Unit(benchmark::kMillisecond)->UseRealTime();

// The report as it was written before: a write call per line, the same
// bytes, and no formatting at all.
void BM_WriteReportBaseline(benchmark::State& state) {
  const std::vector<std::string>& lines = reportLines();
  const std::filesystem::path path = reportPath();
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
      state.SkipWithError("could not create the report");
      break;
    }
    bool written = true;
    for (const std::string& line : lines) {
      written &= ::write(fd, line.data(), line.size()) ==
                 static_cast<ssize_t>(line.size());
    }
    ::close(fd);
    if (!written) state.SkipWithError("could not write the report");
  }
  std::filesystem::remove(path);
  setThroughput(state);
}
BENCHMARK(BM_WriteReportBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace sessionstats
