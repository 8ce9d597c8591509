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
