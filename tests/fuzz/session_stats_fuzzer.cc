// libFuzzer entry point; the work is in runFuzzInput.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  sessionstats::runFuzzInput(data, size);
  return 0;
}
