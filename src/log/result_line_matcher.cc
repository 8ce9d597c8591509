#include "log/result_line_matcher.h"

#include <cstring>

#include "base/ascii.h"
#include "base/byte_search.h"
#include "stats/character_roster.h"

namespace sessionstats {
namespace {

// Walks the text from its start. Every step checks for the end before it
// reads a byte, so nothing outside the text is ever read.
class Cursor {
 public:
  explicit Cursor(std::string_view text)
      : p_(text.data()), end_(text.data() + text.size()) {}

  void skipSpace() {
    while (p_ != end_ && isSpace(*p_)) ++p_;
  }

  bool literal(std::string_view word) {
    if (static_cast<std::size_t>(end_ - p_) < word.size() ||
        std::memcmp(p_, word.data(), word.size()) != 0) {
      return false;
    }
    p_ += word.size();
    return true;
  }

  // White space, an optional sign, then digits. With `requireDigit` a
  // number without digits fails (the scanf rule); without it, it reads as 0
  // (the atoi rule).
  bool integer(bool requireDigit, std::int32_t& value) {
    skipSpace();
    bool negative = false;
    if (p_ != end_ && (*p_ == '+' || *p_ == '-')) {
      negative = *p_ == '-';
      ++p_;
    }
    if (requireDigit && (p_ == end_ || !isDigit(*p_))) return false;
    // Both library functions read the digits as a 64-bit long that sticks
    // at its limit on overflow, and then cut it to int.
    const std::uint64_t limit =
        negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
    std::uint64_t magnitude = 0;
    for (; p_ != end_ && isDigit(*p_); ++p_) {
      const unsigned digit = static_cast<unsigned>(*p_ - '0');
      if (magnitude > (limit - digit) / 10) {
        magnitude = limit;
      } else {
        magnitude = magnitude * 10 + digit;
      }
    }
    const std::uint64_t bits = negative ? 0 - magnitude : magnitude;
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
    return true;
  }

 private:
  const char* p_;
  const char* const end_;
};

constexpr std::string_view kCharactersMarker = " : ";
constexpr std::string_view kSecondsMarker = " (";

// Length of the head the client writes, "Player 1 wins match 2-1".
constexpr std::size_t kUsualHeadLength = 23;

// The client writes "Player 1 wins match 2-1" with one digit each; that head
// is read at its fixed places, and gives what the general reading would
// (a differential test and the fuzzer hold both readings to the same
// result). Its gain is in docs/performance.md.
bool readUsualHead(std::string_view text, std::int32_t (&numbers)[3]) {
  if (text.size() < kUsualHeadLength) return false;
  const char* const head = text.data();
  if (std::memcmp(head, "Player ", 7) != 0 ||
      std::memcmp(head + 8, " wins match ", 12) != 0 || head[21] != '-' ||
      !isDigit(head[7]) || !isDigit(head[20]) || !isDigit(head[22]) ||
      (text.size() > kUsualHeadLength && isDigit(head[kUsualHeadLength]))) {
    return false;
  }
  numbers[0] = head[7] - '0';
  numbers[1] = head[20] - '0';
  numbers[2] = head[22] - '0';
  return true;
}

// text.find(kSeparator, from), for the separators of a result line, which
// begin with a blank, the most common byte of a log line: it looks for the
// separator's byte at kKey, a rarer one, and compares the whole separator
// only there. Inline, with the separator's length known when compiled, it
// makes no library call. It finds what text.find would: a match needs the
// key byte at `from + kKey` or later, and every place the key byte is found
// is checked against the whole separator.
template <const std::string_view& kSeparator, std::size_t kKey>
std::size_t findSeparator(std::string_view text, std::size_t from) {
  constexpr std::size_t kSize = kSeparator.size();
  static_assert(kKey < kSize);
  if (from > text.size() || text.size() - from < kSize) {
    return std::string_view::npos;
  }
  // Where the key byte of a separator that fits may stand: [at, limit).
  const char* at = text.data() + from + kKey;
  const char* const limit = text.data() + text.size() - kSize + kKey + 1;
  for (;; ++at) {
    at = findByte(at, limit, kSeparator[kKey]);
    if (at == limit) return std::string_view::npos;
    const char* const start = at - kKey;
    if (std::memcmp(start, kSeparator.data(), kSize) == 0) {
      return static_cast<std::size_t>(start - text.data());
    }
  }
}

// The characters and seconds of a result line whose first " : " is at
// `colon`; see readResultLine. Each search starts at the separator found
// before it, not after it, so the separators may overlap ("2-1 : vs Ciel",
// "Sion vs (95)"); such a line has no room for a name and is refused like
// one whose parts are missing.
template <typename ReadSeconds>
bool readCharacters(std::string_view rest, std::size_t colon,
                    ReadSeconds readSeconds, MatchResult& match) {
  const std::size_t versus = findSeparator<kVersus, 1>(rest, colon);
  if (versus == std::string_view::npos) return false;
  const std::size_t paren = findSeparator<kSecondsMarker, 1>(rest, versus);
  if (paren == std::string_view::npos) return false;
  const std::size_t name1Begin = colon + kCharactersMarker.size();
  const std::size_t name2Begin = versus + kVersus.size();
  if (versus < name1Begin || paren < name2Begin) return false;
  match.character1 =
      findCharacter(rest.substr(name1Begin, versus - name1Begin));
  match.character2 = findCharacter(rest.substr(name2Begin, paren - name2Begin));
  return match.character1 < kCharacterCount &&
         match.character2 < kCharacterCount &&
         readSeconds(rest.substr(paren + kSecondsMarker.size()), match.seconds);
}

// 1 to 9 digits, then the end or any byte but a digit: what leadingInteger
// reads there, with no room for a sign, white space or overflow.
bool readShortNumber(std::string_view text, std::int32_t& value) {
  constexpr std::size_t kMaxDigits = 9;
  std::size_t digits = 0;
  std::int32_t number = 0;
  for (; digits < text.size() && isDigit(text[digits]); ++digits) {
    if (digits == kMaxDigits) return false;
    number = number * 10 + (text[digits] - '0');
  }
  value = number;
  return digits > 0;
}

}  // namespace

std::string_view skipNumericTokens(std::string_view line) {
  const char* at = line.data();
  const char* const end = at + line.size();
  while (at != end && isDigit(*at)) {
    const char* const blank = findByte(at, end, ' ');
    if (blank == end) return {};
    at = blank + 1;
  }
  return {at, static_cast<std::size_t>(end - at)};
}

bool readResultLine(std::string_view rest, MatchResult& match) {
  std::int32_t numbers[3];
  // A line that the client wrote: the usual head, " : " right after it, and
  // seconds that are a plain short number. The head holds no ':', so " : "
  // at its end is the first one. Any other line, or one that names no
  // characters, is read the general way.
  const bool usual =
      readUsualHead(rest, numbers) &&
      rest.substr(kUsualHeadLength, kCharactersMarker.size()) ==
          kCharactersMarker &&
      readCharacters(rest, kUsualHeadLength, readShortNumber, match);
  if (!usual) {
    if (scanResultNumbers(rest, numbers) != 3) return false;
    const std::size_t colon = findSeparator<kCharactersMarker, 1>(rest, 0);
    if (colon == std::string_view::npos) return false;
    const auto readSeconds = [](std::string_view text, std::int32_t& value) {
      value = leadingInteger(text);
      return true;
    };
    if (!readCharacters(rest, colon, readSeconds, match)) return false;
  }
  match.winner = numbers[0];
  match.player1Rounds = numbers[1];
  match.player2Rounds = numbers[2];
  return true;
}

int scanResultNumbers(std::string_view text, std::int32_t (&numbers)[3]) {
  if (readUsualHead(text, numbers)) return 3;
  // The general way: any white space, signs and numbers. The number's own
  // white-space skip covers the blank before each %d.
  Cursor cursor(text);
  if (!cursor.literal("Player") || !cursor.integer(true, numbers[0])) {
    return 0;
  }
  cursor.skipSpace();
  if (!cursor.literal("wins")) return 1;
  cursor.skipSpace();
  if (!cursor.literal("match") || !cursor.integer(true, numbers[1])) return 1;
  if (!cursor.literal("-") || !cursor.integer(true, numbers[2])) return 2;
  return 3;
}

std::int32_t leadingInteger(std::string_view text) {
  std::int32_t value = 0;
  Cursor(text).integer(false, value);
  return value;
}

}  // namespace sessionstats
