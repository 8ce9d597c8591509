#include "app/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "app/version.h"
#include "csv_test_parser.h"
#include "tool_run.h"
#include "tools/log_generator.h"

namespace sessionstats {
namespace {

namespace fs = std::filesystem;
using testing::DirectRun;
using testing::namesIn;
using testing::readFile;
using testing::runScript;
using testing::runTool;
using testing::runToolDirectly;
using testing::runToolsTogether;
using testing::TempDir;
using testing::ToolRun;
using testing::writeFile;

constexpr char kPrompt[] = "Generate session_stats.txt for who: ";

// Replaces every LF of `text` with CR LF.
std::string withCrLf(std::string_view text) {
  std::string out;
  for (char byte : text) {
    if (byte == '\n') out += '\r';
    out += byte;
  }
  return out;
}

std::string sourceFile(std::string_view relative) {
  return readFile(fs::path(SESSION_STATS_SOURCE_DIR) / relative);
}

TEST(Driver, LogThatIsMissingOrUnreadableEndsTheRunWithStatusOne) {
  struct Case {
    const char* what;
    std::function<void(const TempDir&)> make;
    const char* reason;  // nullptr: the log is missing, nothing on stderr
  };
  std::vector<Case> cases = {
      {"missing", [](const TempDir&) {}, nullptr},
      {"behind a plain file",
       [](const TempDir& dir) {
         writeFile(dir / "not_a_folder", "");
         fs::create_symlink("not_a_folder/sessionlog.txt",
                            dir / "sessionlog.txt");
       },
       nullptr},
      {"a directory",
       [](const TempDir& dir) { fs::create_directory(dir / "sessionlog.txt"); },
       "Is a directory"},
      {"a symlink loop",
       [](const TempDir& dir) {
         fs::create_symlink("sessionlog.txt", dir / "sessionlog.txt");
       },
       "Too many levels of symbolic links"},
  };
  // Root reads any file, whatever its permission bits.
  if (!testing::runsAsRoot()) {
    cases.push_back({"without read permission",
                     [](const TempDir& dir) {
                       writeFile(dir / "sessionlog.txt", "Session results\n");
                       fs::permissions(dir / "sessionlog.txt", fs::perms::none);
                     },
                     "Permission denied"});
  }
  for (const Case& log : cases) {
    SCOPED_TRACE(log.what);
    TempDir dir;
    log.make(dir);
    writeFile(dir / "session_stats.txt", "old report");
    const auto run = runTool(dir, "Alpha\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Could not find sessionlog.txt\n");
    EXPECT_EQ(run.err, log.reason == nullptr
                           ? ""
                           : "session-stats: could not read sessionlog.txt: " +
                                 std::string(log.reason) + "\n");
    EXPECT_EQ(readFile(dir / "session_stats.txt"), "old report");
  }
}

TEST(Driver, AnswerThatNamesNoPlayerLeavesTheReportAlone) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", "");
  auto run = runTool(dir, " \t\r\n\v\f Nobody and more\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kPrompt);
  EXPECT_EQ(run.err, "session-stats: sessionlog.txt names no player Nobody\n");
  EXPECT_FALSE(fs::exists(dir / "session_stats.txt"));  // not created

  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  ASSERT_EQ(runTool(dir, "Kestrel").status, 0);
  const std::string report = readFile(dir / "session_stats.txt");
  // A typo, the wrong case, and a word longer than any name, of which the
  // message shows the bytes that were kept.
  const std::string endless = "Kestrel" + std::string(5000, 'l');
  for (const std::string& answer :
       {std::string("Kestrell"), std::string("kestrel"), endless}) {
    run = runTool(dir, answer + "\nKestrel\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, kPrompt);
    EXPECT_EQ(run.err, "session-stats: sessionlog.txt names no player " +
                           answer.substr(0, 200) + "\n");
    EXPECT_EQ(readFile(dir / "session_stats.txt"), report);  // not emptied
  }
}

TEST(Driver, EndOfInputAtThePromptLeavesTheReportUntouched) {
  for (std::optional<std::string_view> console :
       {std::optional<std::string_view>{},
        std::optional<std::string_view>{" \n\t\n"}}) {
    TempDir dir;
    writeFile(dir / "sessionlog.txt", "Session results\n");
    writeFile(dir / "session_stats.txt", "old report");
    const auto run = runTool(dir, console);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kPrompt);
    EXPECT_EQ(readFile(dir / "session_stats.txt"), "old report");
  }
}

TEST(Driver, ReportThatCannotBeCreatedIsAnError) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", "Session start. Players: Alpha vs Bravo\n");
  fs::create_directory(dir / "session_stats.txt");
  const auto run = runTool(dir, "Alpha");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kPrompt);
  EXPECT_EQ(run.err,
            "session-stats: could not write session_stats.txt: Is a "
            "directory\n");
}

TEST(Driver, ExampleLogGivesTheCheckedInReport) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  const auto run = runTool(dir, "Kestrel\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kPrompt);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(readFile(dir / "session_stats.txt"),
            sourceFile("tests/golden/example_kestrel.expected"));
}

TEST(Driver, CrLfLogReadsExactlyLikeItsLfTwin) {
  // The excluded second player stands at the end of a line, where a CR
  // that was not dropped would let it through.
  const std::string log = sourceFile("examples/sessionlog.txt") +
                          "Session start. Players: Kestrel vs Debug mode\n"
                          "Player 1 wins match 2-0 : Sion vs Ciel (50)\n";
  std::string reports[2];
  for (int crlf = 0; crlf < 2; ++crlf) {
    TempDir dir;
    writeFile(dir / "sessionlog.txt", crlf ? withCrLf(log) : log);
    ASSERT_EQ(runTool(dir, "Kestrel").status, 0);
    reports[crlf] = readFile(dir / "session_stats.txt");
  }
  EXPECT_EQ(reports[0], reports[1]);
  EXPECT_EQ(reports[0], sourceFile("tests/golden/example_kestrel.expected"));
}

TEST(Driver, OverlongLineIsCutAndTheNextLineStillCounts) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt",
            "Session start. Players: Alpha vs Bravo\n" + std::string(300, 'x') +
                "\nPlayer 1 wins match 2-0 : Sion vs Ciel (50)\n" +
                "Session start. Players: Alpha vs " + std::string(250, 'B') +
                "\nPlayer 1 wins match 2-0 : Sion vs Ciel (50)");
  ASSERT_EQ(runTool(dir, "Alpha").status, 0);
  const std::string report = readFile(dir / "session_stats.txt");
  EXPECT_NE(report.find("        Total matches: 2\r\n"), std::string::npos);
  // The second opponent's name is what fits in the line.
  EXPECT_NE(report.find("Matchup vs: " + std::string(199 - 33, 'B') + "\r\n"),
            std::string::npos);
}

TEST(Driver, AnswerIsTheFirstWord) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt",
            "Session start. Players: Alpha vs Bravo\n"
            "Player 1 wins match 2-0 : Sion vs Ciel (50)\n");
  ASSERT_EQ(runTool(dir, "\n\n   Alpha Bravo\n").status, 0);
  EXPECT_EQ(readFile(dir / "session_stats.txt").rfind("****", 0), 0u);
}

const std::vector<std::string> kLogAndReport = {"session_stats.txt",
                                                "sessionlog.txt"};

TEST(Driver, ReportThatFailsPartWayLeavesTheOldOneAndNoTemporaryFile) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  ASSERT_EQ(runTool(dir, "Moth").status, 0);
  const std::string old = readFile(dir / "session_stats.txt");
  // A file size limit of 4 KiB: Kestrel's report of 25 KB fails part way,
  // as on a full disk.
  constexpr char kSmallFileLimit[] = "ulimit -f 8";
  auto run = runTool(dir, "Kestrel", {}, kSmallFileLimit);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kPrompt);
  EXPECT_EQ(run.err,
            "session-stats: could not write session_stats.txt: File too "
            "large\n");
  EXPECT_EQ(readFile(dir / "session_stats.txt"), old);
  EXPECT_EQ(namesIn(dir.path()), kLogAndReport);

  fs::remove(dir / "session_stats.txt");
  run = runTool(dir, "Kestrel", {}, kSmallFileLimit);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"sessionlog.txt"});
}

TEST(Driver, RunsStartedTogetherLeaveOneWholeReport) {
  TempDir dir;
  LogGeneratorOptions options;
  options.lines = 40'000;
  options.opponents = 200;
  writeFile(dir / "sessionlog.txt", generateLog(options));
  const std::vector<std::string> answers = {kGeneratedLocalPlayer, "Moth"};
  std::vector<std::string> alone;
  for (const std::string& answer : answers) {
    ASSERT_EQ(runTool(dir, answer).status, 0);
    alone.push_back(readFile(dir / "session_stats.txt"));
  }
  ASSERT_NE(alone[0], alone[1]);
  for (int round = 0; round < 4; ++round) {
    for (const auto& run : runToolsTogether(dir, answers)) {
      EXPECT_EQ(run.status, 0);
      EXPECT_EQ(run.err, "");
    }
    const std::string report = readFile(dir / "session_stats.txt");
    EXPECT_TRUE(report == alone[0] || report == alone[1])
        << "a report of " << report.size() << " bytes";
    EXPECT_EQ(namesIn(dir.path()), kLogAndReport);
  }
}

fs::perms permissionsOf(const fs::path& file) {
  return fs::status(file).permissions();
}

TEST(Driver, LinkedReportKeepsItsLinkAndPermissionsSurvive) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  const std::string golden =
      sourceFile("tests/golden/example_kestrel.expected");
  const fs::path target = dir / "reports" / "kestrel.txt";
  fs::create_directory(dir / "reports");
  writeFile(target, "old report");
  constexpr auto kOwnerWriteGroupRead =
      fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(target, kOwnerWriteGroupRead);
  fs::create_symlink("reports/kestrel.txt", dir / "session_stats.txt");

  ASSERT_EQ(runTool(dir, "Kestrel").status, 0);
  EXPECT_EQ(fs::read_symlink(dir / "session_stats.txt"), "reports/kestrel.txt");
  EXPECT_EQ(readFile(target), golden);
  EXPECT_EQ(permissionsOf(target), kOwnerWriteGroupRead);
  EXPECT_EQ(namesIn(dir / "reports"), std::vector<std::string>{"kestrel.txt"});

  // New reports get 0666 less the umask, behind a dangling link too.
  fs::remove(target);
  ASSERT_EQ(runTool(dir, "Kestrel", {}, "umask 027").status, 0);
  EXPECT_EQ(readFile(target), golden);
  EXPECT_EQ(permissionsOf(target), kOwnerWriteGroupRead);
  fs::remove(dir / "session_stats.txt");
  ASSERT_EQ(runTool(dir, "Kestrel", {}, "umask 0").status, 0);
  EXPECT_EQ(permissionsOf(dir / "session_stats.txt"),
            fs::perms::owner_read | fs::perms::owner_write |
                fs::perms::group_read | fs::perms::group_write |
                fs::perms::others_read | fs::perms::others_write);
}

TEST(Driver, DeviceAsTheReportIsWrittenInPlace) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  fs::create_symlink("/dev/full", dir / "session_stats.txt");
  auto run = runTool(dir, "Kestrel");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kPrompt);
  EXPECT_EQ(run.err,
            "session-stats: could not write session_stats.txt: No space left "
            "on device\n");

  fs::remove(dir / "session_stats.txt");
  fs::create_symlink("/dev/null", dir / "session_stats.txt");
  run = runTool(dir, "Kestrel");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");

  for (const char* device : {"/dev/full", "/dev/null"}) {
    EXPECT_TRUE(fs::is_character_file(device)) << device;
  }
  for (const fs::directory_entry& entry : fs::directory_iterator("/dev")) {
    const std::string name = entry.path().filename().string();
    EXPECT_FALSE(name.starts_with("full.") || name.starts_with("null."))
        << "left in /dev: " << name;
  }
}

TEST(Driver, EndlessAnswerKeepsMemorySmall) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  const fs::path shortWord = dir.path().string() + ".short";
  const fs::path longWord = dir.path().string() + ".long";
  writeFile(shortWord, "Nobody\n");
  {
    // Written and freed before the run: the child starts as a copy of this
    // process, and its peak counts that copy's memory too.
    std::string word;
    word.resize(std::size_t{10} << 20, 'n');
    writeFile(longWord, word);
  }
  const DirectRun shortRun = runToolDirectly(dir, shortWord, false);
  const DirectRun longRun = runToolDirectly(dir, longWord, false);
  fs::remove(shortWord);
  fs::remove(longWord);
  EXPECT_EQ(shortRun.status, 1);
  EXPECT_EQ(longRun.status, 1);
  EXPECT_LT(longRun.peakKilobytes - shortRun.peakKilobytes, 2048)
      << "peaks of " << shortRun.peakKilobytes << " and "
      << longRun.peakKilobytes << " KiB";
}

TEST(Driver, ClosedStandardOutputStillGetsTheReportWritten) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  const fs::path answer = dir.path().string() + ".answer";
  writeFile(answer, "Kestrel\n");
  const DirectRun run = runToolDirectly(dir, answer, true);
  fs::remove(answer);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(readFile(dir / "session_stats.txt"),
            sourceFile("tests/golden/example_kestrel.expected"));
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kShadowMemory = true;
#elif defined(__has_feature)
constexpr bool kShadowMemory =
    __has_feature(address_sanitizer) || __has_feature(thread_sanitizer);
#else
constexpr bool kShadowMemory = false;
#endif

TEST(Driver, RunningOutOfMemoryIsAMessageAndStatusOne) {
  if (kShadowMemory) {
    GTEST_SKIP() << "the sanitizer reserves more address space than the "
                    "limit allows";
  }
  // 150,000 sessions between new players: their 300,000 names alone need
  // more than the 20 MiB of address space the tool is given.
  std::string log;
  for (int i = 0; i < 150'000; ++i) {
    const std::string number = std::to_string(i);
    log.append("Session start. Players: ")
        .append(80, 'a')
        .append(number)
        .append(" vs ")
        .append(80, 'b')
        .append(number)
        .append("\n");
  }
  TempDir dir;
  writeFile(dir / "sessionlog.txt", log);
  writeFile(dir / "session_stats.txt", "old report");
  const auto run = runTool(dir, "Alpha", {}, "ulimit -v 20480");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "session-stats: out of memory\n");
  EXPECT_EQ(readFile(dir / "session_stats.txt"), "old report");
}

constexpr char kTryHelp[] =
    "Try 'session-stats --help' for more information.\n";

// The files in `dir` other than the test's own .stdin, .stdout and .stderr.
std::vector<std::string> filesIn(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
    const std::string name = fs::relative(entry.path(), dir.path()).string();
    if (name[0] != '.') names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(Driver, HelpAndVersionPrintOnStandardOutputAndTouchNothing) {
  TempDir dir;
  const auto help = runTool(dir, "Kestrel\n", {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(help.out.rfind("Usage: session-stats [OPTION]...\n", 0), 0u);
  for (const char* option : {"--player=NAME", "--log=FILE", "--output=FILE",
                             "--list", "--help", "--version"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(runTool(dir, std::nullopt, {"-l", "x", "-h"}).out, help.out);

  for (const char* option : {"-V", "--version", "--vers"}) {
    const auto version = runTool(dir, std::nullopt, {option});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string(kVersionLine) + "\n");
    EXPECT_EQ(version.err, "");
  }
  EXPECT_EQ(filesIn(dir), std::vector<std::string>{});
}

TEST(Driver, WrongCommandLineSaysWhatIsWrongAndTouchesNoFile) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--bogus"}, "unrecognized option '--bogus'"},
      {{"-o", "new.txt", "-p"}, "option requires an argument -- 'p'"},
      {{"-p", "Kestrel", "-o", "new.txt", "Moth"},
       "unexpected argument 'Moth'"},
      {{"--list", "-o", "new.txt"},
       "--list writes no report: it takes no --player or --output"},
      {{"-p", "Kestrel", "--since=2026-11-31"},
       "invalid date '2026-11-31' (a real date as YYYY-MM-DD)"},
      {{"-p", "Kestrel", "--character=Nobody"}, "unknown character 'Nobody'"},
  };
  for (const auto& [args, message] : cases) {
    TempDir dir;
    writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
    writeFile(dir / "session_stats.txt", "old report");
    const auto run = runTool(dir, "Kestrel\n", args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "session-stats: " + message + "\n" + kTryHelp);
    EXPECT_EQ(readFile(dir / "session_stats.txt"), "old report");
    EXPECT_FALSE(fs::exists(dir / "new.txt"));
  }
}

TEST(Driver, PlayerOptionTakesAnyNameWithoutPromptOrInput) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt",
            "Session start. Players: Ana Lee vs Moth\n"
            "Player 1 wins match 2-0 : Sion vs Ciel (50)\n");
  // Moth on standard input would be read as the answer if it were read.
  auto run = runTool(dir, "Moth\n", {"--player=Ana Lee"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(readFile(dir / "session_stats.txt")
                .rfind("*****************************************************"
                       "***********************\r\nStats for: Ana Lee\r\n",
                       0),
            0u);

  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  run = runTool(dir, "Moth\n", {"-p", "Kestrel"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(readFile(dir / "session_stats.txt"),
            sourceFile("tests/golden/example_kestrel.expected"));
}

TEST(Driver, UnknownPlayerOptionEndsLikeAnUnknownAnswer) {
  ToolRun runs[2];
  std::string reports[2];
  for (int byOption = 0; byOption < 2; ++byOption) {
    TempDir dir;
    writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
    writeFile(dir / "session_stats.txt", "old report");
    runs[byOption] = byOption ? runTool(dir, std::nullopt, {"-p", "kestrel"})
                              : runTool(dir, "kestrel\n");
    reports[byOption] = readFile(dir / "session_stats.txt");
  }
  EXPECT_EQ(runs[0].out, kPrompt);
  EXPECT_EQ(runs[1].out, "");
  EXPECT_EQ(runs[1].status, runs[0].status);
  EXPECT_EQ(runs[1].err, runs[0].err);
  EXPECT_EQ(reports[1], reports[0]);
}

TEST(Driver, LogAndOutputOptionsUseAndNameTheFilesGiven) {
  TempDir dir;
  fs::create_directories(dir / "logs");
  fs::create_directories(dir / "out");
  writeFile(dir / "logs/old.txt", sourceFile("examples/sessionlog.txt"));
  auto run =
      runTool(dir, "Kestrel\n", {"-l", "logs/old.txt", "-o", "out/k.txt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Generate out/k.txt for who: ");
  EXPECT_EQ(readFile(dir / "out/k.txt"),
            sourceFile("tests/golden/example_kestrel.expected"));

  run = runTool(dir, "Kestrel\n", {"--log=logs/new.txt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Could not find logs/new.txt\n");
  EXPECT_EQ(run.err, "");

  run = runTool(dir, std::nullopt,
                {"-l", "logs/old.txt", "-p", "Kestrel", "-o", "none/k.txt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "session-stats: could not write none/k.txt: No such file or "
            "directory\n");
  EXPECT_EQ(filesIn(dir), (std::vector<std::string>{"logs", "logs/old.txt",
                                                    "out", "out/k.txt"}));
}

TEST(Driver, DashOutputPutsTheReportAloneOnStandardOutput) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  const std::string expected =
      sourceFile("tests/golden/example_kestrel.expected");
  auto run = runTool(dir, std::nullopt, {"-p", "Kestrel", "-o", "-"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(run.err, "");

  // Asked at the prompt, the prompt goes to standard error.
  run = runTool(dir, "Kestrel\n", {"--output=-"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(run.err, "Generate the report for who: ");

  run = runTool(dir, std::nullopt, {"-o-", "-p", "Kestrel", "-l", "gone.txt"});
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Could not find gone.txt\n");
  EXPECT_EQ(filesIn(dir), std::vector<std::string>{"sessionlog.txt"});
}

TEST(Driver, HtmlFormatWritesOnePageToItsFileOrStandardOutput) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  auto run = runTool(dir, "Kestrel\n", {"--format=html"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Generate session_stats.html for who: ");
  const std::string html = readFile(dir / "session_stats.html");
  EXPECT_TRUE(html.starts_with("<!DOCTYPE html>"));
  EXPECT_NE(html.find("<h1>Kestrel</h1>"), std::string::npos);
  EXPECT_EQ(filesIn(dir),
            (std::vector<std::string>{"session_stats.html", "sessionlog.txt"}));

  run = runTool(dir, std::nullopt, {"-p", "Kestrel", "--format=html", "-o-"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, html);
  EXPECT_EQ(run.err, "");
}

TEST(Driver, StandardOutputThatFailsIsAnErrorForEveryKindOfOutput) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  const std::vector<std::string> kinds[] = {
      {"-p", "Kestrel", "-o", "-"}, {"--list"}, {"--help"}, {"--version"}};
  for (const auto& args : kinds) {
    std::string command =
        "cd '" + dir.path().string() + "' && '" + SESSION_STATS_BINARY + "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " >/dev/full 2>err.txt </dev/null";
    EXPECT_EQ(testing::shellStatus(command), 1) << args[0];
    EXPECT_EQ(readFile(dir / "err.txt"),
              "session-stats: could not write standard output: No space left "
              "on device\n")
        << args[0];
  }
}

TEST(Driver, ReaderThatStopsEarlyEndsTheRunQuietly) {
  TempDir dir;
  // Enough opponents that the report outgrows the pipe's buffer.
  writeFile(dir / "sessionlog.txt",
            generateLog({.lines = 20'000, .opponents = 200, .seed = 3}));
  for (const char* args : {"-p Kestrel -o -", "-p Kestrel -o - --format=csv",
                           "--list", "--help"}) {
    const auto run =
        runScript(dir, std::string("{ \"$SESSION_STATS\" ") + args +
                           "; echo $? >status; } | head -c 1");
    EXPECT_EQ(run.out.size(), 1U) << args;
    EXPECT_EQ(run.err, "") << args;
    EXPECT_EQ(readFile(dir / "status"), "0\n") << args;
  }
}

TEST(Driver, ListOfTheExampleLogIsTheCheckedInTable) {
  TempDir dir;
  writeFile(dir / "game.log", sourceFile("examples/sessionlog.txt"));
  const auto run = runTool(dir, "Kestrel\n", {"--list", "-l", "game.log"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, sourceFile("tests/golden/example_list.txt"));
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(filesIn(dir), std::vector<std::string>{"game.log"});
}

TEST(Driver, ListCountsEveryPlayerOfTheLogAsTheirReportsDo) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt",
            "alias \"Kes\" \"Kestrel\"\n"
            "Session start. Players: Kes vs Idle One\n"
            "Session results\n"
            "Session start. Players: Moth vs Kestrel\n"
            "Player 3 wins match 1-1 : Sion vs Ciel (50)\n"
            "Player 2 wins match 0-2 : Sion vs Ciel (50)\n"
            "Session start. Players: Moth vs Practice Dummy\n");
  const auto run = runTool(dir, std::nullopt, {"--list"});
  EXPECT_EQ(run.out,
            "Matches  Wins  Losses  Player\n"
            "      2     1       1  Kestrel\n"
            "      2     0       2  Moth\n"
            "      0     0       0  Idle One\n");
  for (const char* name : {"Kestrel", "Moth", "Idle One"}) {
    const std::string report =
        runTool(dir, std::nullopt, {"-p", name, "-o", "-"}).out;
    const std::string total =
        std::string("        Total matches: ") + (*name == 'I' ? "0" : "2");
    EXPECT_NE(report.find(total + "\r\n"), std::string::npos) << name;
  }
}

}  // namespace
}  // namespace sessionstats

namespace sessionstats {
namespace {

namespace fs = std::filesystem;
using testing::parseCsv;
using testing::runTool;
using testing::TempDir;
using testing::writeFile;

// The number after `label` on the first line of `report` that starts with
// it, past its leading blanks.
std::int64_t numberAfter(std::string_view report, std::string_view label,
                         std::size_t from = 0) {
  const std::size_t at = report.find(label, from);
  if (at == std::string_view::npos) {
    ADD_FAILURE() << "no " << label;
    return -1;
  }
  return std::stoll(std::string(report.substr(at + label.size(), 24)));
}

// Runs the tool on `dir`'s log for Kestrel with `args` on standard output.
std::string kestrel(const TempDir& dir, std::vector<std::string> args) {
  args.insert(args.end(), {"-p", "Kestrel", "-o", "-"});
  const auto run = runTool(dir, std::nullopt, args);
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out;
}

TEST(MatchHistory, CsvAndJsonAgreeWithTheTextReport) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt",
            generateLog({.lines = 20'000, .opponents = 9, .seed = 5}));
  const std::string text = kestrel(dir, {});
  const std::int64_t matches = numberAfter(text, "Total matches: ");
  const std::int64_t wins = numberAfter(text, "Total wins/losses: ");

  const auto rows = parseCsv(kestrel(dir, {"--format=csv"}));
  ASSERT_TRUE(rows);
  ASSERT_EQ(static_cast<std::int64_t>(rows->size()) - 1, matches);
  const auto won = std::count_if(rows->begin(), rows->end(),
                                 [](auto& row) { return row.at(7) == "win"; });
  EXPECT_EQ(won, wins);

  const auto json = nlohmann::json::parse(kestrel(dir, {"--format=json"}));
  EXPECT_EQ(json.at("summary").at("matches"), matches);
  EXPECT_EQ(json.at("summary").at("wins"), wins);
  std::int64_t sessionMatches = 0;
  for (const auto& session : json.at("sessions")) {
    sessionMatches += session.at("wins").get<std::int64_t>() +
                      session.at("losses").get<std::int64_t>();
  }
  EXPECT_EQ(sessionMatches, matches);

  // --opponent gives that opponent's section of the full report.
  const std::string moth = json.at("opponents").at(1).at("name");
  const std::size_t section = text.find("Matchup vs: " + moth + "\r\n");
  ASSERT_NE(section, std::string::npos);
  const std::string only = kestrel(dir, {"--opponent", moth});
  EXPECT_EQ(numberAfter(only, "Total matches: "),
            numberAfter(text, "Total matches: ", section));
  EXPECT_EQ(numberAfter(only, "Total wins/losses: "),
            numberAfter(text, "Total wins/losses: ", section));
  EXPECT_EQ(numberAfter(only, "Total time played: "),
            numberAfter(text, "Total time played: ", section));

  // Filters that pass everything change nothing but the line that names
  // them, in any format.
  const std::vector<std::string> everything = {"--since=0001-01-01",
                                               "--last-sessions=99999999"};
  const std::string head = "Stats for: Kestrel\r\n";
  std::string named = text;
  named.insert(named.find(head) + head.size(),
               "Filters: since 0001-01-01; last 99999999 sessions\r\n");
  EXPECT_TRUE(kestrel(dir, everything) == named);
  auto all = everything;
  all.push_back("--format=json");
  auto filtered = nlohmann::json::parse(kestrel(dir, all));
  EXPECT_EQ(filtered.at("filters").size(), 2U);
  filtered.at("filters") = json.at("filters");
  EXPECT_TRUE(filtered == json);
}

TEST(MatchHistory, ExampleLogGivesTheCheckedInCsvJsonAndFilteredReport) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  EXPECT_EQ(kestrel(dir, {"--format=csv"}),
            sourceFile("tests/golden/example_kestrel.csv"));
  EXPECT_EQ(kestrel(dir, {"--format=json"}),
            sourceFile("tests/golden/example_kestrel.json"));
  EXPECT_EQ(kestrel(dir, {"--opponent=Moth", "--since=2026-11-02",
                          "--character=Sion"}),
            sourceFile("tests/golden/example_kestrel_moth_sion.expected"));
}

TEST(MatchHistory, PromptedNameAndFormatsWriteTheReportFile) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  auto run = runTool(dir, "Moth\n", {"--format=csv", "-o", "moth.csv"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Generate moth.csv for who: ");
  const auto rows = parseCsv(readFile(dir / "moth.csv"));
  ASSERT_TRUE(rows);
  EXPECT_EQ(rows->at(1).at(3), "Moth");

  writeFile(dir / "session_stats.txt", "old report");
  run = runTool(dir, "Kestrel\n", {"--opponent=moth"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");  // before the prompt
  EXPECT_EQ(run.err, "session-stats: sessionlog.txt names no player moth\n");
  EXPECT_EQ(readFile(dir / "session_stats.txt"), "old report");

  run = runTool(dir, "Kestrel\n", {"--character=H&K", "--until=2026-11-02"});
  EXPECT_EQ(run.status, 0);
  const std::string report = readFile(dir / "session_stats.txt");
  EXPECT_NE(report.find("      H&K wins/losses: "), std::string::npos);
  EXPECT_EQ(report.find("     Sion wins/losses: "), std::string::npos);
}

// A selection that keeps none of the player's matches says so and leaves
// the old report as it was, in every format; filters that no match could
// pass are wrong command lines.
TEST(MatchHistory, SelectionOfNoMatchKeepsTheOldReport) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  writeFile(dir / "session_stats.txt", "old report");
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{
           {"--since=2026-11-03"},
           {"--against=Kouma", "--format=csv", "-o", "session_stats.txt"},
           {"--opponent=Moth", "--character=N.A.Chaos", "-o", "-"}}) {
    std::vector<std::string> withPlayer = {"-p", "Kestrel"};
    withPlayer.insert(withPlayer.end(), args.begin(), args.end());
    const ToolRun run = runTool(dir, std::nullopt, withPlayer);
    EXPECT_EQ(run.status, 1) << args[0];
    EXPECT_EQ(run.out, "") << args[0];
    EXPECT_EQ(run.err,
              "session-stats: no match of Kestrel passes the filters\n");
    EXPECT_EQ(readFile(dir / "session_stats.txt"), "old report");
  }
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{
           {"--since=2026-11-03", "--until=2026-11-02"},
           {"--last-sessions=0"}}) {
    const ToolRun run = runTool(dir, "Kestrel\n", args);
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(readFile(dir / "session_stats.txt"), "old report");
  }
  EXPECT_EQ(namesIn(dir.path()), kLogAndReport);
}

}  // namespace
}  // namespace sessionstats
