#include "stats/match_filter.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "log/session_log_reader.h"
#include "report/report_writer.h"
#include "split_lines.h"
#include "stats/session_history.h"
#include "test_session.h"
#include "tools/log_generator.h"

namespace sessionstats {
namespace {

using testing::opponentStats;
using testing::playerStats;
using testing::selectMatches;

// A log read with every match kept.
struct LoadedLog {
  StatsRecords records;
  MatchLog matches;
};

void load(std::string_view text, LoadedLog& log) {
  SessionLogReader reader(log.records);
  reader.logMatches(log.matches, std::nullopt);
  splitLines(
      text, [&reader](std::string_view line) { reader.read(parseLine(line)); });
}

const LoadedLog& generatedLog() {
  static const LoadedLog* const log = [] {
    auto* loaded = new LoadedLog;
    load(generateLog({.lines = 60'000, .opponents = 12, .seed = 7}), *loaded);
    return loaded;
  }();
  return *log;
}

// The classic record of `name` over the matches that pass `filter`.
PlayerStats filtered(const LoadedLog& log, std::string_view name,
                     const MatchFilter& filter, StatsRecords& replayed) {
  const PlayerRecord& player = *log.records.findPlayer(name);
  replayMatches(player, selectMatches(log.matches, player, filter), replayed);
  return buildPlayerStats(*replayed.findPlayer(name));
}

std::string reportOf(const PlayerStats& stats) {
  std::ostringstream out;
  writeReport(out, stats);
  return out.str();
}

// The totals that add up when matches are split in two.
struct Totals {
  std::int64_t wins = 0;
  std::int64_t losses = 0;
  std::int64_t roundWins = 0;
  std::int64_t roundLosses = 0;
  std::int64_t seconds = 0;
  friend bool operator==(const Totals&, const Totals&) = default;
};
Totals totalsOf(const Tally& tally) {
  return {tally.matchWins, tally.matchLosses, tally.roundWins,
          tally.roundLosses, tally.totalSeconds};
}
Totals operator+(const Totals& a, const Totals& b) {
  return {a.wins + b.wins, a.losses + b.losses, a.roundWins + b.roundWins,
          a.roundLosses + b.roundLosses, a.seconds + b.seconds};
}

TEST(MatchFilter, FilterThatPassesEverythingGivesTheClassicReportByteForByte) {
  const LoadedLog& log = generatedLog();
  MatchFilter everything;
  everything.since = parseDate("0001-01-01");
  everything.lastSessions = 1'000'000;
  for (const std::string_view name : {"Kestrel", "Moth"}) {
    StatsRecords replayed;
    EXPECT_EQ(reportOf(filtered(log, name, everything, replayed)),
              reportOf(playerStats(log.records, name)))
        << name;
  }
}

TEST(MatchFilter, OpponentFilterGivesExactlyThatOpponentsSection) {
  const LoadedLog& log = generatedLog();
  const PlayerStats full = playerStats(log.records, "Kestrel");
  for (const OpponentStats& entry : opponentStats(full)) {
    MatchFilter filter;
    filter.opponent = std::string(entry.name);
    StatsRecords replayed;
    const PlayerStats only = filtered(log, "Kestrel", filter, replayed);
    EXPECT_EQ(static_cast<const Tally&>(only), static_cast<const Tally&>(entry))
        << entry.name;
  }
}

TEST(MatchFilter, CharacterFiltersGiveThatCharactersLineAndColumn) {
  const LoadedLog& log = generatedLog();
  const PlayerStats full = playerStats(log.records, "Kestrel");
  for (int c = 0; c < kCharacterCount; ++c) {
    MatchFilter own;
    own.character = c;
    StatsRecords replayed;
    const PlayerStats as = filtered(log, "Kestrel", own, replayed);
    EXPECT_EQ(as.matchWins, full.charWins[c]) << c;
    EXPECT_EQ(as.matchLosses, full.charLosses[c]) << c;
    EXPECT_EQ(as.roundWins, full.charRoundWins[c]) << c;
    EXPECT_EQ(as.roundLosses, full.charRoundLosses[c]) << c;

    MatchFilter against;
    against.against = c;
    StatsRecords replayedAgainst;
    const PlayerStats versus =
        filtered(log, "Kestrel", against, replayedAgainst);
    std::int32_t wins = 0;
    for (int o = 0; o < kCharacterCount; ++o) {
      wins += full.matchupWins[matchupIndex(o, c)];
    }
    EXPECT_EQ(versus.matchWins, wins) << c;
  }
}

// The packed date of the day after the real date `date`: the next day of
// its month, else the first of the next month, else of the next year.
std::uint32_t dayAfter(std::uint32_t date) {
  for (const std::uint32_t next :
       {date + 1, date / 100 * 100 + 101, date / 10000 * 10000 + 10101}) {
    if (parseDate(formatDate(next)) == next) return next;
  }
  return kNoDate;
}

TEST(MatchFilter, UntilADayAndSinceTheNextAddUpToTheWhole) {
  const LoadedLog& log = generatedLog();
  const Totals whole = totalsOf(playerStats(log.records, "Kestrel"));
  const std::uint32_t middle = log.matches[log.matches.size() / 2]
                                   .date;  // every generated line is dated
  ASSERT_NE(middle, kNoDate);
  MatchFilter until;
  until.until = middle;
  MatchFilter since;
  since.since = dayAfter(middle);
  StatsRecords first;
  StatsRecords second;
  const Totals before = totalsOf(filtered(log, "Kestrel", until, first));
  const Totals after = totalsOf(filtered(log, "Kestrel", since, second));
  EXPECT_NE(before, Totals{});
  EXPECT_NE(after, Totals{});
  EXPECT_EQ(before + after, whole);
}

TEST(MatchFilter, LastSessionsCountBackOverThePlayersSessions) {
  const LoadedLog& log = generatedLog();
  const PlayerRecord& moth = *log.records.findPlayer("Moth");
  const auto all = selectMatches(log.matches, moth, {});
  const SessionHistory history = buildSessionHistory(moth, all, {}, {});
  ASSERT_GT(history.sessions.size(), 2U);

  MatchFilter enough;
  enough.lastSessions = static_cast<std::uint32_t>(history.sessions.size());
  EXPECT_EQ(selectMatches(log.matches, moth, enough).size(), all.size());

  MatchFilter lastTwo;
  lastTwo.lastSessions = 2;
  const auto tail = selectMatches(log.matches, moth, lastTwo);
  ASSERT_FALSE(tail.empty());
  EXPECT_EQ(tail.front().session,
            history.sessions[history.sessions.size() - 2].ordinal);
  EXPECT_EQ(tail.back().session, all.back().session);
  EXPECT_EQ(tail.back().seconds, all.back().seconds);
}

TEST(MatchFilter, DescriptionNamesEachFilterInForceInOptionOrder) {
  EXPECT_TRUE(describeFilter({}).empty());
  MatchFilter one;
  one.lastSessions = 1;
  EXPECT_EQ(describeFilter(one), std::vector<std::string>{"last 1 session"});
  MatchFilter every;
  every.opponent = "Moth";
  every.character = 21;
  every.against = 4;
  every.lastSessions = 3;
  EXPECT_EQ(describeFilter(every),
            (std::vector<std::string>{
                "opponent Moth", "character Neco-Arc Chaos",
                "against Hisui and Kohaku", "last 3 sessions"}));
}

TEST(MatchFilter, DatesComeFromTheResultLineOrTheLatestDatedLine) {
  LoadedLog log;
  load(
      "Session start. Players: Ann vs Bob\n"
      "Player 1 wins match 2-0 : Sion vs Ciel (60 seconds)\n"
      "2026-11-02 20:05:12 chatter\n"
      "Player 2 wins match 0-2 : Sion vs Ciel (61 seconds)\n"
      "2026-11-03 Player 1 wins match 2-1 : Sion vs Ciel (62 seconds)\n"
      "Session results\n"
      "2026-11-04 21:00:00 Session start. Players: Bob vs Ann\n"
      "Player 9 wins match 1-1 : Sion vs Ciel (63 seconds)\n"
      "Player 2 wins match 0-2 : Sion vs Ciel (64 seconds)\n"
      "Player 2 wins match 1-2 : Sion vs Ciel (65 seconds)\n",
      log);
  ASSERT_EQ(log.matches.size(), 6U);
  EXPECT_EQ(log.matches[0].date, kNoDate);
  EXPECT_EQ(formatDate(log.matches[1].date), "2026-11-02");
  EXPECT_EQ(log.matches[1].time, parseTime("20:05:12"));
  EXPECT_EQ(formatDate(log.matches[2].date), "2026-11-03");
  EXPECT_EQ(log.matches[2].time, kNoTime);
  EXPECT_EQ(log.matches[3].session, 2U);

  // An undated match drops out with a date bound, and stays without one.
  const PlayerRecord& ann = *log.records.findPlayer("Ann");
  MatchFilter since;
  since.since = parseDate("2026-01-01");
  EXPECT_EQ(selectMatches(log.matches, ann, since).size(), 5U);
  EXPECT_EQ(selectMatches(log.matches, ann, {}).size(), 6U);

  const SessionHistory history =
      buildSessionHistory(ann, selectMatches(log.matches, ann, {}), {}, {});
  ASSERT_EQ(history.sessions.size(), 2U);
  EXPECT_EQ(history.sessions[0].matchWins, 2);
  EXPECT_EQ(history.sessions[0].matchLosses, 1);
  EXPECT_EQ(history.sessions[0].date, kNoDate);
  EXPECT_EQ(history.sessions[1].matchLosses, 1);  // winner 9: a loss for both
  EXPECT_EQ(history.sessions[1].opponent, "Bob");
  EXPECT_EQ(history.sessions[1].matchWins, 2);
  EXPECT_EQ(history.sessions[1].roundWins, 5);
  EXPECT_EQ(history.sessions[1].date, parseDate("2026-11-04"));
  // W L W, then L W W.
  EXPECT_EQ(history.streaks.longestWinning, 2);
  EXPECT_EQ(history.streaks.longestLosing, 1);
  EXPECT_EQ(history.streaks.current, 2);
  EXPECT_TRUE(history.streaks.currentIsWinning);
}

TEST(MatchFilter, MatchAgainstOneselfCountsWholeWhenEitherSidePasses) {
  LoadedLog log;
  load(
      "Session start. Players: Ann vs Ann\n"
      "Player 1 wins match 2-0 : Sion vs Ciel (60 seconds)\n"
      "Player 1 wins match 2-0 : Ciel vs Ciel (60 seconds)\n",
      log);
  MatchFilter sion;
  sion.character = 0;  // Sion
  StatsRecords replayed;
  const PlayerStats stats = filtered(log, "Ann", sion, replayed);
  EXPECT_EQ(stats.matchWins, 1);
  EXPECT_EQ(stats.matchLosses, 1);
  const PlayerRecord& ann = *log.records.findPlayer("Ann");
  const SessionHistory history =
      buildSessionHistory(ann, selectMatches(log.matches, ann, {}), {}, {});
  EXPECT_EQ(history.sessions.at(0).matchWins, 2);
  EXPECT_EQ(history.sessions.at(0).matchLosses, 2);
  EXPECT_EQ(history.sessions.at(0).seconds, 240);
}

}  // namespace
}  // namespace sessionstats
