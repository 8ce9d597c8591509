#include "stats/match_log.h"

#include <chrono>

#include "base/ascii.h"

namespace sessionstats {
namespace {

constexpr std::string_view kDateForm = "dddd-dd-dd";
constexpr std::string_view kTimeForm = "dd:dd:dd";

// Whether `text` has the shape of `form`: 'd' for a digit, other bytes as
// they stand.
bool hasForm(std::string_view text, std::string_view form) {
  if (text.size() != form.size()) return false;
  for (std::size_t i = 0; i < form.size(); ++i) {
    if (form[i] == 'd' ? !isDigit(text[i]) : text[i] != form[i]) return false;
  }
  return true;
}

std::uint32_t digits(std::string_view text, std::size_t from,
                     std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = from; i < from + count; ++i) {
    value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
  }
  return value;
}

// Writes the `count` last decimal digits of `value`, zeros in front.
char* writeDigits(char* out, std::uint32_t value, int count) {
  for (int i = count - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return out + count;
}

// Writes the three fields of `value`, packed as in YYYYMMDD or HHMMSS: the
// first `firstWidth` digits wide, the others two, `separator` between them.
char* writeStamp(char* out, std::uint32_t value, int firstWidth,
                 char separator) {
  out = writeDigits(out, value / 10000, firstWidth);
  *out++ = separator;
  out = writeDigits(out, value / 100 % 100, 2);
  *out++ = separator;
  return writeDigits(out, value % 100, 2);
}

}  // namespace

std::uint32_t parseDate(std::string_view text) {
  if (!hasForm(text, kDateForm)) return kNoDate;
  const std::uint32_t year = digits(text, 0, 4);
  const std::uint32_t month = digits(text, 5, 2);
  const std::uint32_t day = digits(text, 8, 2);
  const std::chrono::year_month_day date{
      std::chrono::year(static_cast<int>(year)), std::chrono::month(month),
      std::chrono::day(day)};
  if (year == 0 || !date.ok()) return kNoDate;
  return year * 10000 + month * 100 + day;
}

std::uint32_t parseTime(std::string_view text) {
  if (!hasForm(text, kTimeForm)) return kNoTime;
  const std::uint32_t hours = digits(text, 0, 2);
  const std::uint32_t minutes = digits(text, 3, 2);
  const std::uint32_t seconds = digits(text, 6, 2);
  if (hours > 23 || minutes > 59 || seconds > 60) return kNoTime;
  return hours * 10000 + minutes * 100 + seconds + 1;
}

char* writeDate(char* out, std::uint32_t date) {
  return date == kNoDate ? out : writeStamp(out, date, 4, '-');
}

char* writeTime(char* out, std::uint32_t time) {
  return time == kNoTime ? out : writeStamp(out, time - 1, 2, ':');
}

std::string formatDate(std::uint32_t date) {
  char text[kMaxStampLength];
  return {text, writeDate(text, date)};
}

MatchEntry makeMatchEntry(const MatchRecords& session, std::uint32_t ordinal,
                          const MatchResult& match, std::uint32_t date,
                          std::uint32_t time) {
  return {.pair = session.pair,
          .session = ordinal,
          .date = date,
          .time = time,
          .player1Rounds = match.player1Rounds,
          .player2Rounds = match.player2Rounds,
          .seconds = match.seconds,
          .character1 = static_cast<std::uint8_t>(match.character1),
          .character2 = static_cast<std::uint8_t>(match.character2),
          .winner = match.winner == 1 || match.winner == 2
                        ? static_cast<std::uint8_t>(match.winner)
                        : std::uint8_t{0},
          .player1IsSide1 = session.player1IsSide1};
}

}  // namespace sessionstats
