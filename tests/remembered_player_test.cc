#include "app/remembered_player.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/answer.h"
#include "tool_run.h"

namespace sessionstats {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

TEST(RememberedPlayer, ComesBackAsWrittenInAFolderMadeForIt) {
  const TempDir dir;
  const std::string folder = (dir / "config/session-stats").string();
  EXPECT_EQ(readRememberedPlayer(folder), std::nullopt);
  ASSERT_TRUE(rememberPlayer(folder, "Big Name\r").ok());
  EXPECT_EQ(readFile(dir / "config/session-stats/player.txt"), "Big Name\r\n");
  EXPECT_EQ(readRememberedPlayer(folder), "Big Name\r");
  const std::string longest(kMaxAnswerLength, 'k');
  ASSERT_TRUE(rememberPlayer(folder, longest).ok());
  EXPECT_EQ(readRememberedPlayer(folder), longest);
}

TEST(RememberedPlayer, AFileThatHoldsNoOneNameIsNone) {
  const TempDir dir;
  const std::string folder = dir.path().string();
  const std::string tooLong(kMaxAnswerLength + 1, 'k');
  for (const std::string& bytes :
       {std::string(), std::string("\n"), std::string("Kestrel"),
        std::string("Kestrel\nMoth\n"), std::string("Kestrel\n\n"),
        tooLong + "\n"}) {
    writeFile(dir / kRememberedPlayerFile, bytes);
    EXPECT_EQ(readRememberedPlayer(folder), std::nullopt) << bytes;
  }
  EXPECT_EQ(readRememberedPlayer(""), std::nullopt);
}

TEST(RememberedPlayer, WhatCannotBeReadBackIsRefused) {
  const TempDir dir;
  const std::string folder = dir.path().string();
  writeFile(dir / kRememberedPlayerFile, "Kestrel\n");
  for (const std::string& name : {std::string(), std::string("Kes\ntrel"),
                                  std::string(kMaxAnswerLength + 1, 'k')}) {
    EXPECT_FALSE(rememberPlayer(folder, name).ok()) << name;
  }
  EXPECT_EQ(readRememberedPlayer(folder), "Kestrel");
  EXPECT_FALSE(rememberPlayer("", "Kestrel").ok());
  // A file where the folder should be.
  writeFile(dir / "taken", "");
  EXPECT_FALSE(rememberPlayer((dir / "taken").string(), "Kestrel").ok());
}

}  // namespace
}  // namespace sessionstats
