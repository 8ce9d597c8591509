#include "log/session_log_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "split_lines.h"
#include "test_session.h"

namespace sessionstats {
namespace {

constexpr int kSion = 0;
constexpr int kCiel = 2;
constexpr int kHisuiAndKohaku = 4;

constexpr std::string_view kStart = "Session start. Players: Alpha vs Bravo";
// Player 1 (Sion) beats player 2 (Ciel) 2-1 in 95 seconds.
constexpr std::string_view kResult =
    "Player 1 wins match 2-1 : Sion vs Ciel (95)";

// A reader with its player list; lines are fed with <<.
struct Log {
  StatsRecords records;
  SessionLogReader reader{records};

  std::vector<std::string> lines;  // fed so far

  Log& operator<<(std::string_view line) {
    lines.emplace_back(line);
    reader.read(parseLine(line));
    return *this;
  }

  // Whether a session is open: a result line read now would count.
  bool active() const {
    Log probe;
    for (const std::string& line : lines) probe << line;
    const auto counted = [&probe] {
      std::int64_t matches = 0;
      for (const PlayerRecord& player : probe.records.players()) {
        const PlayerStats stats = buildPlayerStats(player);
        matches += std::int64_t{stats.matchWins} + stats.matchLosses;
      }
      return matches;
    };
    const std::int64_t before = counted();
    probe << kResult;
    return counted() != before;
  }

  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const PlayerRecord& player : records.players()) {
      out.push_back(player.name);
    }
    return out;
  }

  std::vector<std::string> opponentNames(std::string_view player) const {
    std::vector<std::string> out;
    for (const OpponentStats& entry :
         testing::opponentStats(testing::playerStats(records, player))) {
      out.push_back(std::string(entry.name));
    }
    return out;
  }

  // Matches counted for `player`: every match is a win or a loss.
  int matches(std::string_view player) const {
    const PlayerRecord* found = records.findPlayer(player);
    if (found == nullptr) return -1;
    const PlayerStats stats = buildPlayerStats(*found);
    return stats.matchWins + stats.matchLosses;
  }

  PlayerStats player(std::string_view name) const {
    return testing::playerStats(records, name);
  }
};

using Names = std::vector<std::string>;

TEST(SessionLogReader, LeadingTokensThatBeginWithADigitAreSkipped) {
  Log log;
  log << "2026-11-02 20:05:16 Session start. Players: A vs B"
      << "1 2x 3:4 Session start. Players: C vs D"
      << "20:05:16 "
      << "2026"
      << "";
  EXPECT_EQ(log.names(), (Names{"A", "B", "C", "D"}));

  // Only one blank follows a token, only a blank ends one, and a token that
  // does not begin with a digit ends the skipping.
  log << "20:05:16  Session start. Players: E vs F"
      << "20:05:16\tSession start. Players: G vs H"
      << "[20:05:16] Session start. Players: I vs J"
      << "x1 Session start. Players: K vs L"
      // Shaped like the usual date and time, but a blank ends a token early
      // and the next token does not begin with a digit.
      << "2 x5678901 23:13:49 Session start. Players: M vs N"
      << "2019-03-02 2 x:45:6 Session start. Players: O vs P"
      << "2019-03-0  23:13:49 Session start. Players: Q vs R";
  EXPECT_EQ(log.names().size(), 4u);
  EXPECT_TRUE(log.active());  // the C vs D session goes on

  log << "20:05:17 " + std::string(kResult);
  EXPECT_EQ(log.matches("C"), 1);
}

TEST(SessionLogReader, StartLineCreatesRecordsInOrder) {
  Log log;
  log << "Session start.Players: Alpha vs Bravo";  // no blank needed
  log << "Session start. 2 frames Players: Charlie vs Alpha";
  EXPECT_EQ(log.names(), (Names{"Alpha", "Bravo", "Charlie"}));
  EXPECT_EQ(log.opponentNames("Alpha"), (Names{"Bravo", "Charlie"}));
  EXPECT_EQ(log.opponentNames("Charlie"), (Names{"Alpha"}));

  // The session is Charlie's (player 1) against Alpha, in the pair they
  // share.
  log << kResult;
  EXPECT_EQ(log.player("Charlie").matchWins, 1);
  EXPECT_EQ(log.player("Alpha").matchLosses, 1);
  EXPECT_EQ(log.opponentNames("Alpha"), (Names{"Bravo", "Charlie"}));

  // The second name runs to the end of the line; names may be empty.
  log << "Session start. Players: Delta vs Echo vs Fox "
      << "Session start. Players:  vs ";
  EXPECT_EQ(log.names(),
            (Names{"Alpha", "Bravo", "Charlie", "Delta", "Echo vs Fox ", ""}));
}

TEST(SessionLogReader, IncompleteStartLineEndsTheSession) {
  for (std::string_view line :
       {"Session start.", "Session start. Players:Alpha vs Bravo",
        "Session start. Players: Alpha vs", "Session start. Players: Alpha"}) {
    Log log;
    log << kStart << line << kResult;
    EXPECT_FALSE(log.active()) << line;
    EXPECT_EQ(log.names(), (Names{"Alpha", "Bravo"})) << line;
    EXPECT_EQ(log.matches("Alpha"), 0) << line;
  }
  // Without the full stop it is no start line at all.
  Log log;
  log << kStart << "Session start Players: Charlie vs Delta" << kResult;
  EXPECT_EQ(log.matches("Alpha"), 1);
}

TEST(SessionLogReader, ExcludedSecondPlayerEndsSessionAndCreatesNothing) {
  for (std::string_view excluded :
       {"zv318Rambler", "Practice Dummy", "Debug mode"}) {
    Log log;
    log << kStart
        << "Session start. Players: Charlie vs " + std::string(excluded)
        << kResult;
    EXPECT_FALSE(log.active());
    EXPECT_EQ(log.names(), (Names{"Alpha", "Bravo"}));
    EXPECT_EQ(log.matches("Alpha"), 0);
  }
  // Exact names only, as second player only, and before any alias.
  Log log;
  log << "alias \"Dummy\" \"Practice Dummy\""
      << "alias \"Practice Dummy\" \"Alpha\""
      << "Session start. Players: A vs Practice Dummy "
      << "Session start. Players: B vs practice dummy"
      << "Session start. Players: Practice Dummy vs C"
      << "Session start. Players: D vs Dummy"
      << "Session start. Players: E vs Practice Dummy";
  EXPECT_EQ(log.names(), (Names{"A", "Practice Dummy ", "B", "practice dummy",
                                "Alpha", "C", "D", "Practice Dummy"}));
  EXPECT_FALSE(log.active());
}

TEST(SessionLogReader, StartLineReplacesTheActiveSession) {
  Log log;
  log << kStart << kResult << "Session start. Players: Charlie vs Delta"
      << kResult << kResult;
  EXPECT_EQ(log.matches("Alpha"), 1);
  EXPECT_EQ(log.matches("Charlie"), 2);
  EXPECT_EQ(log.opponentNames("Alpha"), (Names{"Bravo"}));
}

TEST(SessionLogReader, PlayerWhoMeetsHimselfHasOneRecordAndOneEntry) {
  Log log;
  log << "alias \"Al\" \"Alpha\""
      << "Session start. Players: Alpha vs Al" << kResult;
  EXPECT_EQ(log.names(), (Names{"Alpha"}));
  EXPECT_EQ(log.opponentNames("Alpha"), (Names{"Alpha"}));
  const PlayerStats alpha = log.player("Alpha");
  EXPECT_EQ(alpha.matchWins, 1);
  EXPECT_EQ(alpha.matchLosses, 1);
  EXPECT_EQ(alpha.totalSeconds, 190);
}

TEST(SessionLogReader, ResultLinesCountOnlyWhileASessionIsActive) {
  Log log;
  log << kResult << kStart << kResult << "Session results" << kResult
      << "Session start. Players: Bravo vs Alpha"
      << "Player 2 wins match 0-2 : Ciel vs Hisui and Kohaku (30 seconds)";
  const PlayerStats alpha = log.player("Alpha");
  EXPECT_EQ(alpha.matchWins, 2);
  EXPECT_EQ(alpha.matchLosses, 0);
  EXPECT_EQ(alpha.roundWins, 4);
  EXPECT_EQ(alpha.roundLosses, 1);
  EXPECT_EQ(alpha.charWins[kSion], 1);
  EXPECT_EQ(alpha.charWins[kHisuiAndKohaku], 1);
  EXPECT_EQ(alpha.totalSeconds, 125);
  EXPECT_EQ(alpha.shortestSeconds, 30);
  EXPECT_EQ(alpha.longestSeconds, 95);
  const PlayerStats bravo = log.player("Bravo");
  EXPECT_EQ(bravo.charLosses[kCiel], 2);
  EXPECT_EQ(
      testing::opponentStats(log.records, "Bravo", "Alpha").oppCharWins[kSion],
      1);
}

TEST(SessionLogReader, ResultNumbersArePassedOnAsRead) {
  Log log;
  log << kStart << "Player 0 wins match 2-1 : Sion vs Ciel (95)"
      << "Player 3 wins match -1--2 : Sion vs Ciel (-40)"
      << "Player\t+2\vwins\fmatch\r 1- 2 : Sion vs Ciel ( \t7 seconds)"
      << "Player 1 wins match 5000000000-99999999999999999999999 : Sion vs "
         "Ciel (2147483648)"
      << "Player 2 wins match 0-0 : Sion vs Ciel (no time)";
  const PlayerStats alpha = log.player("Alpha");
  const PlayerStats bravo = log.player("Bravo");
  EXPECT_EQ(alpha.matchWins, 1);
  EXPECT_EQ(alpha.matchLosses, 4);
  EXPECT_EQ(bravo.matchWins, 2);
  EXPECT_EQ(bravo.matchLosses, 3);
  // 2 - 1 + 1 + 705032704 + 0 and 1 - 2 + 2 - 1 + 0.
  EXPECT_EQ(alpha.roundWins, 705032706);
  EXPECT_EQ(alpha.roundLosses, 0);
  // 95 - 40 + 7 - 2147483648 + 0.
  EXPECT_EQ(alpha.totalSeconds, -2147483586);
  EXPECT_EQ(alpha.shortestSeconds, -2147483648);
  EXPECT_EQ(alpha.lengthBuckets[0], 4);  // -40, 7, 0 and the clamped -2^31
}

TEST(SessionLogReader, ResultLineWithoutItsPartsIsIgnoredAndSessionGoesOn) {
  Log log;
  log << kStart;
  for (std::string_view line : {
           "Player 1 wins match 2-1",  // cut short after the score
           "Player 1 wins match 2-1 :Sion vs Ciel (95)",
           "Player 1 wins match 2-1 : Sion vs Ciel(95)",
           "Player 1 wins match 2-1 : Sion  vs Ciel (95)",
           "Player 1 wins match 2-1 : vs Ciel (95)",  // name ends before start
           "Player 1 wins match 2-1 : Sion vs (95)",
           "Player 1 wins match 2-1 : vs (95)",
           "Player 1 wins match 2-1 :  vs Ciel (95)",  // empty name
           "Player 1 wins match 2-1 : H&K vs Ciel (95)",
           "Player 1 wins match 2-1 : sion vs Ciel (95)",
           "Player 1 wins match 2-1 : Sion vs Ciel : Sion (95)",
           "Player 1 wins match 2-1 : Sion vs  (95)",
           "Player 1 wins match 2 -1 : Sion vs Ciel (95)",
       }) {
    log << line;
    EXPECT_TRUE(log.active()) << line;
    EXPECT_EQ(log.matches("Alpha"), 0) << line;
  }
  // Each search starts at the separator found before it, so earlier
  // separators in the line do not matter.
  log << "Player 1 wins match 2-1 vs (1) : Sion vs Ciel vs Aoko (95) (3)";
  EXPECT_EQ(log.matches("Alpha"), 0);  // second name "Ciel vs Aoko"
  log << "Player 1 wins match 2-1 vs (1) : Sion vs Ciel (95) (3)";
  EXPECT_EQ(log.player("Alpha").charWins[kSion], 1);
  EXPECT_EQ(log.player("Alpha").totalSeconds, 95);
}

TEST(SessionLogReader, SeparatorsAreFoundPastLookalikeBytes) {
  Log log;
  log << kStart
      // ':' , 'v' and '(' that are no separators stand before the real ones.
      << "Player 1 wins match 2-1:(v:: : Nrvnqsr vs Ciel (95)"
      << "Player 1 wins match 2-1 : V.Sion vs Ciel  (30)"  // name "Ciel "
      << "Player 1 wins match 2-1 : V.Sion vs Ciel ("      // ends in " ("
      << "Player 1 wins match 2-1 : V.Sion vs Ciel (" + std::string(1, '\0')
      << "Player 1 wins match 2-1 : V.Sion v"  // cut in " vs "
      << "Player 1 wins match 2-1 : V.Sion vs Ciel (-";
  const PlayerStats alpha = log.player("Alpha");
  EXPECT_EQ(alpha.charWins[10], 1);  // Nrvnqsr
  EXPECT_EQ(alpha.charWins[11], 3);  // V.Sion
  EXPECT_EQ(alpha.totalSeconds, 95);
  EXPECT_TRUE(log.active());
}

TEST(SessionLogReader, SessionResultsLineEndsTheSession) {
  for (std::string_view line :
       {"Session results", "20:22:21 Session results: Alpha vs Bravo"}) {
    Log log;
    log << kStart << line << kResult;
    EXPECT_FALSE(log.active()) << line;
    EXPECT_EQ(log.matches("Alpha"), 0) << line;
  }
  for (std::string_view line :
       {"Session result", "session results", " Session results"}) {
    Log log;
    log << kStart << line << kResult;
    EXPECT_TRUE(log.active()) << line;
    EXPECT_EQ(log.matches("Alpha"), 1) << line;
  }
}

TEST(SessionLogReader, AliasLinesMapStartLineNamesAndLastReadWins) {
  Log log;
  log << "alias \"A\" \"B\""
      << "alias \"B\" \"D\""  // no chaining
      << "alias \"X\" \"Old\""
      << "xalias \"X\" \"Y\""
      << "12:00 alias X:\"X\"=>\"New\" (renamed)"  // last read wins
      << "alias \"Z\" \"Zed"
      << "alias\"Z\" \"Zed\""
      << "Alias \"Z\" \"Zed\""
      << "alias \"\" \"Nobody\"";
  EXPECT_EQ(log.reader.resolveAlias("A"), "B");
  EXPECT_EQ(log.reader.resolveAlias("B"), "D");
  EXPECT_EQ(log.reader.resolveAlias("X"), "New");
  EXPECT_EQ(log.reader.resolveAlias("Z"), "Z");
  EXPECT_EQ(log.reader.resolveAlias("a"), "a");

  log << "Session start. Players: A vs X"
      << "Session start. Players:  vs Z";
  EXPECT_EQ(log.names(), (Names{"B", "New", "Nobody", "Z"}));

  // The view stays valid however many aliases follow.
  const std::string_view target = log.reader.resolveAlias("A");
  for (int i = 0; i < 1000; ++i)
    log << "alias \"" + std::to_string(i) + "\" \"\"";
  EXPECT_EQ(target, "B");
}

TEST(SessionLogReader, RepeatedAndAlternatingAliasLinesKeepTheNewestTarget) {
  Log log;
  for (int start = 0; start < 3; ++start) {
    log << "alias \"A\" \"B\""
        << "alias \"A\" \"C\""
        << "alias \"A\" \"B\"";
  }
  EXPECT_EQ(log.reader.resolveAlias("A"), "B");
  log << "alias \"A\" \"C\"";
  EXPECT_EQ(log.reader.resolveAlias("A"), "C");
  // The newest line wins for every lookup, and its target is not resolved
  // again, even when the target is itself an alias.
  log << "alias \"C\" \"D\""
      << "Session start. Players: A vs C";
  EXPECT_EQ(log.names(), (Names{"C", "D"}));
}

TEST(SessionLogReader, AliasActsOnlyOnLaterStartLines) {
  Log log;
  log << "Session start. Players: Kes vs Moth" << kResult
      << "alias \"Kes\" \"Kestrel\"" << kResult;  // session goes on
  EXPECT_TRUE(log.active());
  EXPECT_EQ(log.matches("Kes"), 2);
  log << "Session start. Players: Moth vs Kes" << kResult;
  EXPECT_EQ(log.names(), (Names{"Kes", "Moth", "Kestrel"}));
  EXPECT_EQ(log.matches("Kes"), 2);
  EXPECT_EQ(log.matches("Kestrel"), 1);
  EXPECT_EQ(log.opponentNames("Moth"), (Names{"Kes", "Kestrel"}));
}

TEST(SessionLogReader, ExampleLogCountsEveryAcceptedSession) {
  std::ifstream file(SESSION_STATS_SOURCE_DIR "/examples/sessionlog.txt",
                     std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(file), {}};
  ASSERT_FALSE(text.empty());
  Log log;
  splitLines(text, [&log](std::string_view line) { log << line; });

  // "Kes" is counted under Kestrel; the session against Practice Dummy and
  // the result after the last results line are not counted.
  EXPECT_EQ(log.names(), (Names{"Kestrel", "Moth", "Wren", "Heron"}));
  EXPECT_EQ(log.opponentNames("Kestrel"), (Names{"Moth", "Wren", "Heron"}));
  const PlayerStats kestrel = log.player("Kestrel");
  EXPECT_EQ(kestrel.matchWins, 16);
  EXPECT_EQ(kestrel.matchLosses, 14);
  EXPECT_EQ(log.matches("Moth"), 16);
  EXPECT_FALSE(log.active());
}

// Every prefix of these lines, each copied into a heap block of exactly its
// own size so that the address sanitizer sees any read past its end.
TEST(SessionLogReader, AnyBytesAreReadSafelyWithinTheLine) {
  using namespace std::string_literals;
  const std::string lines[] = {
      "20:05:16 Session start. Players: Alpha vs Bravo",
      "12 Player 1 wins match 2-1 : Sion vs Ciel (95 seconds)",
      "Player 1 wins match 2-1 : vs (95)",
      "Player -99999999999999999999 wins match +0-0 : Len vs Len (-",
      "alias \"Alpha\" \"Bravo\"",
      "Session results",
      "Player 1 wins match 2-1 : Sion vs Ciel (9\0 5)"s,
      std::string(500, '7') +
          " Session start. Players: " + std::string(300, 'x') + " vs \xff",
  };
  Log log;
  for (int round = 0; round < 2; ++round) {
    for (const std::string& line : lines) {
      for (std::size_t size = 0; size <= line.size(); ++size) {
        const std::unique_ptr<char[]> copy(new char[size]);
        line.copy(copy.get(), size);
        log << std::string_view(copy.get(), size);
      }
    }
  }
  log << std::string_view() << "Session start. Players: Charlie vs Delta"
      << kResult;
  EXPECT_EQ(log.matches("Charlie"), 1);
}

}  // namespace
}  // namespace sessionstats
