// The log generator's command line, run as its callers run it.

#include <gtest/gtest.h>

#include <string>

#include "tool_run.h"
#include "tools/log_generator.h"

namespace sessionstats {
namespace {

using testing::readFile;
using testing::runScript;
using testing::TempDir;
using testing::writeFile;

constexpr LogGeneratorOptions kSmall{.lines = 40, .opponents = 3, .seed = 5};
constexpr char kSmallArgs[] = "--lines=40 --opponents 3 --seed=5";

TEST(GenerateLog, WritesToStandardOutputUnlessToldAFile) {
  if (testing::kOnWindows) {
    GTEST_SKIP() << "these runs go through a POSIX shell";
  }
  TempDir dir;
  auto run = runScript(dir, std::string("\"$GENERATE_LOG\" ") + kSmallArgs);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, generateLog(kSmall));
  EXPECT_EQ(run.err, "");
  EXPECT_FALSE(std::filesystem::exists(dir / "sessionlog.txt"));

  run = runScript(dir, std::string("\"$GENERATE_LOG\" -n 40 --opp=3 "
                                   "--seed 5 -o game.log"));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(readFile(dir / "game.log"), generateLog(kSmall));
}

TEST(GenerateLog, KeepsAnExistingFileUnlessForced) {
  if (testing::kOnWindows) {
    GTEST_SKIP() << "these runs go through a POSIX shell";
  }
  TempDir dir;
  writeFile(dir / "sessionlog.txt", "a real log\n");
  auto run = runScript(dir, std::string("\"$GENERATE_LOG\" ") + kSmallArgs +
                                " -o sessionlog.txt");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "generate_log: sessionlog.txt exists; --force replaces it\n");
  EXPECT_EQ(readFile(dir / "sessionlog.txt"), "a real log\n");

  run = runScript(dir, std::string("\"$GENERATE_LOG\" ") + kSmallArgs +
                           " --force -o sessionlog.txt");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(readFile(dir / "sessionlog.txt"), generateLog(kSmall));
}

TEST(GenerateLog, HelpAndWrongCommandLines) {
  if (testing::kOnWindows) {
    GTEST_SKIP() << "these runs go through a POSIX shell";
  }
  TempDir dir;
  const auto help = runScript(dir, "\"$GENERATE_LOG\" --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: generate_log [OPTION]...\n"));
  EXPECT_EQ(runScript(dir, "\"$GENERATE_LOG\" -h").out, help.out);
  const struct {
    const char* args;
    const char* error;
  } kWrong[] = {
      {"--lines", "missing value for --lines"},
      {"-n x", "bad value 'x' for --lines"},
      {"--opponents=0", "bad value '0' for --opponents"},
      {"--out-of-range", "unknown option --out-of-range"},
      {"-x", "unknown option -x"},
      {"sessionlog.txt", "unexpected argument sessionlog.txt"},
  };
  for (const auto& wrong : kWrong) {
    const auto run =
        runScript(dir, std::string("\"$GENERATE_LOG\" ") + wrong.args);
    EXPECT_EQ(run.status, 2) << wrong.args;
    EXPECT_EQ(run.out, "") << wrong.args;
    EXPECT_EQ(run.err, std::string("generate_log: ") + wrong.error +
                           "\nTry 'generate_log --help' for more "
                           "information.\n");
  }
  EXPECT_TRUE(testing::namesIn(dir.path()).empty());
}

}  // namespace
}  // namespace sessionstats
