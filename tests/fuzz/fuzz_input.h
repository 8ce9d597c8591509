#ifndef SESSION_STATS_TESTS_FUZZ_FUZZ_INPUT_H_
#define SESSION_STATS_TESTS_FUZZ_FUZZ_INPUT_H_

#include <cstddef>
#include <cstdint>

namespace sessionstats {

/// Splits `data` into a log and an answer, reads the log, writes the report
/// of every record (as text, again from the match log, as CSV, JSON and HTML)
/// and traps when any of them breaks a rule that holds for every log.
/// Accepts any bytes.
void runFuzzInput(const std::uint8_t* data, std::size_t size);

}  // namespace sessionstats

#endif  // SESSION_STATS_TESTS_FUZZ_FUZZ_INPUT_H_
