#include "app/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/options.h"
#include "app/version.h"
#include "csv_test_parser.h"
#include "tool_run.h"
#include "tools/log_generator.h"

// End-to-end runs of the built tool. Most are rows of one table: each row is
// one run in a fresh folder, with the files it finds there, its arguments
// and standard input, and what it must print, return and leave behind. To
// add a run, add a row to the TEST whose story it belongs to (or start a
// new TEST with expectRuns); only runs that compare several runs with each
// other, run tools side by side or need a pipe stay TESTs of their own.

namespace sessionstats {
namespace {

namespace fs = std::filesystem;
using testing::DirectRun;
using testing::namesIn;
using testing::parseCsv;
using testing::readFile;
using testing::runScript;
using testing::runTool;
using testing::runToolDirectly;
using testing::runToolsTogether;
using testing::TempDir;
using testing::writeFile;

constexpr char kPrompt[] = "Generate session_stats.txt for who: ";
constexpr char kTryHelp[] =
    "Try 'session-stats --help' for more information.\n";
constexpr char kSeeList[] =
    "session-stats: see --list for every player of the log\n";

std::string sourceFile(std::string_view relative) {
  return readFile(fs::path(SESSION_STATS_SOURCE_DIR) / relative);
}

// Replaces every LF of `text` with CR LF.
std::string withCrLf(std::string_view text) {
  std::string out;
  for (char byte : text) {
    if (byte == '\n') out += '\r';
    out += byte;
  }
  return out;
}

// What a text must be: exactly `is` when given; else it begins with
// `startsWith`, holds each of `contains` and none of `lacks`. Text{} is any
// text, and a file expected to hold any text is not even read (it may be a
// folder, a device or a dangling link).
struct Text {
  std::optional<std::string> is = std::nullopt;
  std::string startsWith = {};
  std::vector<std::string> contains = {};
  std::vector<std::string> lacks = {};
};

Text exactly(std::string text) { return {.is = std::move(text)}; }
Text golden(std::string_view relative) { return exactly(sourceFile(relative)); }
// The report of Kestrel from the example log.
Text exampleReport() { return golden("tests/golden/example_kestrel.expected"); }

bool isAnyText(const Text& text) {
  return !text.is && text.startsWith.empty() && text.contains.empty() &&
         text.lacks.empty();
}

// Files in a run's folder: a name relative to it, and its bytes. A name
// that ends in '/' is a folder.
using Files = std::vector<std::pair<std::string, std::string>>;
// Every file and folder in a run's folder afterwards, with what each holds
// (Text{} for a folder, a device or a link that leads nowhere).
using After = std::vector<std::pair<std::string, Text>>;

// A run's folder afterwards: `name` holding `text`, beside the log it read.
After besideLog(std::string name, Text text) {
  return {{std::move(name), std::move(text)}, {"sessionlog.txt", Text{}}};
}

// The log of examples/, under the name the tool reads by default.
Files exampleLog() {
  return {{"sessionlog.txt", sourceFile("examples/sessionlog.txt")}};
}
// The same with an old report beside it.
Files exampleLogAndOldReport() {
  return {{"sessionlog.txt", sourceFile("examples/sessionlog.txt")},
          {"session_stats.txt", "old report"}};
}

// One run of the tool, a row of a table. The fields, in the order a row
// gives them (a row leaves out what it does not need):
struct Row {
  // Names the row in failure messages.
  std::string what = {};
  // When not empty, why the row cannot run here: it is skipped.
  std::string skip = {};
  // The arguments after the program's name, each passed as it is.
  std::vector<std::string> args = {};
  // The files in the run's folder before it.
  Files before = {};
  // Symbolic links in the folder before the run: name, target.
  std::vector<std::pair<std::string, std::string>> links = {};
  // Anything else to make before the run (permissions), after the files
  // and links.
  std::function<void(const TempDir&)> prepare = {};
  // Shell code run first in the tool's shell: "umask 027", "ulimit -f 8".
  std::string setup = {};
  // Standard input; nullopt: none at all (the tool reads end of input).
  std::optional<std::string> input = {};
  // The exit status and the expected standard output and standard error;
  // "(dir)" in them stands for the run's folder.
  int status = 0;
  Text out = exactly("");
  Text err = exactly("");
  // The run's folder afterwards; nullopt: every file and folder of `before`
  // as it was.
  std::optional<After> after = std::nullopt;
  // Further checks of the folder afterwards (links, permissions).
  std::function<void(const TempDir&)> verify = {};
};

// What `before` leaves behind when a run changes nothing.
After unchanged(const Files& before) {
  After after;
  for (auto [name, bytes] : before) {
    if (name.ends_with('/')) {
      name.pop_back();
      after.emplace_back(name, Text{});
    } else {
      after.emplace_back(name, exactly(bytes));
    }
  }
  return after;
}

// The files and folders under `dir`, sorted, other than the test's own
// .stdin, .stdout and .stderr.
std::vector<std::string> filesIn(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
    const std::string name =
        entry.path().lexically_relative(dir.path()).string();
    if (name[0] != '.') names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// `text` with its first "(dir)" in each part replaced by `dir`'s path.
Text inFolder(Text text, const TempDir& dir) {
  constexpr std::string_view kMark = "(dir)";
  const auto place = [&dir, kMark](std::string& part) {
    const std::size_t at = part.find(kMark);
    if (at != std::string::npos) {
      part.replace(at, kMark.size(), dir.path().string());
    }
  };
  if (text.is) place(*text.is);
  place(text.startsWith);
  for (std::string& part : text.contains) place(part);
  return text;
}

void expectText(const Text& expected, const std::string& actual,
                const std::string& what) {
  if (expected.is) {
    EXPECT_EQ(actual, *expected.is) << what;
    return;
  }
  EXPECT_TRUE(actual.starts_with(expected.startsWith))
      << what << " begins " << actual.substr(0, 200);
  for (const std::string& part : expected.contains) {
    EXPECT_NE(actual.find(part), std::string::npos)
        << what << " lacks " << part;
  }
  for (const std::string& part : expected.lacks) {
    EXPECT_EQ(actual.find(part), std::string::npos)
        << what << " holds " << part;
  }
}

void expectRun(const Row& run) {
  SCOPED_TRACE(run.what);
  if (!run.skip.empty()) {
    std::cout << "[ SKIPPED  ] " << run.what << ": " << run.skip << "\n";
    return;
  }
  TempDir dir;
  for (const auto& [name, bytes] : run.before) {
    if (name.ends_with('/')) {
      fs::create_directories(dir / name);
    } else {
      writeFile(dir / name, bytes);
    }
  }
  for (const auto& [name, target] : run.links) {
    fs::create_symlink(target, dir / name);
  }
  if (run.prepare) run.prepare(dir);

  const auto ran = runTool(dir, run.input, run.args, run.setup);
  EXPECT_EQ(ran.status, run.status) << ran.err;
  expectText(inFolder(run.out, dir), ran.out, "standard output");
  expectText(inFolder(run.err, dir), ran.err, "standard error");

  const After after = run.after ? *run.after : unchanged(run.before);
  std::vector<std::string> names;
  for (const auto& [name, text] : after) names.push_back(name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(filesIn(dir), names);
  for (const auto& [name, text] : after) {
    if (isAnyText(text)) continue;
    try {
      expectText(text, readFile(dir / name), name);
    } catch (const std::exception& failure) {
      ADD_FAILURE() << failure.what();
    }
  }
  if (run.verify) run.verify(dir);
}

void expectRuns(const std::vector<Row>& runs) {
  for (const Row& run : runs) expectRun(run);
}

std::string helpText() {
  std::ostringstream help;
  writeHelp(help);
  return help.str();
}

fs::perms permissionsOf(const fs::path& file) {
  return fs::status(file).permissions();
}

TEST(Driver, LogThatIsMissingOrUnreadableEndsTheRunWithStatusOne) {
  const Files oldReport = {{"session_stats.txt", "old report"}};
  const auto cannotRead = [](const char* reason) {
    return exactly("session-stats: could not read sessionlog.txt: " +
                   std::string(reason) + "\n");
  };
  const Row missing = {
      .what = "missing",
      .before = oldReport,
      .input = "Alpha\n",
      .status = 1,
      .out = exactly("Could not find sessionlog.txt\n"),
      .err = {.startsWith = "session-stats: looked for sessionlog.txt "
                            "in /"}};
  Row behindAFile = missing;
  behindAFile.what = "behind a plain file";
  behindAFile.before.emplace_back("not_a_folder", "");
  behindAFile.links = {{"sessionlog.txt", "not_a_folder/sessionlog.txt"}};
  behindAFile.after = After{{"not_a_folder", exactly("")},
                            {"session_stats.txt", exactly("old report")},
                            {"sessionlog.txt", Text{}}};
  Row aFolder = missing;
  aFolder.what = "a folder";
  aFolder.before.emplace_back("sessionlog.txt/", "");
  aFolder.err =
      exactly("session-stats: sessionlog.txt is a directory, not a log\n");
  Row aLoop = missing;
  aLoop.what = "a symlink loop";
  aLoop.links = {{"sessionlog.txt", "sessionlog.txt"}};
  aLoop.err = cannotRead("Too many levels of symbolic links");
  aLoop.after = After{{"session_stats.txt", exactly("old report")},
                      {"sessionlog.txt", Text{}}};
  Row unreadable = missing;
  unreadable.what = "without read permission";
  unreadable.skip = testing::runsAsRoot() ? "root reads any file" : "";
  unreadable.before.emplace_back("sessionlog.txt", "Session results\n");
  unreadable.prepare = [](const TempDir& dir) {
    fs::permissions(dir / "sessionlog.txt", fs::perms::none);
  };
  unreadable.err = cannotRead("Permission denied");
  unreadable.after = After{{"session_stats.txt", exactly("old report")},
                           {"sessionlog.txt", Text{}}};
  expectRuns({missing, behindAFile, aFolder, aLoop, unreadable});
}

TEST(Driver, AnswerIsTheFirstWordAndOneThatNamesNoPlayerLeavesTheReport) {
  const Files empty = {{"sessionlog.txt", ""}};
  const Files alphaAndBravo = {
      {"sessionlog.txt",
       "Session start. Players: Alpha vs Bravo\n"
       "Player 1 wins match 2-0 : Sion vs Ciel (50)\n"}};
  std::vector<Row> runs = {
      {.what = "blanks before the word, an empty log: no report created",
       .before = empty,
       .input = " \t\r\n\v\f Nobody and more\n",
       .status = 1,
       .out = exactly(kPrompt),
       .err = exactly("session-stats: sessionlog.txt names no player Nobody\n" +
                      std::string(kSeeList))},
      {.what = "empty lines and blanks, then two words",
       .before = alphaAndBravo,
       .input = "\n\n   Alpha Bravo\n",
       .out = exactly(kPrompt),
       .after = besideLog(
           "session_stats.txt",
           {.startsWith = "****", .contains = {"Stats for: Alpha\r\n"}})},
  };
  // A typo, the wrong case, and a word longer than any name, of which the
  // message shows the bytes that were kept.
  const std::string endless = "Kestrel" + std::string(5000, 'l');
  for (const std::string& answer :
       {std::string("Kestrell"), std::string("kestrel"), endless}) {
    runs.push_back(
        {.what = "answer " + answer.substr(0, 20),
         .before = exampleLogAndOldReport(),
         .input = answer + "\nKestrel\n",
         .status = 1,
         .out = exactly(kPrompt),
         .err = {.startsWith =
                     "session-stats: sessionlog.txt names no player " +
                     answer.substr(0, 200) + "\n"}});
  }
  expectRuns(runs);
}

TEST(Driver, EndOfInputAtThePromptLeavesTheReportUntouched) {
  const Files files = {{"sessionlog.txt", "Session results\n"},
                       {"session_stats.txt", "old report"}};
  expectRuns({
      {.what = "no input", .before = files, .out = exactly(kPrompt)},
      {.what = "blank lines only",
       .before = files,
       .input = " \n\t\n",
       .out = exactly(kPrompt)},
  });
}

// A log with a player whose name would reset a terminal.
constexpr std::string_view kGullLog =
    "Session start. Players: Gull\033c vs Moth\n"
    "Player 1 wins match 2-0 : Sion vs Ciel (50 seconds)\n";

// At a terminal (script(1) makes one) a name that names no player is asked
// for again, up to three times; piped, the first answer is the only one.
TEST(Driver, PromptAtATerminalAsksAgain) {
  if (testing::kOnWindows || std::system("command -v script >/dev/null") != 0) {
    GTEST_SKIP() << "no script(1) to make a terminal";
  }
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  const auto typed = [&dir](const char* lines) {
    return runScript(dir, std::string("export XDG_CONFIG_HOME=$PWD/config; "
                                      "printf '") +
                              lines +
                              "' | script -qec \"$SESSION_STATS\" /dev/null");
  };
  const auto prompts = [](const std::string& screen) {
    std::size_t count = 0;
    for (std::size_t at = screen.find(kPrompt); at != std::string::npos;
         at = screen.find(kPrompt, at + 1)) {
      ++count;
    }
    return count;
  };
  // A name in another letter case is asked about; a no is a wrong answer.
  const auto second = typed("kestrel\\nn\\nKestrel\\n");
  EXPECT_EQ(second.status, 0) << second.out;
  EXPECT_EQ(prompts(second.out), 2U) << second.out;
  EXPECT_NE(second.out.find("did you mean Kestrel?"), std::string::npos);
  EXPECT_EQ(readFile(dir / "session_stats.txt"),
            sourceFile("tests/golden/example_kestrel.expected"));
  fs::remove(dir / "session_stats.txt");
  fs::remove_all(dir / "config");  // no name offered
  const auto missed = typed("kes\\nn\\nkestrel\\nno\\nKestrle\\nKestrel\\n");
  EXPECT_EQ(missed.status, 1) << missed.out;
  EXPECT_EQ(prompts(missed.out), 3U) << missed.out;
  EXPECT_FALSE(fs::exists(dir / "session_stats.txt"));
  // A name of the log in a hint cannot act on the terminal (ESC c resets
  // it).
  writeFile(dir / "sessionlog.txt", kGullLog);
  const auto escaped = typed("gull\\n");
  EXPECT_NE(escaped.out.find("close names: Gull\\033c\r\n"), std::string::npos)
      << escaped.out;
  EXPECT_EQ(escaped.out.find("\033c"), std::string::npos) << escaped.out;
  // So in a report on the terminal.
  const auto report =
      runScript(dir, "script -qec \"'$SESSION_STATS' -p Moth -o -\" /dev/null");
  EXPECT_NE(report.out.find("Gull\\033c"), std::string::npos) << report.out;
  EXPECT_EQ(report.out.find("\033c"), std::string::npos) << report.out;
}

// A follow at a terminal says where its output goes, then what each later
// write holds.
TEST(Driver, FollowAtATerminalSaysEachWrite) {
  if (testing::kOnWindows || std::system("command -v script >/dev/null") != 0) {
    GTEST_SKIP() << "no script(1) to make a terminal";
  }
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  // Each wait gives up after a minute, when the machine is loaded.
  const auto run = runScript(dir, R"(
    script -qec "'$SESSION_STATS' -p Kestrel --follow --format=overlay" \
      /dev/null >screen.txt &
    terminal=$!
    for i in $(seq 600); do [ -e session_overlay.html ] && break; sleep 0.1; done
    printf 'Session start. Players: Kestrel vs Moth\nPlayer 1 wins match 2-0 : Sion vs Ciel (5 seconds)\n' >>sessionlog.txt
    for i in $(seq 600); do grep -q wrote screen.txt && break; sleep 0.1; done
    kill $terminal
    wait $terminal
    cat screen.txt)");
  EXPECT_NE(run.out.find("session-stats: following sessionlog.txt for "
                         "Kestrel: session_overlay.html is rewritten after "
                         "each result; Ctrl-C to stop\r\n"
                         "session-stats: wrote session_overlay.html: Kestrel, "
                         "31 matches\r\n"),
            std::string::npos)
      << run.out;
  // The list that a follow writes on a terminal escapes names as any list.
  writeFile(dir / "sessionlog.txt", kGullLog);
  const auto list = runScript(dir, R"(
    script -qec "'$SESSION_STATS' --list --follow -o -" /dev/null >screen.txt &
    terminal=$!
    for i in $(seq 600); do grep -q Moth screen.txt && break; sleep 0.1; done
    kill $terminal
    wait $terminal
    cat screen.txt)");
  EXPECT_NE(list.out.find("Gull\\033c\r\n"), std::string::npos) << list.out;
  EXPECT_EQ(list.out.find("\033c"), std::string::npos) << list.out;
}

TEST(Driver, TerminalPromptTakesALineAndOffersTheRememberedPlayer) {
  if (testing::kOnWindows || std::system("command -v script >/dev/null") != 0) {
    GTEST_SKIP() << "no script(1) to make a terminal";
  }
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  // Each line is typed after a pause, as a person types.
  const auto run = runScript(dir, R"(
    export XDG_CONFIG_HOME="$PWD/config"
    type() { for line; do sleep 1; printf '%s\n' "$line"; done; sleep 1; }
    type 'kestrel' '' | script -qec "'$SESSION_STATS'" /dev/null >first.txt
    cat config/session-stats/player.txt
    rm session_stats.txt
    type '' | script -qec "'$SESSION_STATS'" /dev/null >second.txt
    cat first.txt second.txt)");
  EXPECT_TRUE(run.out.starts_with("Kestrel\n")) << run.out;
  EXPECT_NE(run.out.find("Kestrel? [Y/n] "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Generate session_stats.txt for who [Kestrel]: "),
            std::string::npos)
      << run.out;
  EXPECT_EQ(readFile(dir / "session_stats.txt"),
            sourceFile("tests/golden/example_kestrel.expected"));
}

TEST(Driver, OpenHandsTheFileWrittenToTheOpenerAndOnlyWarnsWhenItCannot) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  // The opener runs on after the tool: its file is waited for.
  const auto run = runScript(dir, R"(
    printf '#!/bin/sh\nprintf "%%s" "$1" >opened.tmp && mv opened.tmp opened\n' >opener
    chmod +x opener
    SESSION_STATS_OPENER=./opener "$SESSION_STATS" -p Kestrel -o k.html --open
    for i in $(seq 600); do [ -e opened ] && break; sleep 0.1; done
    cat opened
    SESSION_STATS_OPENER=./nothing "$SESSION_STATS" -p Kestrel --open)");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, (dir / "k.html").string());
  EXPECT_EQ(run.err,
            "session-stats: could not open session_stats.txt: No such file or "
            "directory\n");
  EXPECT_EQ(readFile(dir / "session_stats.txt"),
            sourceFile("tests/golden/example_kestrel.expected"));
}

TEST(Driver, LogsGiveTheCheckedInReport) {
  // The excluded second player stands at the end of a line, where a CR
  // that was not dropped would let it through.
  const std::string log = sourceFile("examples/sessionlog.txt") +
                          "Session start. Players: Kestrel vs Debug mode\n"
                          "Player 1 wins match 2-0 : Sion vs Ciel (50)\n";
  std::vector<Row> runs;
  for (const auto& [what, bytes] :
       {std::pair{"the example log", sourceFile("examples/sessionlog.txt")},
        std::pair{"with a Debug mode session", log},
        std::pair{"the same with CR LF line ends", withCrLf(log)}}) {
    runs.push_back({.what = what,
                    .before = {{"sessionlog.txt", bytes}},
                    .input = "Kestrel\n",
                    .out = exactly(kPrompt),
                    .after = besideLog("session_stats.txt", exampleReport())});
  }
  expectRuns(runs);
}

TEST(Driver, OverlongLineIsCutAndTheNextLineStillCounts) {
  expectRuns({{
      .what = "lines of 300 and 283 bytes",
      .before =
          {{"sessionlog.txt",
            "Session start. Players: Alpha vs Bravo\n" + std::string(300, 'x') +
                "\nPlayer 1 wins match 2-0 : Sion vs Ciel (50)\n" +
                "Session start. Players: Alpha vs " + std::string(250, 'B') +
                "\nPlayer 1 wins match 2-0 : Sion vs Ciel (50)"}},
      .input = "Alpha",
      .out = exactly(kPrompt),
      // The second opponent's name is what fits in the line.
      .after = besideLog(
          "session_stats.txt",
          {.contains = {"        Total matches: 2\r\n",
                        "Matchup vs: " + std::string(199 - 33, 'B') + "\r\n"}}),
  }});
}

TEST(Driver, ReportThatCannotBeWrittenIsAnErrorAndLeavesTheOldOne) {
  const std::string tooLarge =
      "session-stats: could not write session_stats.txt: File too large\n";
  // A file size limit of 4 KiB: Kestrel's report of 25 KB fails part way,
  // as on a full disk, and leaves no temporary file.
  constexpr char kSmallFileLimit[] = "ulimit -f 8";
  const Files startLine = {
      {"sessionlog.txt", "Session start. Players: Alpha vs Bravo\n"},
      {"session_stats.txt/", ""}};
  expectRuns({
      {.what = "a folder in the way",
       .before = startLine,
       .input = "Alpha",
       .status = 1,
       .out = exactly(kPrompt),
       .err = exactly("session-stats: could not write session_stats.txt: Is "
                      "a directory\n")},
      {.what = "fails part way over an old report",
       .before = exampleLogAndOldReport(),
       .setup = kSmallFileLimit,
       .input = "Kestrel",
       .status = 1,
       .out = exactly(kPrompt),
       .err = exactly(tooLarge)},
      {.what = "fails part way with no old report",
       .before = exampleLog(),
       .setup = kSmallFileLimit,
       .input = "Kestrel",
       .status = 1,
       .out = exactly(kPrompt),
       .err = exactly(tooLarge)},
  });
}

TEST(Driver, LinkedReportKeepsItsLinkAndPermissionsSurvive) {
  const Text report = exampleReport();
  constexpr auto kOwnerWriteGroupRead =
      fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  Files withOld = exampleLog();
  withOld.emplace_back("reports/", "");
  withOld.emplace_back("reports/kestrel.txt", "old report");
  Files withoutOld = exampleLog();
  withoutOld.emplace_back("reports/", "");
  const After linkedReport = {{"reports", Text{}},
                              {"reports/kestrel.txt", report},
                              {"session_stats.txt", report},
                              {"sessionlog.txt", Text{}}};
  const auto linkAndPermissions = [=](const TempDir& dir) {
    EXPECT_EQ(fs::read_symlink(dir / "session_stats.txt"),
              "reports/kestrel.txt");
    EXPECT_EQ(permissionsOf(dir / "reports/kestrel.txt"), kOwnerWriteGroupRead);
  };
  expectRuns({
      {.what = "an old report behind the link keeps its permissions",
       .before = withOld,
       .links = {{"session_stats.txt", "reports/kestrel.txt"}},
       .prepare =
           [=](const TempDir& dir) {
             fs::permissions(dir / "reports/kestrel.txt", kOwnerWriteGroupRead);
           },
       .input = "Kestrel",
       .out = exactly(kPrompt),
       .after = linkedReport,
       .verify = linkAndPermissions},
      // New reports get 0666 less the umask, behind a dangling link too.
      {.what = "a dangling link, umask 027",
       .before = withoutOld,
       .links = {{"session_stats.txt", "reports/kestrel.txt"}},
       .setup = "umask 027",
       .input = "Kestrel",
       .out = exactly(kPrompt),
       .after = linkedReport,
       .verify = linkAndPermissions},
      {.what = "no link, umask 0",
       .before = exampleLog(),
       .setup = "umask 0",
       .input = "Kestrel",
       .out = exactly(kPrompt),
       .after = besideLog("session_stats.txt", report),
       .verify =
           [](const TempDir& dir) {
             EXPECT_EQ(permissionsOf(dir / "session_stats.txt"),
                       fs::perms::owner_read | fs::perms::owner_write |
                           fs::perms::group_read | fs::perms::group_write |
                           fs::perms::others_read | fs::perms::others_write);
           }},
  });
}

TEST(Driver, DeviceAsTheReportIsWrittenInPlace) {
  // Nothing is left beside the device, as a temporary file would be.
  const auto nothingLeftInDev = [](const TempDir&) {
    for (const char* device : {"/dev/full", "/dev/null"}) {
      EXPECT_TRUE(fs::is_character_file(device)) << device;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator("/dev")) {
      const std::string name = entry.path().filename().string();
      EXPECT_FALSE(name.starts_with("full.") || name.starts_with("null."))
          << "left in /dev: " << name;
    }
  };
  const After logAndLink = besideLog("session_stats.txt", Text{});
  expectRuns({
      {.what = "/dev/full",
       .before = exampleLog(),
       .links = {{"session_stats.txt", "/dev/full"}},
       .input = "Kestrel",
       .status = 1,
       .out = exactly(kPrompt),
       .err = exactly("session-stats: could not write session_stats.txt: No "
                      "space left on device\n"),
       .after = logAndLink,
       .verify = nothingLeftInDev},
      {.what = "/dev/null",
       .before = exampleLog(),
       .links = {{"session_stats.txt", "/dev/null"}},
       .input = "Kestrel",
       .out = exactly(kPrompt),
       .after = logAndLink,
       .verify = nothingLeftInDev},
  });
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
  const Files files = {{"sessionlog.txt", log},
                       {"session_stats.txt", "old report"}};
  expectRuns({{
      .what = "300,000 names in 20 MiB",
      .skip = kShadowMemory ? "the sanitizer reserves more address space "
                              "than the limit allows"
                            : "",
      .before = files,
      .setup = "ulimit -v 20480",
      .input = "Alpha",
      .status = 1,
      .err = exactly("session-stats: out of memory\n"),
  }});
}

TEST(Driver, HelpAndVersionPrintOnStandardOutputAndTouchNothing) {
  const Text help = {.is = helpText()};
  // The help names every option.
  const Text helpNamesOptions = {
      .startsWith = "Usage: session-stats [OPTION]...\n",
      .contains = {"--player=NAME", "--log=FILE", "--output=FILE", "--list",
                   "--help", "--version"}};
  std::vector<Row> runs = {
      {.what = "--help", .args = {"--help"}, .input = "Kestrel\n", .out = help},
      {.what = "--help names the options",
       .args = {"--help"},
       .out = helpNamesOptions},
      {.what = "-h after other options",
       .args = {"-l", "x", "-h"},
       .out = help},
  };
  for (const char* option : {"-V", "--version", "--vers"}) {
    runs.push_back({.what = option,
                    .args = {option},
                    .out = exactly(std::string(kVersionLine) + "\n")});
  }
  expectRuns(runs);
}

TEST(Driver, WrongCommandLineSaysWhatIsWrongAndTouchesNoFile) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--bogus"}, "unrecognized option '--bogus'"},
      {{"-o", "new.txt", "-p"}, "option requires an argument -- 'p'"},
      {{"-p", "Kestrel", "-o", "new.txt", "Moth"},
       "unexpected argument 'Moth'"},
      // What was perhaps meant: a player, a log, the closest option.
      {{"Kestrel"},
       "unexpected argument 'Kestrel'\nsession-stats: did you mean -p "
       "Kestrel?"},
      {{"-p", "Kestrel", "sessionlog.txt"},
       "unexpected argument 'sessionlog.txt'\nsession-stats: did you mean -l "
       "sessionlog.txt?"},
      {{"-p", "Kestrel", "--oponent=Moth"},
       "unrecognized option '--oponent=Moth'\nsession-stats: did you mean "
       "--opponent?"},
      // One slip in four letters is as far as a hint goes.
      {{"--hlp"},
       "unrecognized option '--hlp'\nsession-stats: did you mean --help?"},
      {{"--list", "-p", "Kestrel", "-o", "new.txt"},
       "--list writes no report: it takes no --player"},
      {{"-p", "Kestrel", "--since=2026-11-31"},
       "invalid date '2026-11-31' (a real date as YYYY-MM-DD)"},
      {{"-p", "Kestrel", "--character=Hisu"},
       "character 'Hisu' could be Hisui and Kohaku (H&K), Hisui"},
      {{"-p", "Kestrel", "--against=Sino"},
       "unknown character 'Sino'; did you mean Sion?"},
      // A format as an option, a plea for help, a switch of Windows.
      {{"-p", "Kestrel", "--csv"},
       "unrecognized option '--csv'\nsession-stats: did you mean "
       "--format=csv?"},
      {{"help"},
       "unexpected argument 'help'\nsession-stats: did you mean --help?"},
      {{"/p"}, "unexpected argument '/p'\nsession-stats: did you mean --help?"},
      {{"/?"}, "unexpected argument '/?'\nsession-stats: did you mean --help?"},
  };
  std::vector<Row> runs;
  for (const auto& [args, message] : cases) {
    runs.push_back(
        {.what = message,
         .args = args,
         .before = exampleLogAndOldReport(),
         .input = "Kestrel\n",
         .status = 2,
         .err = exactly("session-stats: " + message + "\n" + kTryHelp)});
  }
  expectRuns(runs);
}

TEST(Driver, PlayerOptionTakesAnyNameWithoutPromptOrInput) {
  const Files anaLee = {{"sessionlog.txt",
                         "Session start. Players: Ana Lee vs Moth\n"
                         "Player 1 wins match 2-0 : Sion vs Ciel (50)\n"}};
  const std::string noPlayer =
      "session-stats: sessionlog.txt names no player kestrel\n"
      "session-stats: letter case counts: did you mean Kestrel?\n" +
      std::string(kSeeList);
  // Moth on standard input would be read as the answer if it were read.
  expectRuns({
      {.what = "a name with a blank",
       .args = {"--player=Ana Lee"},
       .before = anaLee,
       .input = "Moth\n",
       .after = besideLog("session_stats.txt",
                          {.startsWith = std::string(76, '*') +
                                         "\r\nStats for: Ana Lee\r\n"})},
      {.what = "-p Kestrel gives the report of the prompt",
       .args = {"-p", "Kestrel"},
       .before = exampleLog(),
       .input = "Moth\n",
       .after = besideLog("session_stats.txt", exampleReport())},
      // An unknown name ends the run as an unknown answer does.
      {.what = "unknown name by option",
       .args = {"-p", "kestrel"},
       .before = exampleLogAndOldReport(),
       .status = 1,
       .err = exactly(noPlayer)},
      {.what = "unknown name at the prompt",
       .before = exampleLogAndOldReport(),
       .input = "kestrel\n",
       .status = 1,
       .out = exactly(kPrompt),
       .err = exactly(noPlayer)},
  });
}

TEST(Driver, LogAndOutputOptionsUseAndNameTheFilesGiven) {
  const Files folders = {
      {"logs/", ""},
      {"out/", ""},
      {"logs/old.txt", sourceFile("examples/sessionlog.txt")}};
  auto after = unchanged(folders);
  after.emplace_back("out/k.txt", exampleReport());
  expectRuns({
      {.what = "-l and -o",
       .args = {"-l", "logs/old.txt", "-o", "out/k.txt"},
       .before = folders,
       .input = "Kestrel\n",
       .out = exactly("Generate out/k.txt for who: "),
       .after = after},
      {.what = "--log of a missing file",
       .args = {"--log=logs/new.txt"},
       .before = folders,
       .input = "Kestrel\n",
       .status = 1,
       .out = exactly("Could not find logs/new.txt\n"),
       .err = {.startsWith = "session-stats: looked for new.txt in /",
               .contains = {"/logs; -l FILE names another log\n"}}},
      {.what = "-o in a missing folder",
       .args = {"-l", "logs/old.txt", "-p", "Kestrel", "-o", "none/k.txt"},
       .before = folders,
       .status = 1,
       .err = exactly("session-stats: could not write none/k.txt: No such "
                      "file or directory\n")},
  });
}

TEST(Driver, DashOutputPutsTheReportAloneOnStandardOutput) {
  const Text report = exampleReport();
  expectRuns({
      {.what = "-p Kestrel -o -",
       .args = {"-p", "Kestrel", "-o", "-"},
       .before = exampleLog(),
       .out = report},
      // Asked at the prompt, the prompt goes to standard error.
      {.what = "--output=- and the prompt",
       .args = {"--output=-"},
       .before = exampleLog(),
       .input = "Kestrel\n",
       .out = report,
       .err = exactly("Generate the report for who: ")},
      {.what = "-o- with a missing log",
       .args = {"-o-", "-p", "Kestrel", "-l", "gone.txt"},
       .before = exampleLog(),
       .status = 1,
       .err = {.startsWith = "Could not find gone.txt\n"}},
  });
}

TEST(Driver, ListOfTheExampleLogIsTheCheckedInTable) {
  const Files game = {{"game.log", sourceFile("examples/sessionlog.txt")}};
  expectRuns({{.what = "--list -l game.log",
               .args = {"--list", "-l", "game.log"},
               .before = game,
               .input = "Kestrel\n",
               .out = golden("tests/golden/example_list.txt")}});
}

TEST(Driver, ListCountsEveryPlayerOfTheLogAsTheirReportsDo) {
  const Files log = {{"sessionlog.txt",
                      "alias \"Kes\" \"Kestrel\"\n"
                      "Session start. Players: Kes vs Idle One\n"
                      "Session results\n"
                      "Session start. Players: Moth vs Kestrel\n"
                      "Player 3 wins match 1-1 : Sion vs Ciel (50)\n"
                      "Player 2 wins match 0-2 : Sion vs Ciel (50)\n"
                      "Session start. Players: Moth vs Practice Dummy\n"}};
  std::vector<Row> runs = {
      {.what = "--list",
       .args = {"--list"},
       .before = log,
       .out = exactly("Matches  Wins  Losses  Player\n"
                      "      2     1       1  Kestrel\n"
                      "      2     0       2  Moth\n"
                      "      0     0       0  Idle One\n")}};
  for (const auto& [name, total] :
       {std::pair{"Kestrel", "2"}, std::pair{"Moth", "2"},
        std::pair{"Idle One", "0"}}) {
    runs.push_back(
        {.what = name,
         .args = {"-p", name, "-o", "-"},
         .before = log,
         .out = {.contains = {std::string("        Total matches: ") + total +
                              "\r\n"}}});
  }
  expectRuns(runs);
}

TEST(Driver, HtmlFormatWritesOnePageToItsFileOrStandardOutput) {
  const Text page = {.startsWith = "<!DOCTYPE html>",
                     .contains = {"<h1><bdi>Kestrel</bdi></h1>",
                                  "Your 30 dated matches are too few to "
                                  "tell"}};
  expectRuns({
      {.what = "--format=html",
       .args = {"--format=html"},
       .before = exampleLog(),
       .input = "Kestrel\n",
       .out = exactly("Generate session_stats.html for who: "),
       .after = besideLog("session_stats.html", page)},
      {.what = "--format=html -o-",
       .args = {"-p", "Kestrel", "--format=html", "-o-"},
       .before = exampleLog(),
       .out = page},
  });
  // The same page either way.
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  ASSERT_EQ(runTool(dir, "Kestrel\n", {"--format=html"}).status, 0);
  EXPECT_EQ(
      runTool(dir, std::nullopt, {"-p", "Kestrel", "--format=html", "-o-"}).out,
      readFile(dir / "session_stats.html"));
}

TEST(MatchHistory, ExampleLogGivesTheCheckedInCsvJsonAndFilteredReport) {
  std::vector<Row> runs;
  for (const auto& [args, file] :
       {std::pair<std::vector<std::string>, const char*>{
            {"--format=csv"}, "tests/golden/example_kestrel.csv"},
        {{"--format=json"}, "tests/golden/example_kestrel.json"},
        {{"--opponent=Moth", "--since=2026-11-02", "--character=Sion"},
         "tests/golden/example_kestrel_moth_sion.expected"}}) {
    Row run = {.what = file,
               .args = args,
               .before = exampleLog(),
               .out = golden(file)};
    run.args.insert(run.args.end(), {"-p", "Kestrel", "-o", "-"});
    runs.push_back(run);
  }
  expectRuns(runs);
}

TEST(MatchHistory, PromptedNameAndFormatsWriteTheReportFile) {
  expectRuns({
      {.what = "CSV of the prompted name",
       .args = {"--format=csv", "-o", "moth.csv"},
       .before = exampleLog(),
       .input = "Moth\n",
       .out = exactly("Generate moth.csv for who: "),
       .after = besideLog("moth.csv", Text{}),
       .verify =
           [](const TempDir& dir) {
             const auto rows = parseCsv(readFile(dir / "moth.csv"));
             ASSERT_TRUE(rows);
             EXPECT_EQ(rows->at(1).at(3), "Moth");
           }},
      // An unknown opponent ends the run before the prompt.
      {.what = "--opponent that names no player",
       .args = {"--opponent=moth"},
       .before = exampleLogAndOldReport(),
       .input = "Kestrel\n",
       .status = 1,
       .err = exactly("session-stats: sessionlog.txt names no player moth\n"
                      "session-stats: letter case counts: did you mean "
                      "Moth?\n" +
                      std::string(kSeeList))},
      {.what = "--character and --until",
       .args = {"--character=H&K", "--until=2026-11-02"},
       .before = exampleLog(),
       .input = "Kestrel\n",
       .out = exactly(kPrompt),
       .after = besideLog("session_stats.txt",
                          {.contains = {"      H&K wins/losses: "},
                           .lacks = {"     Sion wins/losses: "}})},
  });
}

// A selection that keeps none of the player's matches says so and leaves
// the old report as it was, in every format; filters that no match could
// pass are wrong command lines.
TEST(MatchHistory, SelectionOfNoMatchKeepsTheOldReport) {
  std::vector<Row> runs;
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{
           {"--since=2026-11-03"},
           {"--against=Kouma", "--format=csv", "-o", "session_stats.txt"},
           {"--opponent=Moth", "--character=N.A.Chaos", "-o", "-"}}) {
    Row run = {.what = args[0],
               .args = {"-p", "Kestrel"},
               .before = exampleLogAndOldReport(),
               .status = 1,
               .err = exactly("session-stats: no match of Kestrel passes the "
                              "filters; he played Sion, H&K, N.A.Chaos on "
                              "2026-11-02\n")};
    run.args.insert(run.args.end(), args.begin(), args.end());
    runs.push_back(run);
  }
  // What he played says which days and characters a filter may pick.
  const Files twoDays = {
      {"sessionlog.txt",
       "2026-11-01 20:00:00 Session start. Players: Moth vs Kestrel\n"
       "2026-11-01 20:01:00 Player 1 wins match 2-0 : Ciel vs Sion (50 "
       "seconds)\n"
       "2026-11-03 20:00:00 Session start. Players: Kestrel vs Moth\n"
       "2026-11-03 20:01:00 Player 2 wins match 0-2 : Akiha vs Ciel (50 "
       "seconds)\n"}};
  runs.push_back({.what = "two days",
                  .args = {"-p", "Kestrel", "--character=Ciel"},
                  .before = twoDays,
                  .status = 1,
                  .err = exactly("session-stats: no match of Kestrel passes "
                                 "the filters; he played Sion, Akiha from "
                                 "2026-11-01 to 2026-11-03\n")});
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{
           {"--since=2026-11-03", "--until=2026-11-02"},
           {"--last-sessions=0"}}) {
    runs.push_back({.what = args[0],
                    .args = args,
                    .before = exampleLogAndOldReport(),
                    .input = "Kestrel\n",
                    .status = 2,
                    .err = Text{}});
  }
  expectRuns(runs);
}

// People who make mistakes get told what they may have meant.
TEST(Driver, StoriesOfPeopleWhoMakeMistakes) {
  const std::string example = sourceFile("examples/sessionlog.txt");
  const std::size_t cut = [&example] {
    std::size_t at = 0;
    for (int line = 0; line < 33; ++line) at = example.find('\n', at) + 1;
    return at - 1;  // the 33rd line without its line end
  }();
  // The example log, its two halves (cut in the middle of a session,
  // without a line end) and a log of players with blanks in their names.
  const Files files = {{"sessionlog.txt", example},
                       {"first.txt", example.substr(0, cut)},
                       {"second.txt", example.substr(cut + 1)},
                       {"people.txt",
                        "Session start. Players: Ana Lee vs Ava\n"
                        "Session start. Players: Ana Lee 'Jr' vs Ana Lee\n"
                        "Session start. Players: Zeta vs Ava\n"
                        "alias \"Avo\" \"Zeta\"\n"
                        "alias \"Ghost\" \"Nobody\"\n"}};
  After withPipe = unchanged(files);
  withPipe.emplace_back("pipe", Text{});
  const std::string notKestrel =
      "session-stats: sessionlog.txt names no player ";
  std::vector<Row> runs = {
      {.what = "a case miss at the prompt",
       .input = "kestrel\n",
       .status = 1,
       .out = exactly(kPrompt),
       .err = exactly(
           notKestrel + "kestrel\n" +
           "session-stats: letter case counts: did you mean Kestrel?\n" +
           kSeeList)},
      {.what = "an alias in another letter case",
       .args = {"-p", "kes"},
       .status = 1,
       .err = exactly(notKestrel +
                      "kes\nsession-stats: letter case counts: Kes is an "
                      "alias of Kestrel\n" +
                      kSeeList)},
      {.what = "an alias close to another player",
       .args = {"-l", "people.txt", "-p", "Avo"},
       .status = 1,
       .err = exactly("session-stats: people.txt names no player Avo\n"
                      "session-stats: Avo is an alias of Zeta\n"
                      "session-stats: close names: Ava\n" +
                      std::string(kSeeList))},
      {.what = "a format in capitals",
       .args = {"-p", "Kestrel", "--format=CSV", "-o", "-"},
       .out = golden("tests/golden/example_kestrel.csv")},
      {.what = "an alias",
       .args = {"-p", "Kes"},
       .status = 1,
       .err = exactly(notKestrel +
                      "Kes\nsession-stats: Kes is an alias of Kestrel\n" +
                      kSeeList)},
      {.what = "a near miss",
       .args = {"-p", "Kestrle"},
       .status = 1,
       .err = exactly(notKestrel +
                      "Kestrle\nsession-stats: close names: Kestrel\n" +
                      kSeeList)},
      // A slip is one edit per three letters, rounded up; a swap is one.
      {.what = "two slips in five letters, in two logs",
       .args = {"-l", "first.txt", "-l", "second.txt", "-p", "Hxrxn"},
       .status = 1,
       .err = exactly("session-stats: the logs name no player Hxrxn\n"
                      "session-stats: close names: Heron\n" +
                      std::string(kSeeList))},
      {.what = "a swap in three letters",
       .args = {"-l", "people.txt", "-p", "Aav"},
       .status = 1,
       .err = exactly("session-stats: people.txt names no player Aav\n"
                      "session-stats: close names: Ava\n" +
                      std::string(kSeeList))},
      {.what = "a case miss in the last letter of the alphabet",
       .args = {"-l", "people.txt", "-p", "zeta"},
       .status = 1,
       .err = exactly("session-stats: people.txt names no player zeta\n"
                      "session-stats: letter case counts: did you mean "
                      "Zeta?\n" +
                      std::string(kSeeList))},
      {.what = "a letter too many in front, and a swap",
       .args = {"-p", "xMoht"},
       .status = 1,
       .err = exactly(notKestrel + "xMoht\nsession-stats: close names: Moth\n" +
                      kSeeList)},
      {.what = "a name with blanks at the prompt",
       .args = {"-l", "people.txt"},
       .input = "Ana Lee\n",
       .status = 1,
       .out = exactly(kPrompt),
       .err = exactly(
           "session-stats: people.txt names no player Ana\n"
           "session-stats: close names: Ava\n"
           "session-stats: a name with blanks is given with -p: -p 'Ana Lee'\n"
           "session-stats: a name with blanks is given with -p: -p 'Ana Lee "
           "'\\''Jr'\\'''\n" +
           std::string(kSeeList))},
      // --opponent comes from no prompt, so no -p is offered for it.
      {.what = "a start of a name with blanks as --opponent",
       .args = {"-l", "people.txt", "-p", "Ava", "--opponent=Ana"},
       .status = 1,
       .err = exactly("session-stats: people.txt names no player Ana\n"
                      "session-stats: close names: Ava\n" +
                      std::string(kSeeList))},
      // An alias of no player leads nowhere.
      {.what = "an alias of no player",
       .args = {"-l", "people.txt", "-p", "Ghost"},
       .status = 1,
       .err = exactly("session-stats: people.txt names no player Ghost\n" +
                      std::string(kSeeList))},
      {.what = "an empty name",
       .args = {"-p", ""},
       .status = 1,
       .err = exactly(notKestrel + "''\n" + kSeeList)},
      {.what = "a name with a leading blank",
       .args = {"-p", " Moth"},
       .status = 1,
       .err =
           exactly(notKestrel + "' Moth'\nsession-stats: close names: Moth\n" +
                   kSeeList)},
      {.what = "standard input as the log",
       .args = {"-l", "-", "-p", "Kestrel", "-o", "-"},
       .input = example,
       .out = exampleReport()},
      {.what = "two logs as one history",
       .args = {"-l", "first.txt", "--log=second.txt", "-p", "Kestrel", "-o-"},
       .out = exampleReport()},
      {.what = "two logs, one of them missing",
       .args = {"-l", "first.txt", "-l", "none.txt", "-p", "Kestrel"},
       .status = 1,
       .out = exactly("Could not find none.txt\n"),
       .err = exactly("session-stats: looked for none.txt in (dir); -l FILE "
                      "names another log\n")},
      {.what = "a folder as the log",
       .args = {"-l", ".", "-p", "Kestrel"},
       .status = 1,
       .out = exactly("Could not find .\n"),
       .err = exactly("session-stats: . is a directory, not a log\n")},
      {.what = "a folder followed",
       .args = {"-l", ".", "-p", "Kestrel", "--follow"},
       .status = 1,
       .out = exactly("Could not find .\n"),
       .err = exactly("session-stats: . is a directory, not a log\n")},
      // A FIFO would block the follow where no interrupt ends it.
      {.what = "a FIFO followed",
       .args = {"-l", "pipe", "-p", "Kestrel", "--follow"},
       .setup = "mkfifo pipe",
       .status = 2,
       .err = exactly("session-stats: --follow reads a log file: pipe is a "
                      "pipe or a device\n"),
       .after = withPipe},
      {.what = "one log given twice, by two names",
       .args = {"-l", "sessionlog.txt", "-l", "./sessionlog.txt", "-p",
                "Kestrel"},
       .status = 2,
       .err = exactly("session-stats: sessionlog.txt and ./sessionlog.txt "
                      "are the same log: give each log once\n")},
      {.what = "standard input read from a log also given by name",
       .args = {"-l", "-", "-l", "sessionlog.txt", "-p", "Kestrel"},
       .setup = "ln -f sessionlog.txt \"$PWD.stdin\"",
       .input = "",
       .status = 2,
       .err = exactly("session-stats: standard input and sessionlog.txt are "
                      "the same log: give each log once\n")},
      {.what = "the list of the last session",
       .args = {"--list", "--last-sessions=1"},
       .out = exactly("Matches  Wins  Losses  Player\n"
                      "      8     4       4  Kestrel\n"
                      "      8     4       4  Heron\n")},
      {.what = "the list of a day without matches",
       .args = {"--list", "--since=2026-11-03"},
       .out = exactly("Matches  Wins  Losses  Player\n")},
  };
  for (Row& run : runs) {
    run.before = files;
  }
  expectRuns(runs);
}

TEST(Driver, CharactersGoByEitherNameInAnyCaseOrAUniqueStart) {
  std::vector<Row> runs;
  for (const char* name :
       {"H&K", "h&k", "Hisui and Kohaku", "hisui AND", "H&"}) {
    runs.push_back(
        {.what = name,
         .args = {"-p", "Kestrel", "-o-", "--character", name, "--against=ci"},
         .before = exampleLog(),
         .out = {.contains = {"\r\nFilters: character Hisui and Kohaku; "
                              "against Ciel\r\n    Total time played: "}}});
  }
  expectRuns(runs);
}

TEST(Driver, ListGoesToItsFileWholeLikeAReport) {
  Files withOldList = exampleLog();
  withOldList.emplace_back("players.txt", "old list");
  expectRuns({
      // Standard error is no terminal here: no note of what was written.
      {.what = "-o players.txt",
       .args = {"--list", "-o", "players.txt"},
       .before = withOldList,
       .after =
           besideLog("players.txt", golden("tests/golden/example_list.txt"))},
      {.what = "-o in a missing folder",
       .args = {"--list", "-o", "no/players.txt"},
       .before = withOldList,
       .status = 1,
       .err = exactly("session-stats: could not write no/players.txt: No such "
                      "file or directory\n")},
  });
}

// Runs that are not one run each: side by side, through a pipe, compared
// with each other or measured.

const std::vector<std::string> kLogAndReport = {"session_stats.txt",
                                                "sessionlog.txt"};

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
  // A follow ends with its reader too, not when the log next grows.
  const std::string following =
      "session-stats: following sessionlog.txt for Kestrel: the report is "
      "written to standard output after each result; Ctrl-C to stop\n";
  for (const auto& [args, err] :
       std::vector<std::pair<std::string, std::string>>{
           {"-p Kestrel -o -", ""},
           {"-p Kestrel -o - --format=csv", ""},
           {"--list", ""},
           {"--help", ""},
           {"-p Kestrel -o - --follow", following}}) {
    const auto run = runScript(dir, "{ timeout 60 \"$SESSION_STATS\" " + args +
                                        "; echo $? >status; } | head -c 1");
    EXPECT_EQ(run.out.size(), 1U) << args;
    EXPECT_EQ(run.err, err) << args;
    EXPECT_EQ(readFile(dir / "status"), "0\n") << args;
  }
}

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

  const std::string jsonText = kestrel(dir, {"--format=json"});
  // The FNV-1a digest of this document as it was when nlohmann::json built
  // it whole before writing it, before its last member, the insights: the
  // streamed writer gives the same bytes.
  const std::string before =
      jsonText.substr(0, jsonText.rfind(",\n  \"insights\": ")) + "\n}\n";
  std::uint64_t digest = 0xcbf29ce484222325U;
  for (const char c : before) {
    digest = (digest ^ static_cast<unsigned char>(c)) * 0x100000001b3U;
  }
  EXPECT_EQ(digest, 0xf45c0bddd8a31df3U);
  const auto json = nlohmann::json::parse(jsonText);
  EXPECT_EQ(json.at("summary").at("matches"), matches);
  EXPECT_EQ(json.at("summary").at("wins"), wins);
  std::int64_t sessionMatches = 0;
  for (const auto& session : json.at("sessions")) {
    sessionMatches += session.at("wins").get<std::int64_t>() +
                      session.at("losses").get<std::int64_t>();
  }
  EXPECT_EQ(sessionMatches, matches);
  // Every match of the generated log has a date: the months of the form
  // count them all.
  std::int64_t monthMatches = 0;
  for (const auto& month : json.at("insights").at("form")) {
    monthMatches += month.at("matches").get<std::int64_t>();
  }
  EXPECT_EQ(monthMatches, matches);

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

// Runs the program in this process on `args`; `written` gets what it wrote.
int runHere(std::vector<std::string> args, std::ostream& out, std::ostream& err,
            Written& written) {
  args.insert(args.begin(), "session-stats");
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::istringstream console("Moth\n");
  return runCommandLine(static_cast<int>(args.size()), argv.data(), console,
                        out, err, &written);
}

TEST(Driver, NoteOfWhatWasWrittenToAFile) {
  TempDir dir;
  writeFile(dir / "sessionlog.txt", sourceFile("examples/sessionlog.txt"));
  const std::string log = (dir / "sessionlog.txt").string();
  const std::string file = (dir / "k.html").string();
  std::ostringstream out;
  std::ostringstream err;
  Written written;
  EXPECT_EQ(runHere({"-p", "Kestrel", "--format=html", "-o", file, "-l", log},
                    out, err, written),
            0);
  EXPECT_EQ(written.file, file);
  EXPECT_EQ(written.counted, "Kestrel, 30 matches");
  EXPECT_EQ(closingLine(written), "Wrote " + file + " for Kestrel.");
  EXPECT_EQ(runHere({"--list", "--last-sessions=1", "-o", file, "-l", log}, out,
                    err, written),
            0);
  EXPECT_EQ(written.counted, "2 players");
  EXPECT_EQ(closingLine(written), "Wrote " + file + ".");
  // Standard output says nothing of it, standard error only when it is a
  // terminal; and a report there is no file written.
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(runHere({"--list", "-o", "-", "-l", log}, out, err, written), 0);
  EXPECT_EQ(closingLine(written), "");
}

}  // namespace
}  // namespace sessionstats
