#include "app/options.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "stats/character_roster.h"

namespace sessionstats {
namespace {

// Parses `args` as the words after the program name.
ParsedOptions parse(const std::vector<const char*>& args) {
  std::vector<std::string> words = {"session-stats"};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  return parseOptions(static_cast<int>(words.size()), argv.data());
}

TEST(Options, NothingGivenKeepsTheClassicRun) {
  const ParsedOptions parsed = parse({});
  EXPECT_TRUE(parsed.status.ok());
  EXPECT_EQ(parsed.options.command, Command::kReport);
  EXPECT_FALSE(parsed.options.request.player);
  EXPECT_EQ(parsed.options.logFiles,
            std::vector<std::string>{"sessionlog.txt"});
  EXPECT_EQ(parsed.options.reportFile, "session_stats.txt");
}

TEST(Options, ShortLongAttachedAndAbbreviatedFormsAgree) {
  for (const ParsedOptions& parsed :
       {parse({"-p", "Ana Lee", "-l", "a.log", "-o", "-"}),
        parse({"-pAna Lee", "-la.log", "-o-"}),
        parse({"--player=Ana Lee", "--log", "a.log", "--output=-"}),
        parse({"--pl", "Ana Lee", "--lo=a.log", "--out", "-"}),
        parse({"--player=Bo", "-p", "Ana Lee", "-la.log", "-o-"})}) {
    EXPECT_TRUE(parsed.status.ok());
    EXPECT_EQ(parsed.options.request.player, "Ana Lee");
    EXPECT_EQ(parsed.options.logFiles, std::vector<std::string>{"a.log"});
    EXPECT_EQ(parsed.options.reportFile, "-");
  }
  // A value that looks like an option is still the value.
  EXPECT_EQ(parse({"-p", "--list"}).options.request.player, "--list");
  EXPECT_EQ(parse({"-p", ""}).options.request.player, "");
}

TEST(Options, EachFormatWritesItsOwnFileUnlessOneIsNamed) {
  EXPECT_EQ(parse({}).options.request.format, ReportFormat::kText);
  ParsedOptions parsed = parse({"--format=html"});
  EXPECT_TRUE(parsed.status.ok());
  EXPECT_EQ(parsed.options.request.format, ReportFormat::kHtml);
  EXPECT_EQ(parsed.options.reportFile, "session_stats.html");
  parsed = parse({"-o", "k.txt", "--form", "html"});
  EXPECT_EQ(parsed.options.request.format, ReportFormat::kHtml);
  EXPECT_EQ(parsed.options.reportFile, "k.txt");
  parsed = parse({"--format=html", "--format=text"});
  EXPECT_EQ(parsed.options.request.format, ReportFormat::kText);
  EXPECT_EQ(parsed.options.reportFile, "session_stats.txt");
  EXPECT_EQ(parse({"--format=csv"}).options.reportFile, "session_stats.csv");
  EXPECT_EQ(parse({"--format=json"}).options.reportFile, "session_stats.json");
  EXPECT_EQ(parse({"--format=overlay"}).options.reportFile,
            "session_overlay.html");
}

TEST(Options, HelpAndVersionWinWhereTheyStand) {
  EXPECT_EQ(parse({"-h", "--bogus"}).options.command, Command::kHelp);
  EXPECT_EQ(parse({"--list", "--vers", "stray"}).options.command,
            Command::kVersion);
  EXPECT_EQ(parse({"-Vx"}).options.command, Command::kVersion);
  EXPECT_EQ(parse({"--bogus", "-h"}).status.what(),
            "unrecognized option '--bogus'");
  EXPECT_TRUE(parse({"--list", "-l", "a.log"}).options.request.listing);
}

TEST(Options, EachErrorIsOneLineNamingWhatIsWrong) {
  const std::pair<std::vector<const char*>, const char*> cases[] = {
      {{"-x"}, "invalid option -- 'x'"},
      {{"-l", "a.log", "-xV"}, "invalid option -- 'x'"},
      {{"--log=a.log", "-xV"}, "invalid option -- 'x'"},
      {{"-p"}, "option requires an argument -- 'p'"},
      {{"-Vp"}, ""},
      {{"--player"}, "option '--player' requires an argument"},
      {{"--out"}, "option '--output' requires an argument"},
      {{"--bogus=1"}, "unrecognized option '--bogus=1'"},
      {{"--l", "a.log"}, "option '--l' is ambiguous"},
      {{"--list=yes"}, "option '--list' doesn't allow an argument"},
      {{"--help=me"}, "option '--help' doesn't allow an argument"},
      {{"Kestrel"}, "unexpected argument 'Kestrel'"},
      {{"-p", "Kestrel", "Moth"}, "unexpected argument 'Moth'"},
      {{"--", "-p"}, "unexpected argument '-p'"},
      {{"-o", ""}, "a file name cannot be empty"},
      {{"--log="}, "a file name cannot be empty"},
      {{"--list", "-p", "Kestrel"},
       "--list writes no report: it takes no --player"},
      {{"--list", "--opponent=Moth"},
       "--list takes no --format, --opponent, --character or --against"},
      {{"--format=csv", "--list"},
       "--list takes no --format, --opponent, --character or --against"},
      {{"-o", "players.txt", "--list", "--since=2026-01-01",
        "--last-sessions=2"},
       ""},
      {{"-l", "-", "-l", "a.log", "-l-", "-p", "Kestrel"},
       "standard input can be read as a log only once"},
      {{"-l", "-"},
       "-l - reads the log from standard input: name the player with -p, or "
       "use --list"},
      {{"-l", "-", "--list"}, ""},
      {{"-l", "a.log", "-l", ""}, "a file name cannot be empty"},
      {{"--format=xml"},
       "unknown format 'xml' (text, csv, json, html or overlay)"},
      {{"--follow"}, "--follow needs --player (or --list): it cannot prompt"},
      {{"--follow", "-p", "Kestrel"}, ""},
      {{"--follow", "--list"}, ""},
      {{"--open", "-p", "Kestrel"}, ""},
      {{"--open", "--list"}, "--open opens a file: give -o FILE"},
      {{"--open", "-o", "-"}, "--open opens a file: give -o FILE"},
      {{"--follow", "--list", "-l", "a.log", "-l", "b.log"},
       "--follow reads one log file: give one -l FILE"},
      {{"--follow", "--list", "-l", "-"},
       "--follow reads one log file: give one -l FILE"},
      {{"--character=Zelda"},
       "unknown character 'Zelda'; the characters are Sion, Arcueid, Ciel, "
       "Akiha, Hisui and Kohaku (H&K), Hisui, Kohaku, Shiki, Miyako, "
       "Warakia, Nrvnqsr, V.Sion, Warcueid, V.Akiha, M.Hisui, Nanaya, "
       "Satsuki, Len, Aoko, W.Len, Kouma, Neco-Arc Chaos (N.A.Chaos), "
       "Neco-Arc"},
      {{"--against", "h"},
       "character 'h' could be Hisui and Kohaku (H&K), Hisui"},
      {{"--against", "neco-arc "}, ""},
      {{"--character="},
       "unknown character ''; the characters are Sion, "
       "Arcueid, Ciel, Akiha, Hisui and Kohaku (H&K), Hisui, Kohaku, Shiki, "
       "Miyako, Warakia, Nrvnqsr, V.Sion, Warcueid, V.Akiha, M.Hisui, Nanaya, "
       "Satsuki, Len, Aoko, W.Len, Kouma, Neco-Arc Chaos (N.A.Chaos), "
       "Neco-Arc"},
      {{"--since=2026-02-30"},
       "invalid date '2026-02-30' (a real date as YYYY-MM-DD)"},
      {{"--until=26-01-01"},
       "invalid date '26-01-01' (a real date as YYYY-MM-DD)"},
      {{"--last-sessions=-1"},
       "invalid session count '-1' (a whole number from 1 to 4294967295)"},
      {{"--last-sessions=4294967296"},
       "invalid session count '4294967296' (a whole number from 1 to "
       "4294967295)"},
      {{"--last-sessions="},
       "invalid session count '' (a whole number from 1 to 4294967295)"},
      {{"--last-sessions=0"},
       "invalid session count '0' (a whole number from 1 to 4294967295)"},
      {{"--until=2026-11-01", "--since=2026-11-02"},
       "--since 2026-11-02 is after --until 2026-11-01: no day passes both"},
      {{"--since=2026-11-01", "--until=2026-11-01"}, ""},
  };
  for (const auto& [args, message] : cases) {
    const Status status = parse(args).status;
    if (*message == '\0') {
      EXPECT_TRUE(status.ok());
    } else {
      EXPECT_EQ(status.kind(), Status::Kind::kUsage);
      EXPECT_EQ(status.message(), message);
    }
  }
}

TEST(Options, FiltersAndFormatsTakeTheNamesOfLogAndReport) {
  const ParsedOptions parsed =
      parse({"--format", "json", "--opponent=Moth", "--character=H&K",
             "--against=Neco-Arc Chaos", "--since=2024-02-29",
             "--until=2026-11-02", "--last-sessions=4294967295"});
  ASSERT_TRUE(parsed.status.ok());
  const ReportRequest& request = parsed.options.request;
  EXPECT_EQ(request.format, ReportFormat::kJson);
  EXPECT_EQ(request.filter.opponent, "Moth");
  EXPECT_EQ(request.filter.character, findCharacter("Hisui and Kohaku"));
  EXPECT_EQ(request.filter.against, findCharacter("Neco-Arc Chaos"));
  EXPECT_EQ(request.filter.since, 20240229U);
  EXPECT_EQ(request.filter.until, 20261102U);
  EXPECT_EQ(request.filter.lastSessions, 4294967295U);
  EXPECT_EQ(parse({"--against=N.A.Chaos"}).options.request.filter.against,
            request.filter.against);
  EXPECT_EQ(parse({"--format=csv"}).options.request.format, ReportFormat::kCsv);
  // Each -l adds a log; --list goes to standard output unless -o names a file.
  const ParsedOptions list =
      parse({"--list", "-l", "a.log", "--log=-", "-lb.log"});
  EXPECT_EQ(list.options.logFiles,
            (std::vector<std::string>{"a.log", "-", "b.log"}));
  EXPECT_EQ(list.options.reportFile, "-");
  EXPECT_FALSE(parse({"--format=text"}).options.request.filter.any());
}

}  // namespace
}  // namespace sessionstats
