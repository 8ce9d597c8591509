#include "app/remembered_player.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "app/answer.h"
#include "os/settings_folder.h"
#include "tool_run.h"

namespace sessionstats {
namespace {

using testing::readFile;
using testing::setVariable;
using testing::TempDir;
using testing::writeFile;

// Sets or unsets the variable `name` for as long as it lives.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::optional<std::string>& value)
      : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setVariable(name, value);
  }
  ~ScopedVariable() { setVariable(name_, old_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// The folder a player is remembered in: on POSIX $XDG_CONFIG_HOME, else
// $HOME/.config, never a relative path; on Windows %APPDATA%.
TEST(RememberedPlayer, SettingsFolderFollowsTheEnvironment) {
  struct Case {
    std::optional<std::string> config;
    std::optional<std::string> home;
    std::optional<std::string> appData;
    std::string posix;
    std::string windows;
  };
  const Case cases[] = {
      {"/x/config", "/home/ana", "C:\\Users\\ana", "/x/config/session-stats",
       "C:\\Users\\ana\\session-stats"},
      {"config", "/home/ana", std::nullopt, "/home/ana/.config/session-stats",
       ""},
      {std::nullopt, "/home/ana", "", "/home/ana/.config/session-stats", ""},
      {"", "ana", std::nullopt, "", ""},
      {std::nullopt, std::nullopt, std::nullopt, "", ""},
  };
  for (const Case& c : cases) {
    const ScopedVariable config("XDG_CONFIG_HOME", c.config);
    const ScopedVariable home("HOME", c.home);
    const ScopedVariable appData("APPDATA", c.appData);
    EXPECT_EQ(settingsFolder(), testing::kOnWindows ? c.windows : c.posix)
        << c.config.value_or("unset") << ", " << c.home.value_or("unset");
  }
}

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
