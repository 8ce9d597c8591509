#ifndef SESSION_STATS_REPORT_REPORT_FORMAT_H_
#define SESSION_STATS_REPORT_REPORT_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sessionstats {

// The fixed-width pieces of the report. Each formatter writes its text at
// `out`, returns the end of what it wrote and writes no terminating zero.
// Each needs room for at most the length its constant names, so a caller can
// build a whole line in one buffer without allocating.

/// Room for any 32-bit integer ("-2147483648").
inline constexpr std::size_t kMaxInt32Length = 11;
/// Room for any 64-bit integer.
inline constexpr std::size_t kMaxInt64Length = 20;

/// `value` in decimal, with a minus sign when negative and no padding.
/// REQUIRES: room for kMaxInt64Length bytes.
char* formatInteger(char* out, std::int64_t value);

/// `value` right-aligned in `width` columns like "%*d"; a wider number is
/// written whole. REQUIRES: room for max(width, kMaxInt32Length) bytes.
char* formatPadded(char* out, std::int32_t value, std::size_t width);

/// `text` right-aligned in `width` columns like "%*s"; longer text is written
/// whole. REQUIRES: room for max(width, text.size()) bytes.
char* formatRightAligned(char* out, std::string_view text, std::size_t width);

/// Share of wins in percent: 0 without results, 100 for wins only, otherwise
/// wins * 100 / (wins + losses) in double, so no 32-bit sum can overflow. A
/// pair that sums to 0 only through a negative count also gives 0 instead of
/// dividing by zero.
double winPercentage(std::int32_t wins, std::int32_t losses);

/// Room for any percentage text.
inline constexpr std::size_t kMaxPercentageLength = 24;

/// `percent` as "%3.3f%%": three decimals, correctly rounded from the double
/// with exact ties to even, then "%". So "60.000%", "0.062%" for 0.0625.
/// REQUIRES: |percent| < 1e15 (every winPercentage qualifies); room for
/// kMaxPercentageLength bytes.
char* formatPercentage(char* out, double percent);

/// Room for any win/loss text.
inline constexpr std::size_t kMaxWinLossLength =
    2 * kMaxInt32Length + 4 + kMaxPercentageLength;

/// "%4d/%4d " of the counts, one blank more when the unrounded percentage is
/// below 100 and another when it is below 10, then the percentage as
/// "%3.3f%%". So "  12/   8  60.000%" and "   1/  19   5.000%".
/// REQUIRES: room for kMaxWinLossLength bytes.
char* formatWinLoss(char* out, std::int32_t wins, std::int32_t losses);

/// Room for any ratio text.
inline constexpr std::size_t kMaxRatioLength = 2 * kMaxWinLossLength + 11;

/// The win/loss text of the matches, " (rounds: ", that of the rounds and
/// ")": "  12/   8  60.000% (rounds:   30/  20  60.000%)".
/// REQUIRES: room for kMaxRatioLength bytes.
char* formatRatio(char* out, std::int32_t wins, std::int32_t losses,
                  std::int32_t roundWins, std::int32_t roundLosses);

/// Room for any time split.
inline constexpr std::size_t kMaxTimeSplitLength = 3 * kMaxInt32Length + 5;

/// `totalSeconds` as hours, minutes and seconds, each division truncating
/// toward zero, hours uncapped: "1h 2m 5s", "0h 0m 0s", "-1h -2m -5s".
/// REQUIRES: room for kMaxTimeSplitLength bytes.
char* formatTimeSplit(char* out, std::int32_t totalSeconds);

/// Room for any average.
inline constexpr std::size_t kMaxAverageLength = 16;

/// Seconds per match: the single-precision quotient written like "%g" (six
/// significant digits: "93.125", "33.3333", "2e+06"). "0" when `matches` is 0.
/// REQUIRES: room for kMaxAverageLength bytes.
char* formatAverage(char* out, std::int32_t totalSeconds, std::int64_t matches);

/// Length of every length label.
inline constexpr std::size_t kLengthLabelLength = 23;

/// The label of a 30-second length band, "%d to %d seconds:" (or
/// "720+ seconds:" for the last band) right-aligned as "%22s ".
/// REQUIRES: 0 <= bucket <= 24; room for kLengthLabelLength bytes.
char* formatLengthLabel(char* out, int bucket);

/// Room for any grid cell.
inline constexpr std::size_t kMaxGridCellLength = 2 * kMaxInt32Length + 2;

/// One cell of a matchup grid: "|%4d/%4d", or "|" and 9 blanks when both
/// counts are 0. REQUIRES: room for kMaxGridCellLength bytes.
char* formatGridCell(char* out, std::int32_t wins, std::int32_t losses);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_REPORT_FORMAT_H_
