#include "app/answer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

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

}  // namespace
}  // namespace sessionstats
