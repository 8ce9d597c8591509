#include "report/report_format.h"

#include <charconv>
#include <cstring>

#include "stats/tally.h"

namespace sessionstats {
namespace {

char* formatInt32(char* out, std::int32_t value) {
  return std::to_chars(out, out + kMaxInt32Length, value).ptr;
}

char* copyText(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

// The "%.3f%%" text of winPercentage(wins, losses) worked out in integers,
// or nullptr where only the general path is exact. Why it is exact:
//
// For wins, losses >= 0 with a positive sum t (t < 2^32), let N = 100000 *
// wins: the exact percentage in thousandths is N / t = k + r / t. The double
// wins * 100.0 / t is that quotient correctly rounded (the product and the
// sum are exact), so it lies within 100 * 2^-53 < 1.2e-14 of it, which is
// 1.2e-11 thousandths. Unless 2r == t, the exact value is at least 1 / (2t)
// > 1.1e-10 thousandths away from the nearest halfway point, so the double
// rounds to the same thousandth as the exact value: k, or k + 1 when 2r > t.
// An exact half (2r == t) is left to to_chars, which rounds the double's
// own binary value as printf does.
char* formatExactPercentage(char* out, std::int32_t wins, std::int32_t losses) {
  if (wins < 0 || losses < 0) return nullptr;
  const std::uint64_t total = std::uint64_t{static_cast<std::uint32_t>(wins)} +
                              static_cast<std::uint32_t>(losses);
  if (total == 0) return nullptr;
  const std::uint64_t thousandths =
      std::uint64_t{100000} * static_cast<std::uint32_t>(wins);
  const std::uint64_t remainder = thousandths % total;
  if (2 * remainder == total) return nullptr;
  const std::uint64_t rounded =
      thousandths / total + (2 * remainder > total ? 1 : 0);
  out = formatInt32(out, static_cast<std::int32_t>(rounded / 1000));
  const auto fraction = static_cast<std::uint32_t>(rounded % 1000);
  out[0] = '.';
  out[1] = static_cast<char>('0' + fraction / 100);
  out[2] = static_cast<char>('0' + fraction / 10 % 10);
  out[3] = static_cast<char>('0' + fraction % 10);
  out[4] = '%';
  return out + 5;
}

}  // namespace

char* formatInteger(char* out, std::int64_t value) {
  return std::to_chars(out, out + kMaxInt64Length, value).ptr;
}

char* formatPadded(char* out, std::int32_t value, std::size_t width) {
  char digits[kMaxInt32Length];
  const char* end = formatInt32(digits, value);
  return formatRightAligned(
      out, std::string_view(digits, static_cast<std::size_t>(end - digits)),
      width);
}

char* formatRightAligned(char* out, std::string_view text, std::size_t width) {
  if (text.size() < width) {
    const std::size_t blanks = width - text.size();
    std::memset(out, ' ', blanks);
    out += blanks;
  }
  return copyText(out, text);
}

double winPercentage(std::int32_t wins, std::int32_t losses) {
  if (losses == 0) return wins == 0 ? 0.0 : 100.0;
  // Both conversions are exact, and so are the product and the sum.
  const double total = static_cast<double>(wins) + losses;
  if (total == 0) return 0.0;
  return wins * 100.0 / total;
}

char* formatPercentage(char* out, double percent) {
  // to_chars with a precision rounds the exact binary value, ties to even,
  // as printf does.
  out = std::to_chars(out, out + kMaxPercentageLength - 1, percent,
                      std::chars_format::fixed, 3)
            .ptr;
  *out++ = '%';
  return out;
}

char* formatWinLoss(char* out, std::int32_t wins, std::int32_t losses) {
  out = formatPadded(out, wins, 4);
  *out++ = '/';
  out = formatPadded(out, losses, 4);
  *out++ = ' ';
  // The extra blanks depend on the percentage before rounding, so 99.9996
  // keeps its blank and prints as " 100.000%", one column wider than 100.
  const double percent = winPercentage(wins, losses);
  if (percent < 100) *out++ = ' ';
  if (percent < 10) *out++ = ' ';
  if (char* end = formatExactPercentage(out, wins, losses)) return end;
  return formatPercentage(out, percent);
}

char* formatRatio(char* out, std::int32_t wins, std::int32_t losses,
                  std::int32_t roundWins, std::int32_t roundLosses) {
  out = formatWinLoss(out, wins, losses);
  out = copyText(out, " (rounds: ");
  out = formatWinLoss(out, roundWins, roundLosses);
  *out++ = ')';
  return out;
}

char* formatTimeSplit(char* out, std::int32_t totalSeconds) {
  // No step can overflow: 3600 * hours and 60 * minutes never pass the
  // magnitude of what they are taken from.
  const std::int32_t hours = totalSeconds / 3600;
  const std::int32_t rest = totalSeconds - 3600 * hours;
  const std::int32_t minutes = rest / 60;
  const std::int32_t seconds = rest - 60 * minutes;
  out = formatInt32(out, hours);
  out = copyText(out, "h ");
  out = formatInt32(out, minutes);
  out = copyText(out, "m ");
  out = formatInt32(out, seconds);
  *out++ = 's';
  return out;
}

char* formatAverage(char* out, std::int32_t totalSeconds,
                    std::int64_t matches) {
  if (matches == 0) {
    *out++ = '0';
    return out;
  }
  const float average =
      static_cast<float>(totalSeconds) / static_cast<float>(matches);
  // Same digits as "%g": six significant, shortest of fixed or exponent.
  return std::to_chars(out, out + kMaxAverageLength, average,
                       std::chars_format::general, 6)
      .ptr;
}

char* formatLengthLabel(char* out, int bucket) {
  // Roomy enough for formatInteger's bound at any point of the label.
  char label[2 * kMaxInt64Length + 16];
  const std::int64_t first = std::int64_t{kLengthBandSeconds} * bucket;
  char* end = formatInteger(label, first);
  if (bucket < kLengthBucketCount - 1) {
    end = copyText(end, " to ");
    end = formatInteger(end, first + kLengthBandSeconds - 1);
    end = copyText(end, " seconds:");
  } else {
    end = copyText(end, "+ seconds:");
  }
  out = formatRightAligned(
      out, std::string_view(label, static_cast<std::size_t>(end - label)), 22);
  *out++ = ' ';
  return out;
}

char* formatGridCell(char* out, std::int32_t wins, std::int32_t losses) {
  if (wins == 0 && losses == 0) return copyText(out, "|         ");
  *out++ = '|';
  out = formatPadded(out, wins, 4);
  *out++ = '/';
  return formatPadded(out, losses, 4);
}

}  // namespace sessionstats
