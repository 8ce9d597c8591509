#include "report/report_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "test_session.h"
#include "tool_run.h"

namespace sessionstats {
namespace {

namespace fs = std::filesystem;

constexpr int kSion = 0;
constexpr int kCiel = 2;
constexpr int kHisuiAndKohaku = 4;
constexpr int kNecoArc = 22;

const fs::path kGoldenDir = fs::path(SESSION_STATS_SOURCE_DIR) / "tests/golden";

std::string report(const PlayerStats& player) {
  std::ostringstream out;
  writeReport(out, player);
  return out.str();
}

// The lines of `text` without their CR LF; a lone LF fails the test.
std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos;
       start = end + 1) {
    EXPECT_TRUE(end > start && text[end - 1] == '\r')
        << "line " << result.size();
    result.push_back(text.substr(start, end - start - 1));
  }
  EXPECT_EQ(start, text.size()) << "text after the last line end";
  return result;
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

using Session = testing::TestSession;

// 25 wins and 15 losses as Sion or H&K over 3725 seconds.
PlayerStats summaryExample() {
  PlayerStats alpha;
  alpha.name = "Alpha";
  alpha.matchWins = 25;
  alpha.matchLosses = 15;
  alpha.roundWins = 58;
  alpha.roundLosses = 41;
  alpha.charWins[kSion] = 20;
  alpha.charLosses[kSion] = 10;
  alpha.charRoundWins[kSion] = 45;
  alpha.charRoundLosses[kSion] = 28;
  alpha.charWins[kHisuiAndKohaku] = 5;
  alpha.charLosses[kHisuiAndKohaku] = 5;
  alpha.charRoundWins[kHisuiAndKohaku] = 13;
  alpha.charRoundLosses[kHisuiAndKohaku] = 13;
  alpha.totalSeconds = 3725;
  alpha.shortestSeconds = 41;
  alpha.longestSeconds = 187;
  alpha.lengthBuckets = {0, 3, 14, 12, 8, 2, 1};
  return alpha;
}

// Alpha's four matches against Bravo, Alpha's character first.
void playOpponentExample(Session& session) {
  session.play(1, 2, 1, kSion, kCiel, 95);
  session.play(2, 1, 2, kSion, kCiel, 120);
  session.play(1, 2, 0, kHisuiAndKohaku, kSion, 61);
  session.play(1, 2, 1, kSion, kSion, 88);
}

TEST(ReportWriter, SummaryWithoutOpponentsMatchesGolden) {
  EXPECT_EQ(report(summaryExample()),
            testing::readFile(kGoldenDir / "summary_example.expected"));
}

TEST(ReportWriter, OpponentSectionAndGridsMatchGolden) {
  Session session("Alpha", "Bravo");
  playOpponentExample(session);
  EXPECT_EQ(report(session.first()),
            testing::readFile(kGoldenDir / "opponent_example.expected"));
}

TEST(ReportWriter, StoredGoldenFilesKeepCarriageReturnLineFeed) {
  int files = 0;
  for (const auto& entry : fs::directory_iterator(kGoldenDir)) {
    if (entry.path().extension() != ".expected") continue;
    ++files;
    const std::string text = testing::readFile(entry.path());
    ASSERT_NE(text.find("\r\n"), std::string::npos) << entry.path();
    for (std::size_t at = text.find('\n'); at != std::string::npos;
         at = text.find('\n', at + 1)) {
      ASSERT_TRUE(at > 0 && text[at - 1] == '\r')
          << entry.path() << " byte " << at;
    }
  }
  EXPECT_GT(files, 0);
}

// Keeps each write that reaches the stream and counts the flushes; the
// write after the first `failAfter` throws.
class WriteRecorder : public std::streambuf {
 public:
  std::vector<std::string> writes;
  int flushes = 0;
  std::size_t failAfter = std::numeric_limits<std::size_t>::max();

 protected:
  std::streamsize xsputn(const char* text, std::streamsize length) override {
    if (writes.size() == failAfter) throw std::runtime_error("write failed");
    writes.emplace_back(text, static_cast<std::size_t>(length));
    return length;
  }
  int_type overflow(int_type byte) override {
    if (!traits_type::eq_int_type(byte, traits_type::eof())) {
      writes.emplace_back(1, traits_type::to_char_type(byte));
    }
    return traits_type::not_eof(byte);
  }
  int sync() override {
    ++flushes;
    return 0;
  }
};

// Buffering is the stream's: a flush per line cost a system call per line.
TEST(ReportWriter, EveryWriteEndsAtALineEndAndNothingIsFlushed) {
  Session session("Alpha", "Bravo");
  playOpponentExample(session);
  WriteRecorder recorder;
  std::ostream out(&recorder);
  writeReport(out, session.first());
  EXPECT_EQ(recorder.flushes, 0);
  std::string joined;
  for (const std::string& write : recorder.writes) {
    ASSERT_TRUE(write.ends_with("\r\n")) << write;
    joined += write;
  }
  EXPECT_EQ(joined, report(session.first()));
}

// Hundreds of opponents make many pieces, more than the second thread can
// hold ahead of the writing; some opponents met and never played. A stream
// that fails part way stops both threads, and its exception reaches the
// caller.
TEST(ReportWriter, ManyOpponentsGiveTheSameWritesOnOneThreadOrTwo) {
  StatsRecords records;
  std::vector<std::string> played;
  std::uint32_t random = 12345;
  const auto next = [&random](std::uint32_t bound) {
    random = random * 1664525u + 1013904223u;
    return static_cast<int>((random >> 8) % bound);
  };
  for (int i = 0; i < 700; ++i) {
    const std::string name = "Opponent" + std::to_string(i);
    const MatchRecords session =
        i % 2 == 0 ? findOrAddMatchRecords(records, "Alpha", name)
                   : findOrAddMatchRecords(records, name, "Alpha");
    if (i % 7 == 3) continue;
    played.push_back(name);
    for (int match = next(5); match >= 0; --match) {
      recordMatch(records, session,
                  {next(3), next(3), next(3), next(kCharacterCount),
                   next(kCharacterCount), next(300)});
    }
  }
  const PlayerStats alpha = testing::playerStats(records, "Alpha");
  std::vector<std::vector<std::string>> writes;
  for (PipelineThreads threads :
       {PipelineThreads::kOne, PipelineThreads::kTwo}) {
    WriteRecorder recorder;
    std::ostream out(&recorder);
    writeReport(out, alpha, threads);
    writes.push_back(recorder.writes);
  }
  ASSERT_EQ(writes[0], writes[1]);
  std::string joined;
  for (const std::string& write : writes[1]) joined += write;
  std::vector<std::string> sections;
  std::vector<std::string> grids;
  for (const std::string& line : lines(joined)) {
    if (line.starts_with("********** Matchup vs: ")) {
      sections.push_back(line.substr(23));
    } else if (line.starts_with("* Detailed matchup vs: ")) {
      grids.push_back(line.substr(23));
    }
  }
  EXPECT_EQ(sections, played);
  EXPECT_EQ(grids, played);

  WriteRecorder failing;
  failing.failAfter = 5;
  std::ostream out(&failing);
  out.exceptions(std::ios::badbit);
  EXPECT_THROW(writeReport(out, alpha, PipelineThreads::kTwo),
               std::runtime_error);
  EXPECT_EQ(failing.writes,
            std::vector<std::string>(writes[1].begin(), writes[1].begin() + 5));
}

TEST(ReportWriter, PlayerWithoutMatchesHasZerosAndEmptyBlocks) {
  Session session("Alpha", "Bravo");  // met, but never played
  const std::vector<std::string> text = lines(report(session.first()));
  const std::vector<std::string> summary = {
      std::string(76, '*'),
      "Stats for: Alpha",
      "    Total time played: 0h 0m 0s",
      "        Total matches: 0",
      "   Avg time per match: 0s",
      "       Shortest match: 999999s",
      "        Longest match: 0s",
      "    Total wins/losses:    0/   0   0.000% (rounds:    0/   0   0.000%)",
      "",
      "By character: ",
      "",
      "Matchup length distribution: ",
      "",
      "",  // no opponent section: the tables follow at once
      std::string(76, '*'),
      "Detailed tables"};
  ASSERT_EQ(text.size(), 45u);
  EXPECT_TRUE(std::equal(summary.begin(), summary.end(), text.begin()));
  EXPECT_EQ(text[19], "Total matchups for Alpha:");
  EXPECT_EQ(text.back(), "");
}

TEST(ReportWriter, OpponentsWithoutResultsAreAbsentEverywhere) {
  StatsRecords records;
  for (std::string_view name : {"Bravo", "Charlie", "Delta", "Echo"}) {
    findOrAddMatchRecords(records, "Alpha", name);
  }
  const MatchRecords echo = findOrAddMatchRecords(records, "Echo", "Alpha");
  recordMatch(records, echo, {2, 0, 0, kSion, kSion, 0});
  const MatchRecords charlie =
      findOrAddMatchRecords(records, "Alpha", "Charlie");
  recordMatch(records, charlie, {2, 0, 0, kSion, kSion, 0});
  recordMatch(records, charlie, {0, 0, 0, kSion, kSion, 0});
  const PlayerStats alpha = testing::playerStats(records, "Alpha");
  const std::vector<std::string> text = lines(report(alpha));
  std::vector<std::string> headings;
  for (const std::string& line : text) {
    if (line.find("Matchup vs: ") != std::string::npos ||
        line.find("matchup vs: ") != std::string::npos) {
      headings.push_back(line);
    }
  }
  EXPECT_EQ(
      headings,
      (std::vector<std::string>{
          "********** Matchup vs: Charlie", "********** Matchup vs: Echo",
          "* Detailed matchup vs: Charlie", "* Detailed matchup vs: Echo"}));
  EXPECT_TRUE(contains(text, "Charlie by character:"));
  EXPECT_TRUE(contains(text,
                       "    Total wins/losses:    0/   2   0.000% "
                       "(rounds:    0/   0   0.000%)"));
  for (const std::string& line : text) {
    EXPECT_EQ(line.find("Bravo"), std::string::npos) << line;
    EXPECT_EQ(line.find("Delta"), std::string::npos) << line;
  }
}

// 2^32 matches as Sion against Ciel, each side winning half: every count of
// the pair has wrapped around to zero, yet Bravo was played.
TEST(ReportWriter, OpponentWhoseCountsWrappedToZeroIsStillShown) {
  PlayerRecord alpha;
  alpha.name = "Alpha";
  PlayerRecord bravo;
  bravo.name = "Bravo";
  PairRow row{};
  PairRecord pair;
  pair.players = {&alpha, &bravo};
  pair.rows[kSion] = &row;
  pair.usedCells[kSion] = std::uint32_t{1} << kCiel;
  alpha.pairs.push_back(&pair);
  const PlayerStats player = buildPlayerStats(alpha);
  ASSERT_EQ(player.matchWins, 0);
  ASSERT_EQ(player.matchLosses, 0);
  ASSERT_TRUE(hasMatches(player.opponents[0]));
  const std::vector<std::string> text = lines(report(player));
  const auto section =
      std::find(text.begin(), text.end(), "********** Matchup vs: Bravo");
  ASSERT_GT(std::distance(section, text.end()), 2);
  EXPECT_EQ(section[2], "        Total matches: 0");
  EXPECT_TRUE(contains(text, "* Detailed matchup vs: Bravo"));
}

TEST(ReportWriter, PlayerWhoMetHimselfGetsHisOwnSection) {
  Session session("Alpha", "Alpha");
  session.play(1, 2, 1, kSion, kCiel, 95);
  const std::vector<std::string> text = lines(report(session.first()));
  const std::string sionLine =
      "     Sion wins/losses:    1/   0 100.000% (rounds:    2/   1  66.667%)";
  const std::string cielLine =
      "     Ciel wins/losses:    0/   1   0.000% (rounds:    1/   2  33.333%)";
  const std::vector<std::string> section = {
      "********** Matchup vs: Alpha",
      "    Total time played: 0h 3m 10s",
      "        Total matches: 2",
      "   Avg time per match: 95s",
      "    Total wins/losses:    1/   1  50.000% (rounds:    3/   3  50.000%)",
      "",
      "Alpha by character:",
      sionLine,
      cielLine,
      "",
      "Alpha by character:",
      sionLine,
      cielLine,
      ""};
  EXPECT_NE(
      std::search(text.begin(), text.end(), section.begin(), section.end()),
      text.end());
  EXPECT_TRUE(contains(text, "* Detailed matchup vs: Alpha"));
}

TEST(ReportWriter, WideCountsAndNegativeTotalsAreWrittenWhole) {
  PlayerStats player = summaryExample();
  player.charWins[kSion] = 123456;
  player.charRoundLosses[kSion] = -7;
  player.lengthBuckets[24] = 100000;
  player.lengthBuckets[0] = -3;  // no line for a count below 1
  player.matchupWins[matchupIndex(kSion, kCiel)] = 54321;
  player.totalSeconds = -3725;
  const std::vector<std::string> text = lines(report(player));
  EXPECT_EQ(text[2], "    Total time played: -1h -2m -5s");
  EXPECT_EQ(text[4], "   Avg time per match: -93.125s");
  EXPECT_EQ(text[10],
            "     Sion wins/losses: 123456/  10  99.992% "
            "(rounds:   45/  -7 118.421%)");
  EXPECT_TRUE(contains(text, "         720+ seconds: 100000"));
  EXPECT_FALSE(contains(text, "      0 to 29 seconds: -3"));
  std::string sionRow = "     Sion|         |         |54321/   0";
  for (int column = 3; column < 23; ++column) sionRow += "|         ";
  EXPECT_TRUE(contains(text, sionRow));
}

TEST(ReportWriter, NamesOfAnyLengthAreWrittenByteForByte) {
  const std::string name(3000, 'x');
  const std::string other = std::string(5000, 'y') + " \t\xff";
  Session session(name, other);
  session.play(1, 2, 0, kSion, kCiel, 30);
  const std::vector<std::string> text = lines(report(session.first()));
  EXPECT_EQ(text[1], "Stats for: " + name);
  EXPECT_TRUE(contains(text, "********** Matchup vs: " + other));
  EXPECT_TRUE(contains(text, name + " by character:"));
  EXPECT_TRUE(contains(text, other + " by character:"));
  EXPECT_TRUE(contains(text, "Total matchups for " + name + ":"));
  EXPECT_TRUE(contains(text, "* Detailed matchup vs: " + other));
}

TEST(ReportWriter, TwoReportsOnOneStreamFollowEachOtherDirectly) {
  Session session("Alpha", "Bravo");
  playOpponentExample(session);
  const std::string once = report(session.first());
  std::ostringstream out;
  writeReport(out, session.first());
  writeReport(out, session.first());
  EXPECT_EQ(out.str(), once + once);
  EXPECT_TRUE(once.ends_with("\r\n\r\n"));
  EXPECT_TRUE(once.starts_with(std::string(76, '*') + "\r\n"));
}

// The lines of `text` after the line `heading`, up to the next empty one.
std::vector<std::string> blockAfter(const std::vector<std::string>& text,
                                    const std::string& heading) {
  auto line = std::find(text.begin(), text.end(), heading);
  EXPECT_NE(line, text.end()) << "no " << heading;
  if (line == text.end()) return {};
  const auto first = line + 1;
  return {first, std::find(first, text.end(), "")};
}

TEST(ReportWriter, CharacterLinesFollowTheRoster) {
  PlayerStats alpha;
  alpha.name = "Alpha";
  alpha.charWins[kNecoArc] = 1;
  alpha.charLosses[kSion] = 1;
  alpha.charRoundWins[kCiel] = 3;  // rounds alone do not list a character
  EXPECT_EQ(blockAfter(lines(report(alpha)), "By character: "),
            (std::vector<std::string>{
                "     Sion wins/losses:    0/   1   0.000% (rounds:    0/   0 "
                "  0.000%)",
                " Neco-Arc wins/losses:    1/   0 100.000% (rounds:    0/   0 "
                "  0.000%)"}));
}

TEST(ReportWriter, GridIsTwentyFourLinesOfFixedWidth) {
  PlayerStats alpha;
  alpha.name = "Alpha";
  alpha.matchupLosses[matchupIndex(kNecoArc, kNecoArc)] = 3;
  const std::vector<std::string> text =
      blockAfter(lines(report(alpha)), "Total matchups for Alpha:");
  ASSERT_EQ(text.size(), 24u);
  for (const std::string& line : text) EXPECT_EQ(line.size(), 239u) << line;
  EXPECT_TRUE(text[0].ends_with("|N.A.Chaos| Neco-Arc"));
  EXPECT_TRUE(text[23].ends_with("|         |   0/   3"));
  EXPECT_TRUE(text[23].starts_with(" Neco-Arc|         "));
}

}  // namespace
}  // namespace sessionstats
