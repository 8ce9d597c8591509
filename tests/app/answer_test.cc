#include "app/answer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>

#include "log/session_log_reader.h"
#include "split_lines.h"

namespace sessionstats {
namespace {

TEST(Answer, IsOneWordAfterCLocaleWhiteSpace) {
  std::istringstream console(" \t\n\v\f\r Kestrel\tMoth\x1f\x7f");
  EXPECT_EQ(readAnswer(console), "Kestrel");
  // Bytes other than 9 to 13 and 32 belong to the word.
  EXPECT_EQ(readAnswer(console), "Moth\x1f\x7f");
  EXPECT_EQ(readAnswer(console), std::nullopt);

  std::istringstream blank(" \n\t ");
  EXPECT_EQ(readAnswer(blank), std::nullopt);
}

TEST(Answer, KeepsTheHeadOfALongWordAndConsumesTheRest) {
  const std::string longest(kMaxAnswerLength, 'k');
  std::istringstream console(longest + "\n" + longest + "tail next");
  EXPECT_EQ(readAnswer(console), longest);
  EXPECT_EQ(readAnswer(console), longest);
  EXPECT_EQ(readAnswer(console), "next");
}

TEST(Answer, AtATerminalIsOneLineBlanksAndAll) {
  const std::string longest(kMaxAnswerLength, 'k');
  std::istringstream console("Big Name\r\n" + longest + "tail\n\nlast");
  EXPECT_EQ(readAnswerLine(console), "Big Name");
  // The rest of a long line is never the next answer.
  EXPECT_EQ(readAnswerLine(console), longest);
  EXPECT_EQ(readAnswerLine(console), "");
  EXPECT_EQ(readAnswerLine(console), "last");
  EXPECT_EQ(readAnswerLine(console), std::nullopt);
}

// A log of Kestrel, Big Name and the alias Kes of Kestrel; Moth and MOTH
// differ in letter case only, so neither is meant by "moth".
struct TerminalLog {
  StatsRecords records;
  SessionLogReader reader{records};
  TerminalLog() {
    splitLines(
        "alias \"Kes\" \"Kestrel\"\n"
        "Session start. Players: Kes vs Big Name\n"
        "Player 1 wins match 2-0 : Sion vs Ciel (50 seconds)\n"
        "Session start. Players: Moth vs MOTH\n",
        [this](std::string_view line) { reader.read(parseLine(line)); });
  }
};

TEST(Answer, AtATerminalConfirmsTheOnePlayerMeant) {
  const TerminalLog log;
  struct Case {
    std::string typed;
    std::optional<std::string> offer;
    std::optional<std::string> answer;
    std::string asked;
  };
  const Case cases[] = {
      {"Big Name\n", {}, "Big Name", ""},
      {"\n \nKestrel\n", {}, "Kestrel", ""},
      {"\n", "Kestrel", "Kestrel", ""},
      {"kestrel \n\n", {}, "Kestrel", "Kestrel? [Y/n] "},
      {"KES\nyes\n", {}, "Kestrel", "Kestrel? [Y/n] "},
      {"kes\nn\n", {}, "kes", "Kestrel? [Y/n] "},
      {"kes\n", {}, std::nullopt, "Kestrel? [Y/n] "},
      {"moth\n", {}, "moth", ""},
      {"Kestral Moth\nMoth\n", {}, "Kestral Moth", ""},
      {"", "Kestrel", std::nullopt, ""},
  };
  for (const Case& c : cases) {
    std::istringstream console(c.typed);
    std::ostringstream talk;
    EXPECT_EQ(askAtTerminal(console, talk, log.records, log.reader, c.offer),
              c.answer)
        << c.typed;
    EXPECT_EQ(talk.str(), c.asked) << c.typed;
  }
}

}  // namespace
}  // namespace sessionstats
