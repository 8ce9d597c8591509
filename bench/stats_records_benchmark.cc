#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "stats/stats_records.h"

namespace sessionstats {
namespace {

// Matches spread over the whole matchup matrix, as a long log gives them.
std::vector<MatchResult> sampleMatches() {
  std::vector<MatchResult> matches(4096);
  std::uint32_t seed = 12345;
  const auto next = [&seed](std::uint32_t bound) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<std::int32_t>((seed >> 8) % bound);
  };
  for (MatchResult& match : matches) {
    match.winner = 1 + next(2);
    match.player1Rounds = match.winner == 1 ? 2 : next(2);
    match.player2Rounds = match.winner == 2 ? 2 : next(2);
    match.character1 = next(kCharacterCount);
    match.character2 = next(kCharacterCount);
    match.seconds = 30 + next(200);
  }
  return matches;
}

void BM_RecordMatch(benchmark::State& state) {
  StatsRecords records;
  const MatchRecords session =
      findOrAddMatchRecords(records, "Kestrel", "Moth");
  const std::vector<MatchResult> matches = sampleMatches();
  std::size_t next = 0;
  for (auto _ : state) {
    recordMatch(records, session, matches[next]);
    next = (next + 1) % matches.size();
  }
  benchmark::DoNotOptimize(session.pair->totalSeconds);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecordMatch);

// A session start looks up both players among all records seen so far.
void BM_FindPlayerAmong2000(benchmark::State& state) {
  StatsRecords records;
  std::vector<std::string> names;
  for (int i = 0; i < 2000; ++i) {
    names.push_back("Opponent" + std::to_string(i));
    findOrAddPlayer(records, names.back());
  }
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(&findOrAddPlayer(records, names[next]));
    next = (next + 997) % names.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FindPlayerAmong2000);

}  // namespace
}  // namespace sessionstats
