// libFuzzer entry that holds the hand-written result line matcher to the C
// library: for any text without a NUL, scanResultNumbers must convert what
// sscanf converts and leadingInteger must read what atoi reads; and
// readResultLine must read what the plain reading built on them reads.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "log/result_line_matcher.h"
#include "plain_result_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (text.find('\0') != std::string::npos) return 0;

  // The same sentinels on both sides, so an output written where the C
  // library leaves it alone shows too.
  std::int32_t ours[3] = {-7, -8, -9};
  int theirs[3] = {-7, -8, -9};
  const int converted = sessionstats::scanResultNumbers(text, ours);
  const int expected =
      std::sscanf(text.c_str(), "Player %d wins match %d-%d : ", &theirs[0],
                  &theirs[1], &theirs[2]);
  if (converted != (expected < 0 ? 0 : expected)) __builtin_trap();
  for (int i = 0; i < 3; ++i) {
    if (ours[i] != theirs[i]) __builtin_trap();
  }
  if (sessionstats::leadingInteger(text) != std::atoi(text.c_str())) {
    __builtin_trap();
  }
  sessionstats::MatchResult read;
  sessionstats::MatchResult plain;
  const bool isResult = sessionstats::testing::plainResultLine(text, plain);
  if (sessionstats::readResultLine(text, read) != isResult ||
      (isResult && !sessionstats::testing::sameMatch(read, plain))) {
    __builtin_trap();
  }
  return 0;
}
