#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "log/log_line_splitter.h"
#include "log/session_log_reader.h"
#include "stats/stats_records.h"
#include "tools/log_generator.h"

namespace sessionstats {
namespace {

// The same ratio of lines to opponents as the one-million-line benchmark log.
constexpr LogGeneratorOptions kSampleLog = {
    .lines = 200'000, .opponents = 400, .seed = 1};

const std::string& sampleLog() {
  static const std::string log = generateLog(kSampleLog);
  return log;
}

// Hands the log to `sink` line by line in blocks of the size the driver reads.
template <typename Sink>
void splitLog(std::string_view log, Sink&& sink) {
  constexpr std::size_t kBlock = std::size_t{1} << 18;
  LogLineSplitter splitter;
  for (std::size_t at = 0; at < log.size(); at += kBlock) {
    splitter.feed(log.data() + at, std::min(kBlock, log.size() - at), sink);
  }
  splitter.finish(sink);
}

void setThroughput(benchmark::State& state, std::string_view log) {
  state.SetItemsProcessed(state.iterations() *
                          static_cast<std::int64_t>(kSampleLog.lines));
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(log.size()));
}

// The floor for reading: finding the lines and nothing else.
void BM_SplitLog(benchmark::State& state) {
  const std::string& log = sampleLog();
  for (auto _ : state) {
    std::size_t total = 0;
    splitLog(log, [&total](std::string_view line) { total += line.size(); });
    benchmark::DoNotOptimize(total);
  }
  setThroughput(state, log);
}
BENCHMARK(BM_SplitLog)->Unit(benchmark::kMillisecond);

// The reading phase without the file: split, interpret, count, release.
void BM_ProcessLog(benchmark::State& state) {
  const std::string& log = sampleLog();
  for (auto _ : state) {
    StatsRecords records;
    SessionLogReader reader(records);
    splitLog(log, [&reader](std::string_view line) {
      reader.read(parseLine(line));
    });
    benchmark::DoNotOptimize(records.players().size());
  }
  setThroughput(state, log);
}
BENCHMARK(BM_ProcessLog)->Unit(benchmark::kMillisecond);

// One line of each common kind, inside a session between two of 2,000 known
// players.
constexpr std::array<std::string_view, 5> kLineKinds = {
    "result", "other", "session start", "unknown character", "cut short",
};
constexpr std::array<std::string_view, 5> kLines = {
    "2019-03-02 23:14:49 Player 1 wins match 2-1 : Hisui and Kohaku vs "
    "Neco-Arc Chaos (57 seconds)",
    "2019-03-02 23:18:26 Rollback: 2 frames max, 3 avg",
    "2019-03-02 23:13:52 Session start. Players: Kestrel vs Opponent1999",
    "2019-03-02 23:14:49 Player 1 wins match 2-1 : H&K vs Sion (57 seconds)",
    "2019-03-02 23:14:49 Player 1 wins match 2-1 : Hisui and Koh",
};

void BM_ProcessLine(benchmark::State& state) {
  const auto kind = static_cast<std::size_t>(state.range(0));
  StatsRecords records;
  for (int i = 0; i < 2000; ++i) {
    findOrAddPlayer(records, "Opponent" + std::to_string(i));
  }
  SessionLogReader reader(records);
  reader.read(parseLine(kLines[2]));
  const std::string line(kLines[kind]);
  for (auto _ : state) {
    reader.read(parseLine(line));
  }
  benchmark::DoNotOptimize(records.players().size());
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(std::string(kLineKinds[kind]));
}
BENCHMARK(BM_ProcessLine)->DenseRange(0, kLines.size() - 1);

}  // namespace
}  // namespace sessionstats
