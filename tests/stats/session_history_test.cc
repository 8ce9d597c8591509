#include "stats/session_history.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/session_log_reader.h"
#include "split_lines.h"
#include "stats/character_roster.h"
#include "test_session.h"

namespace sessionstats {
namespace {

// Kestrel's history over `log`, filtered by `filter`, read as the driver
// reads it: his matches only, then keepMatches.
std::optional<SessionHistory> historyOf(std::string_view log,
                                        const MatchFilter& filter = {}) {
  StatsRecords records;
  MatchLog matches;
  SessionLogReader reader(records);
  reader.logMatches(matches, std::string("Kestrel"));
  splitLines(
      log, [&reader](std::string_view line) { reader.read(parseLine(line)); });
  const PlayerRecord* kestrel = records.findPlayer("Kestrel");
  if (kestrel == nullptr) return std::nullopt;
  const OpenSession open = reader.openSession();
  return buildSessionHistory(*kestrel,
                             testing::selectMatches(matches, *kestrel, filter),
                             open, filter);
}

// Kestrel's session in progress at the end of `log` (with `last`, his last
// session instead).
std::optional<CurrentSession> currentOf(std::string_view log,
                                        const MatchFilter& filter = {},
                                        bool last = false) {
  std::optional<SessionHistory> history = historyOf(log, filter);
  if (!history) return std::nullopt;
  return last ? history->last : history->current;
}

// Two earlier sessions (Kestrel 2-1 against Moth, then 0-2 against Wren),
// then a session against Moth in progress, where Kestrel is player 2.
constexpr std::string_view kEarlier =
    "2026-11-01 20:00:00 Session start. Players: Kestrel vs Moth\n"
    "Player 1 wins match 2-0 : Sion vs Ciel (50 seconds)\n"
    "Player 2 wins match 1-2 : Sion vs Len (60 seconds)\n"
    "Player 1 wins match 2-1 : Sion vs Len (70 seconds)\n"
    "Session results: Kestrel vs Moth, 3 matches\n"
    "2026-11-02 20:00:00 Session start. Players: Wren vs Kestrel\n"
    "Player 1 wins match 2-0 : Akiha vs Sion (50 seconds)\n"
    "Player 1 wins match 2-1 : Akiha vs Sion (50 seconds)\n"
    "Session results: Wren vs Kestrel, 2 matches\n"
    "2026-11-03 20:00:00 Session start. Players: Moth vs Kestrel\n";

std::uint32_t bitsOf(std::initializer_list<std::string_view> characters) {
  std::uint32_t bits = 0;
  for (const std::string_view name : characters) {
    bits |= std::uint32_t{1} << findCharacter(name);
  }
  return bits;
}

// Each session starts at its first match and holds the characters of both
// sides, seen from Kestrel's, player 1 or 2.
TEST(SessionHistory, ASessionHasTheTimeAndCharactersOfItsMatches) {
  const std::optional<SessionHistory> history =
      historyOf(std::string(kEarlier) +
                "2026-11-03 21:30:05 Player 1 wins match 2-0 : Len vs Sion (80 "
                "seconds)\n");
  ASSERT_TRUE(history);
  ASSERT_EQ(history->sessions.size(), 3U);
  const SessionSummary& first = history->sessions[0];
  EXPECT_EQ(first.time, parseTime("20:00:00"));
  EXPECT_EQ(first.ownCharacters, bitsOf({"Sion"}));
  EXPECT_EQ(first.opposingCharacters, bitsOf({"Ciel", "Len"}));
  EXPECT_EQ(history->sessions[1].ownCharacters, bitsOf({"Sion"}));
  EXPECT_EQ(history->sessions[1].opposingCharacters, bitsOf({"Akiha"}));
  EXPECT_EQ(history->sessions[2].time, parseTime("21:30:05"));
  EXPECT_EQ(history->sessions[2].date, parseDate("2026-11-03"));
}

TEST(CurrentSession, CountsTheOpenSessionAndTheRecordAgainstItsOpponent) {
  const std::string log =
      std::string(kEarlier) +
      "Player 2 wins match 1-2 : Len vs Hisui and Kohaku (80 seconds)\n"
      "Player 2 wins match 0-2 : Len vs Sion (80 seconds)\n"
      "Player 1 wins match 2-1 : Len vs Hisui and Kohaku (80 seconds)\n"
      "Player 2 wins match 0-2 : Len vs Sion (80 seconds)\n";
  const std::optional<CurrentSession> current = currentOf(log);
  ASSERT_TRUE(current);
  EXPECT_EQ(current->opponent, "Moth");
  EXPECT_EQ(current->matchWins, 3);
  EXPECT_EQ(current->matchLosses, 1);
  EXPECT_EQ(current->roundWins, 7);
  EXPECT_EQ(current->roundLosses, 3);
  EXPECT_EQ(current->characters,
            (std::vector<int>{findCharacter("Hisui and Kohaku"),
                              findCharacter("Sion")}));
  EXPECT_EQ(current->recordWins, 5);  // 2 earlier, 3 now; Wren's not
  EXPECT_EQ(current->recordLosses, 2);
  EXPECT_EQ(current->streak, 1);
  EXPECT_TRUE(current->streakIsWinning);
  EXPECT_EQ(current->lastResults,
            (std::vector<bool>{true, false, true, false, false, true, true,
                               false, true}));
}

TEST(CurrentSession, TheStreakAndTheLastTenRunOverSessions) {
  std::string log = std::string(kEarlier);
  for (int i = 0; i < 12; ++i) {
    log += "Player 1 wins match 2-0 : Len vs Sion (80 seconds)\n";
  }
  const std::optional<CurrentSession> current = currentOf(log);
  ASSERT_TRUE(current);
  EXPECT_EQ(current->matchLosses, 12);
  EXPECT_EQ(current->streak, 14);  // the two lost to Wren before
  EXPECT_FALSE(current->streakIsWinning);
  EXPECT_EQ(current->lastResults, std::vector<bool>(kLastResultCount, false));
}

TEST(CurrentSession, OnlyAnOpenSessionOfThePlayerThatPassesTheOpponent) {
  // Just started: no match yet, the record so far.
  std::optional<CurrentSession> current = currentOf(kEarlier);
  ASSERT_TRUE(current);
  EXPECT_EQ(current->matchWins + current->matchLosses, 0);
  EXPECT_EQ(current->recordWins, 2);
  EXPECT_TRUE(current->characters.empty());
  EXPECT_FALSE(currentOf(std::string(kEarlier) +
                         "Session results: Moth vs Kestrel, 0 matches\n"));
  EXPECT_FALSE(currentOf(std::string(kEarlier) +
                         "Session start. Players: Moth vs Wren\n"));
  EXPECT_FALSE(
      currentOf(std::string(kEarlier) +
                "Session start. Players: Kestrel vs Practice Dummy\n"));
  MatchFilter wren;
  wren.opponent = "Wren";
  EXPECT_FALSE(currentOf(kEarlier, wren));
  MatchFilter moth;
  moth.opponent = "Moth";
  EXPECT_TRUE(currentOf(kEarlier, moth));
}

TEST(CurrentSession, FiltersDecideWhichMatchesCount) {
  const std::string log =
      std::string(kEarlier) +
      "Player 2 wins match 1-2 : Len vs Hisui and Kohaku (80 seconds)\n"
      "Player 1 wins match 2-0 : Len vs Sion (80 seconds)\n";
  MatchFilter sion;
  sion.character = findCharacter("Sion");
  const std::optional<CurrentSession> current = currentOf(log, sion);
  ASSERT_TRUE(current);
  EXPECT_EQ(current->matchWins, 0);
  EXPECT_EQ(current->matchLosses, 1);
  EXPECT_EQ(current->characters, std::vector<int>{findCharacter("Sion")});
  EXPECT_EQ(current->lastResults.size(), 6U);  // 5 earlier as Sion, 1 now
}

TEST(CurrentSession, AgainstHimselfEachMatchCountsOncePerSide) {
  const std::optional<CurrentSession> current = currentOf(
      "Session start. Players: Kestrel vs Kestrel\n"
      "Player 1 wins match 2-1 : Sion vs Ciel (80 seconds)\n");
  ASSERT_TRUE(current);
  EXPECT_EQ(current->opponent, "Kestrel");
  EXPECT_EQ(current->matchWins, 1);
  EXPECT_EQ(current->matchLosses, 1);
  EXPECT_EQ(current->roundWins, 3);
  EXPECT_EQ(current->lastResults, (std::vector<bool>{true, false}));
  EXPECT_EQ(current->characters,
            (std::vector<int>{findCharacter("Sion"), findCharacter("Ciel")}));
}

TEST(CurrentSession, BetweenSessionsTheLastOneAsItEnded) {
  const std::string ended =
      std::string(kEarlier) + "Session results: Moth vs Kestrel, 0 matches\n";
  // The empty session against Moth holds no match: Wren's is the last.
  const std::optional<CurrentSession> last = currentOf(ended, {}, true);
  ASSERT_TRUE(last);
  EXPECT_EQ(last->opponent, "Wren");
  EXPECT_EQ(last->matchWins, 0);
  EXPECT_EQ(last->matchLosses, 2);
  EXPECT_EQ(last->roundWins, 1);
  EXPECT_EQ(last->recordLosses, 2);
  EXPECT_EQ(last->recordWins, 0);
  EXPECT_EQ(last->streak, 2);
  EXPECT_FALSE(last->streakIsWinning);
  EXPECT_EQ(last->lastResults,
            (std::vector<bool>{true, false, true, false, false}));
  // Only Moth's matches pass: his last session with Moth, 2-1.
  MatchFilter moth;
  moth.opponent = "Moth";
  const std::optional<CurrentSession> lastWithMoth =
      currentOf(ended, moth, true);
  ASSERT_TRUE(lastWithMoth);
  EXPECT_EQ(lastWithMoth->matchWins, 2);
  EXPECT_EQ(lastWithMoth->recordWins, 2);
  EXPECT_EQ(lastWithMoth->characters, std::vector<int>{findCharacter("Sion")});
  // A session in progress is shown instead.
  EXPECT_FALSE(currentOf(kEarlier, {}, true));
}

}  // namespace
}  // namespace sessionstats
