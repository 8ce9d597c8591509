#include "log/result_line_matcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>

#include "plain_result_line.h"
#include "stats/character_roster.h"
#include "tool_run.h"

namespace sessionstats {
namespace {

constexpr char kPattern[] = "Player %d wins match %d-%d : ";

// Distinct starting values, so that a number written where the library
// leaves its output alone (or the other way round) shows up.
constexpr std::int32_t kUntouched[3] = {-777001, -777002, -777003};

struct Scan {
  int converted = 0;
  std::int32_t numbers[3] = {kUntouched[0], kUntouched[1], kUntouched[2]};

  bool operator==(const Scan& other) const {
    return converted == other.converted &&
           std::equal(numbers, numbers + 3, other.numbers);
  }
};

Scan ours(std::string_view line) {
  Scan scan;
  scan.converted = scanResultNumbers(line, scan.numbers);
  return scan;
}

// `line` holds no NUL, so c_str() is the whole line. EOF (an input failure
// before the first number) counts as none converted.
Scan library(const std::string& line) {
  Scan scan;
  int numbers[3] = {scan.numbers[0], scan.numbers[1], scan.numbers[2]};
  scan.converted = std::max(std::sscanf(line.c_str(), kPattern, &numbers[0],
                                        &numbers[1], &numbers[2]),
                            0);
  std::copy(numbers, numbers + 3, scan.numbers);
  return scan;
}

std::string printable(std::string_view line) {
  std::string out;
  for (unsigned char byte : line) {
    if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
      out += static_cast<char>(byte);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      out += escaped;
    }
  }
  return out;
}

TEST(ResultLineMatcher, ConvertsAsFarAsThePatternHolds) {
  const struct {
    std::string_view line;
    int converted;
  } cases[] = {
      {"Player 1 wins match 2-1 : Sion vs Ciel (95)", 3},
      {"Player 1 wins match 2-1", 3},  // the rest is not looked at
      // The usual one-digit head next to forms that only look like it.
      {"Player 1 wins match 2-13 : ", 3},
      {"Player 12 wins match 2-1", 3},
      {"Player 1 wins match 2-1x", 3},
      {"Player 1 wins match 2-+1", 3},
      {"Player 1 wins match 2_1 : ", 2},
      {"Player 1 wins matcH 2-1 : ", 1},
      {"Player\t+1\vwins\fmatch\r\n-2-\n 1", 3},
      {"Player1winsmatch2-1", 3},  // pattern blanks also match nothing
      {"Player 1 wins match 2- 1", 3},
      {"Player 1 wins match 2 -1", 2},  // '-' must follow the digits
      {"Player 1 wins match 2-", 2},
      {"Player 1 wins match 2", 2},
      {"Player 1 wins match", 1},
      {"Player 1 wins game 2-1", 1},
      {"Player - wins match 2-1", 0},
      {"Player +-1 wins match 2-1", 0},
      {" Player 1 wins match 2-1", 0},  // no blank leads the pattern
      {"player 1 wins match 2-1", 0},
      {"Player", 0},
      {"", 0},
  };
  for (const auto& c : cases) {
    const Scan scan = ours(c.line);
    EXPECT_EQ(scan.converted, c.converted) << c.line;
    EXPECT_EQ(scan, library(std::string(c.line))) << c.line;
  }
}

TEST(ResultLineMatcher, OutOfRangeNumbersKeepLow32BitsOfASaturatedLong) {
  const struct {
    std::string_view text;
    std::int32_t value;
  } cases[] = {
      {"2147483647", 2147483647},
      {"2147483648", -2147483648},
      {"-2147483649", 2147483647},
      {"4294967295", -1},
      {"5000000000", 705032704},
      {"9223372036854775807", -1},
      {"99999999999999999999999", -1},
      {"-9223372036854775808", 0},
      {"-99999999999999999999", 0},
      {"-0000000000000000000000000000012", -12},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(leadingInteger(c.text), c.value) << c.text;
    const std::string line = "Player " + std::string(c.text) + " wins match " +
                             std::string(c.text) + "-" + std::string(c.text);
    const Scan scan = ours(line);
    EXPECT_EQ(scan.converted, 3) << line;
    EXPECT_EQ(scan.numbers[0], c.value) << line;
    EXPECT_EQ(scan.numbers[2], c.value) << line;
  }
}

TEST(ResultLineMatcher, LeadingIntegerReadsLikeAtoiAndStopsAtTheViewsEnd) {
  EXPECT_EQ(leadingInteger(" \t\n\v\f\r-95)"), -95);
  EXPECT_EQ(leadingInteger("+7s"), 7);
  EXPECT_EQ(leadingInteger("sec"), 0);
  EXPECT_EQ(leadingInteger("-"), 0);
  EXPECT_EQ(leadingInteger(""), 0);
  EXPECT_EQ(leadingInteger(std::string_view("12345", 2)), 12);
  EXPECT_EQ(ours(std::string_view("Player 1 wins match 2-13", 23)).numbers[2],
            1);
}

// Builds result-like lines piece by piece, each piece drawn from the forms
// that the library reads differently, then damages some of them.
class LineGenerator {
 public:
  explicit LineGenerator(std::uint64_t seed) : random_(seed) {}

  std::string next() {
    std::string line;
    if (chance(3)) line += space();  // breaks the match: nothing to skip
    line += word("Player");
    line += blanks();
    line += number();
    line += blanks();
    line += word("wins");
    line += blanks();
    line += word("match");
    line += blanks();
    line += number();
    if (chance(10)) line += blanks();
    line += chance(5) ? pick({"", "+", "--", "_"}) : "-";
    if (chance(20)) line += blanks();
    line += number();
    line += pick({" : Sion vs Ciel (", " : ", " (", "", " :", "("});
    line += blanks();
    line += number();
    line += pick({")", " seconds)", "", "9"});
    if (chance(40)) damage(line);
    return line;
  }

  // A position in `line`, its end included.
  std::size_t position(const std::string& line) {
    return below(line.size() + 1);
  }

  std::size_t below(std::size_t bound) { return random_() % bound; }

  // One of `choices`, evenly.
  std::string pick(std::initializer_list<std::string_view> choices) {
    return std::string(*(choices.begin() + below(choices.size())));
  }

  bool chance(unsigned percent) { return below(100) < percent; }

  // Cuts, overwrites, inserts or removes bytes; never a NUL, which would
  // end the library's copy of the line early.
  void damage(std::string& line) {
    for (std::size_t n = 1 + below(3); n > 0; --n) {
      const char byte = chance(50) ? oneOf(" \t\n\v\f\r+-0123456789:(")
                                   : static_cast<char>(1 + below(255));
      const std::size_t at = position(line);
      switch (below(4)) {
        case 0:
          line.resize(at);
          break;
        case 1:
          if (at < line.size()) line[at] = byte;
          break;
        case 2:
          line.insert(at, 1, byte);
          break;
        default:
          if (at < line.size()) line.erase(at, 1);
          break;
      }
    }
  }

 private:
  char oneOf(std::string_view bytes) { return bytes[below(bytes.size())]; }
  char space() { return oneOf(" \t\n\v\f\r"); }

  std::string word(std::string_view text) {
    std::string out(text);
    if (chance(3)) out[below(out.size())] ^= 0x20;  // flips letter case
    if (chance(2)) out.resize(below(out.size()));
    return out;
  }

  std::string blanks() {
    if (chance(70)) return " ";
    std::string out;
    for (std::size_t n = below(4); n > 0; --n) out += space();
    return out;
  }

  std::string digits(std::size_t count) {
    std::string out;
    for (; count > 0; --count) out += static_cast<char>('0' + below(10));
    return out;
  }

  std::string number() {
    std::string sign = chance(70) ? "" : pick({"+", "-", "+-", "--", "- "});
    if (chance(3)) return sign;
    switch (below(4)) {
      case 0:
        return sign + digits(1);
      case 1:
        return sign +
               pick({"0", "2147483647", "2147483648", "4294967296",
                     "5000000000", "9223372036854775807", "9223372036854775808",
                     "18446744073709551616", "99999999999999999999999",
                     "00000000000000000000012"});
      case 2:
        return sign + digits(1 + below(25));
      default:
        return sign + std::to_string(below(1000));
    }
  }

  std::mt19937_64 random_;
};

TEST(ResultLineMatcher, AgreesWithTheCLibraryOnGeneratedLines) {
  if (testing::kOnWindows) {
    GTEST_SKIP()
        << "the reference is the GNU C library's sscanf and atoi; Microsoft's "
           "C runtime converts out-of-range numbers its own way";
  }
  constexpr int kLines = 400000;
  LineGenerator generator(20240611);
  int byConversions[4] = {};
  int failures = 0;
  for (int i = 0; i < kLines && failures < 10; ++i) {
    const std::string line = generator.next();
    ASSERT_EQ(line.find('\0'), std::string::npos);
    const Scan expected = library(line);
    if (ours(line) != expected) {
      ADD_FAILURE() << "scan of \"" << printable(line) << "\"";
      ++failures;
    }
    ++byConversions[expected.converted];

    // The seconds: after the " (" where there is one, elsewhere anywhere.
    const std::size_t paren = line.find(" (");
    for (std::size_t from : {paren == std::string::npos ? 0 : paren + 2,
                             generator.position(line)}) {
      if (leadingInteger(std::string_view(line).substr(from)) !=
          std::atoi(line.c_str() + from)) {
        ADD_FAILURE() << "atoi of \"" << printable(line.substr(from)) << "\"";
        ++failures;
      }
    }
  }
  // The generator must reach every outcome, not only clean lines.
  for (int count : byConversions) EXPECT_GT(count, kLines / 50);
}

// Lines as the client writes them, the way its fields can go wrong, and
// damaged: the quick reading of the usual line must never tell them apart
// from the plain one.
TEST(ResultLineMatcher, ReadsWholeResultLinesAsThePlainReadingDoes) {
  if (testing::kOnWindows) {
    GTEST_SKIP()
        << "the reference is the GNU C library's sscanf and atoi; Microsoft's "
           "C runtime converts out-of-range numbers its own way";
  }
  using testing::plainResultLine;
  using testing::sameMatch;
  constexpr int kLines = 300000;
  LineGenerator generator(20261207);
  const auto name = [&generator] {
    if (generator.chance(80)) {
      return std::string(kRoster.longName[generator.below(kCharacterCount)]);
    }
    return generator.pick({"", "vs", "vs Sion", "Sion vs Ciel", "(", "Sio",
                           "Sionn", "Neco-Arc Chaos", "Hisui and Kohaku",
                           "sion", " Sion", "Sion ", "Nrvnqsr (", ":"});
  };
  int read = 0;
  int failures = 0;
  for (int i = 0; i < kLines && failures < 10; ++i) {
    std::string line =
        generator.chance(80) ? "Player 1 wins match 2-1" : generator.next();
    line +=
        generator.chance(90) ? " : " : generator.pick({" :", ": ", " : : "});
    line += name();
    line +=
        generator.chance(90) ? " vs " : generator.pick({" vs", "vs ", " v s "});
    line += name();
    line += generator.chance(90) ? " (" : generator.pick({"(", " ( ", " (("});
    line +=
        generator.pick({"57", "0", "7", "123456789", "1234567890", "4294967299",
                        "99999999999999999999", "-5", "+3", " 8", "", "x"});
    line += generator.pick({" seconds)", ")", "", "9"});
    if (generator.chance(30)) generator.damage(line);
    if (line.find('\0') != std::string::npos) continue;
    MatchResult expected;
    MatchResult ours;
    const bool plain = plainResultLine(line, expected);
    if (readResultLine(line, ours) != plain ||
        (plain && !sameMatch(ours, expected))) {
      ADD_FAILURE() << "\"" << printable(line) << "\"";
      ++failures;
    }
    read += plain ? 1 : 0;
  }
  // Both outcomes must be common, or the comparison proves little.
  EXPECT_GT(read, kLines / 4);
  EXPECT_LT(read, kLines * 3 / 4);
}

}  // namespace
}  // namespace sessionstats
