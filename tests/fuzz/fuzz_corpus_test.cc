#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz/fuzz_input.h"
#include "tool_run.h"

namespace sessionstats {
namespace {

namespace fs = std::filesystem;

// Replays the fuzzer's seeds and every input it ever found a fault with, so
// the ordinary (and the sanitizer) test runs keep them fixed.
TEST(FuzzCorpus, EverySeedAndRegressionInputRunsClean) {
  const fs::path root = fs::path(SESSION_STATS_SOURCE_DIR) / "tests" / "fuzz";
  int replayed = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    if (!fs::exists(root / folder)) continue;
    for (const auto& entry : fs::directory_iterator(root / folder)) {
      SCOPED_TRACE(entry.path().string());
      const std::string bytes = testing::readFile(entry.path());
      runFuzzInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                   bytes.size());
      ++replayed;
    }
  }
  EXPECT_GE(replayed, 5);
}

}  // namespace
}  // namespace sessionstats
