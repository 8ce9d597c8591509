#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "log/result_line_matcher.h"

namespace sessionstats {
namespace {

// The heads the matcher meets: the client's usual one, one with a
// two-digit number, and a line of another kind that begins like none.
constexpr std::array<std::string_view, 3> kHeadKinds = {"usual", "two-digit",
                                                        "other"};
constexpr std::array<std::string_view, 3> kHeads = {
    "Player 1 wins match 2-1 : Sion vs Ciel (57 seconds)",
    "Player 2 wins match 12-10 : Sion vs Ciel (57 seconds)",
    "Rollback: 2 frames max, 3 avg",
};

void BM_ScanResultNumbers(benchmark::State& state) {
  const auto kind = static_cast<std::size_t>(state.range(0));
  const std::string text(kHeads[kind]);
  for (auto _ : state) {
    std::int32_t numbers[3] = {0, 0, 0};
    benchmark::DoNotOptimize(scanResultNumbers(text, numbers));
    benchmark::DoNotOptimize(numbers);
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(std::string(kHeadKinds[kind]));
}
BENCHMARK(BM_ScanResultNumbers)->DenseRange(0, kHeads.size() - 1);

void BM_LeadingInteger(benchmark::State& state) {
  const std::string text = "157 seconds)";
  for (auto _ : state) {
    benchmark::DoNotOptimize(leadingInteger(text));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LeadingInteger);

}  // namespace
}  // namespace sessionstats
