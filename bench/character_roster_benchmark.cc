#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "stats/character_roster.h"

namespace sessionstats {
namespace {

// Looks the names up one after the other, round and round.
template <std::size_t kCount>
void lookUpInTurn(benchmark::State& state,
                  const std::array<std::string, kCount>& names) {
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(findCharacter(names[next]));
    next = next + 1 == kCount ? 0 : next + 1;
  }
  state.SetItemsProcessed(state.iterations());
}

// Names held as the reader holds them: views of other memory than the
// roster's own, so no lookup can win by comparing pointers.
void BM_FindCharacterHit(benchmark::State& state) {
  std::array<std::string, kCharacterCount> names;
  for (int i = 0; i < kCharacterCount; ++i) {
    names[static_cast<std::size_t>(i)] = kRoster.longName[i];
  }
  lookUpInTurn(state, names);
}
BENCHMARK(BM_FindCharacterHit);

// Misses that share a length or a prefix with a long name cost the most.
void BM_FindCharacterMiss(benchmark::State& state) {
  const std::array<std::string, 8> names = {
      "H&K",  "N.A.Chaos",       "sion",      "Hisui & Kohaku",
      "Neco", "Neco-Arc Chaos ", "Warcueid2", "Hisui and Kohak"};
  lookUpInTurn(state, names);
}
BENCHMARK(BM_FindCharacterMiss);

}  // namespace
}  // namespace sessionstats
