#include "log/log_line_splitter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "split_lines.h"

namespace sessionstats {
namespace {

using Lines = std::vector<std::string>;

// The lines of `input` fed in blocks of `blockSize` bytes, or as one block.
Lines split(std::string_view input,
            std::size_t blockSize = std::string_view::npos) {
  Lines lines;
  splitLines(
      input, [&lines](std::string_view line) { lines.emplace_back(line); },
      blockSize);
  return lines;
}

TEST(LogLineSplitter, LineEndsAndTheLastLine) {
  EXPECT_EQ(split(""), Lines{""});
  EXPECT_EQ(split("a\nb"), (Lines{"a", "b"}));
  EXPECT_EQ(split("a\nb\n"), (Lines{"a", "b", ""}));
  EXPECT_EQ(split("\n\n"), (Lines{"", "", ""}));
}

TEST(LogLineSplitter, OnlyACarriageReturnBeforeALineFeedIsDropped) {
  EXPECT_EQ(split("a\r\nb\r\n"), split("a\nb\n"));
  EXPECT_EQ(split("a\rb\r\r\n\r"), (Lines{"a\rb\r", "\r"}));
  EXPECT_EQ(split("\r\n"), (Lines{"", ""}));
}

TEST(LogLineSplitter, LongLinesAreCutAndTheirRestDiscarded) {
  const std::string long300(300, 'x');
  EXPECT_EQ(split(long300 + "\nnext\n"),
            (Lines{std::string(199, 'x'), "next", ""}));
  EXPECT_EQ(split(long300), Lines{std::string(199, 'x')});

  // The limit counts the line without a CR that stands before its LF.
  const std::string l199(199, 'y');
  EXPECT_EQ(split(l199 + "\r\n"), (Lines{l199, ""}));
  EXPECT_EQ(split(l199 + "z\r\n"), (Lines{l199, ""}));
  EXPECT_EQ(split(l199 + "\rz\n"), (Lines{l199, ""}));
  EXPECT_EQ(split(std::string(198, 'y') + "\r\r\n"),
            (Lines{std::string(198, 'y') + "\r", ""}));
}

TEST(LogLineSplitter, NulEndsTheLineAsHandedOver) {
  EXPECT_EQ(split(std::string("ab\0cd\r\nef", 9)), (Lines{"ab", "ef"}));
  EXPECT_EQ(split(std::string("\0\n", 2)), (Lines{"", ""}));

  // NULs in some lines of a block leave the lines between them whole; a NUL
  // past the kept bytes changes nothing; a CR before a NUL is kept.
  using namespace std::string_literals;
  const std::string input = "a\0b\nc\n\0\nd\0e\0\nfg\nh\r\0\n"s +
                            std::string(199, 'x') + "\0y\nlast"s;
  const Lines expected{"a",   "c", "", "d", "fg", "h\r", std::string(199, 'x'),
                       "last"};
  for (std::size_t blockSize = 1; blockSize <= input.size(); ++blockSize) {
    ASSERT_EQ(split(input, blockSize), expected) << "block size " << blockSize;
  }
}

TEST(LogLineSplitter, BlockBoundariesNeverChangeTheLines) {
  std::string input = "Session start. Players: A vs B\r\nshort\n\r\n";
  input += std::string(250, 'q') + "\r\n" + std::string(199, 'w') + "\r\n";
  input += std::string(200, 'e') + "\r" + std::string(3, '\0') + "tail\r";
  const Lines whole = split(input);
  for (std::size_t blockSize = 1; blockSize <= input.size(); ++blockSize) {
    ASSERT_EQ(split(input, blockSize), whole) << "block size " << blockSize;
  }
}

// The rules of the splitter, applied byte by byte to the whole stream.
Lines plainSplit(std::string_view input) {
  Lines lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t lineFeed = input.find('\n', start);
    const bool atNewline = lineFeed != std::string_view::npos;
    std::string line(input.substr(
        start, atNewline ? lineFeed - start : std::string_view::npos));
    if (atNewline && line.size() <= kMaxLineLength + 1 && !line.empty() &&
        line.back() == '\r') {
      line.pop_back();
    }
    line.resize(std::min(line.size(), kMaxLineLength));
    line.resize(std::min(line.size(), line.find('\0')));
    lines.push_back(line);
    if (!atNewline) return lines;
    start = lineFeed + 1;
  }
}

// Lines of every length around the 16-byte steps of the search, with LF,
// CR and NUL at every place, agree with the plain rules in any blocks.
TEST(LogLineSplitter, AgreesWithThePlainRulesOnRandomBytes) {
  std::mt19937 random(3);
  constexpr char kBytes[] = {'\n', '\0', '\r', 'x', 'y'};
  for (int round = 0; round < 200; ++round) {
    std::string input;
    const int lines = static_cast<int>(random() % 12);
    for (int line = 0; line < lines; ++line) {
      const std::size_t length = random() % 260;
      for (std::size_t i = 0; i < length; ++i) {
        input += random() % 16 == 0 ? kBytes[random() % 5] : 'a';
      }
      input += '\n';
    }
    const Lines expected = plainSplit(input);
    for (std::size_t blockSize :
         {std::size_t{1}, std::size_t{15}, std::size_t{16}, std::size_t{33},
          input.size() + 1}) {
      ASSERT_EQ(split(input, blockSize), expected)
          << "round " << round << ", block size " << blockSize;
    }
  }
}

}  // namespace
}  // namespace sessionstats
