#include "stats/stats_records.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "test_session.h"

namespace sessionstats {
namespace {

using Session = testing::TestSession;

constexpr int kSion = 0;
constexpr int kLen = 17;

TEST(StatsRecords, NewRecordsStartAtTheirInitialValues) {
  PlayerList players;
  PlayerStats& player = findOrAddPlayer(players, "Alpha");
  EXPECT_EQ(player.name, "Alpha");
  EXPECT_EQ(player.shortestSeconds, 999999);
  EXPECT_EQ(player.longestSeconds, 0);
  EXPECT_EQ(player.matchWins + player.matchLosses + player.totalSeconds, 0);
  EXPECT_TRUE(player.opponents.empty());
}

TEST(StatsRecords, LookupIsExactAndRecordsNeverMove) {
  PlayerList players;
  PlayerStats* alpha = &findOrAddPlayer(players, "Alpha");
  OpponentStats* bravo = &findOrAddOpponent(*alpha, "Bravo");
  for (int i = 0; i < 1000; ++i) {
    const std::string number = std::to_string(i);
    findOrAddPlayer(players, std::string("p").append(number));
    findOrAddOpponent(*alpha, std::string("o").append(number));
  }
  EXPECT_EQ(&findOrAddPlayer(players, "Alpha"), alpha);
  EXPECT_EQ(&findOrAddOpponent(*alpha, "Bravo"), bravo);
  findOrAddPlayer(players, "alpha");
  findOrAddPlayer(players, "Alpha ");
  findOrAddPlayer(players, "");
  EXPECT_EQ(players.size(), 1004u);
  EXPECT_EQ(players.begin()->name, "Alpha");  // creation order kept
  EXPECT_EQ(players.find("Alpha "), &*(players.end() - 2));
}

TEST(StatsRecords, WorkedExampleUpdatesAllFourRecords) {
  Session s("P1", "P2");
  recordMatch(s.records, {2, 1, 2, kSion, kLen, 95});

  const PlayerStats& p1 = *s.records.player1;
  EXPECT_EQ(p1.matchWins, 0);
  EXPECT_EQ(p1.matchLosses, 1);
  EXPECT_EQ(p1.roundWins, 1);
  EXPECT_EQ(p1.roundLosses, 2);
  EXPECT_EQ(p1.charLosses[kSion], 1);
  EXPECT_EQ(p1.charRoundWins[kSion], 1);
  EXPECT_EQ(p1.charRoundLosses[kSion], 2);
  EXPECT_EQ(p1.matchupLosses[matchupIndex(kSion, kLen)], 1);
  EXPECT_EQ(p1.matchupRoundWins[matchupIndex(kSion, kLen)], 1);
  EXPECT_EQ(p1.matchupRoundLosses[matchupIndex(kSion, kLen)], 2);
  EXPECT_EQ(p1.matchupWins[matchupIndex(kSion, kLen)], 0);
  EXPECT_EQ(p1.totalSeconds, 95);
  EXPECT_EQ(p1.lengthBuckets[3], 1);
  EXPECT_EQ(p1.shortestSeconds, 95);
  EXPECT_EQ(p1.longestSeconds, 95);

  const PlayerStats& p2 = *s.records.player2;
  EXPECT_EQ(p2.matchWins, 1);
  EXPECT_EQ(p2.matchLosses, 0);
  EXPECT_EQ(p2.roundWins, 2);
  EXPECT_EQ(p2.roundLosses, 1);
  EXPECT_EQ(p2.charWins[kLen], 1);
  EXPECT_EQ(p2.charRoundWins[kLen], 2);
  EXPECT_EQ(p2.charRoundLosses[kLen], 1);
  EXPECT_EQ(p2.matchupWins[matchupIndex(kLen, kSion)], 1);
  EXPECT_EQ(p2.matchupRoundWins[matchupIndex(kLen, kSion)], 2);
  EXPECT_EQ(p2.matchupRoundLosses[matchupIndex(kLen, kSion)], 1);
  EXPECT_EQ(p2.lengthBuckets[3], 1);

  const OpponentStats& v12 = *s.records.player1VsPlayer2;
  EXPECT_EQ(v12.matchLosses, 1);
  EXPECT_EQ(v12.roundWins, 1);
  EXPECT_EQ(v12.roundLosses, 2);
  EXPECT_EQ(v12.totalSeconds, 95);
  EXPECT_EQ(v12.charLosses[kSion], 1);
  EXPECT_EQ(v12.matchupLosses[matchupIndex(kSion, kLen)], 1);
  EXPECT_EQ(v12.oppCharWins[kLen], 1);
  EXPECT_EQ(v12.oppCharLosses[kLen], 0);
  EXPECT_EQ(v12.oppCharRoundWins[kLen], 2);
  EXPECT_EQ(v12.oppCharRoundLosses[kLen], 1);

  const OpponentStats& v21 = *s.records.player2VsPlayer1;
  EXPECT_EQ(v21.matchWins, 1);
  EXPECT_EQ(v21.charWins[kLen], 1);
  EXPECT_EQ(v21.matchupWins[matchupIndex(kLen, kSion)], 1);
  EXPECT_EQ(v21.matchupRoundWins[matchupIndex(kLen, kSion)], 2);
  EXPECT_EQ(v21.oppCharWins[kSion], 0);
  EXPECT_EQ(v21.oppCharLosses[kSion], 1);
  EXPECT_EQ(v21.oppCharRoundWins[kSion], 1);
  EXPECT_EQ(v21.oppCharRoundLosses[kSion], 2);
}

TEST(StatsRecords, WinnerOtherThanOneOrTwoIsALossForBoth) {
  for (std::int32_t winner : {0, 3, -1}) {
    Session s("P1", "P2");
    recordMatch(s.records, {winner, 2, 1, kSion, kLen, 40});
    for (const PlayerStats* p : {s.records.player1, s.records.player2}) {
      EXPECT_EQ(p->matchWins, 0);
      EXPECT_EQ(p->matchLosses, 1);
      EXPECT_EQ(p->lengthBuckets[1], 1);
    }
    EXPECT_EQ(s.records.player1->roundWins, 2);
    EXPECT_EQ(s.records.player2->roundWins, 1);
    EXPECT_EQ(s.records.player1->matchupLosses[matchupIndex(kSion, kLen)], 1);
    EXPECT_EQ(s.records.player2->matchupLosses[matchupIndex(kLen, kSion)], 1);
    EXPECT_EQ(s.records.player1VsPlayer2->oppCharLosses[kLen], 1);
    EXPECT_EQ(s.records.player2VsPlayer1->oppCharLosses[kSion], 1);
  }
}

TEST(StatsRecords, PlayerWhoMeetsHimselfGetsBothSides) {
  Session s("Solo", "Solo");
  ASSERT_EQ(s.records.player1, s.records.player2);
  ASSERT_EQ(s.records.player1VsPlayer2, s.records.player2VsPlayer1);
  EXPECT_EQ(s.players.size(), 1u);
  EXPECT_EQ(s.records.player1->opponents.size(), 1u);
  EXPECT_EQ(s.records.player1VsPlayer2->name, "Solo");

  recordMatch(s.records, {1, 2, 1, kSion, kLen, 50});
  const PlayerStats& solo = *s.records.player1;
  EXPECT_EQ(solo.matchWins, 1);
  EXPECT_EQ(solo.matchLosses, 1);
  EXPECT_EQ(solo.roundWins, 3);
  EXPECT_EQ(solo.roundLosses, 3);
  EXPECT_EQ(solo.totalSeconds, 100);
  EXPECT_EQ(solo.lengthBuckets[1], 2);
  EXPECT_EQ(s.records.player1VsPlayer2->matchWins, 1);
  EXPECT_EQ(s.records.player1VsPlayer2->totalSeconds, 100);
}

TEST(StatsRecords, LengthBucketsAreThirtySecondBandsClampedAtBothEnds) {
  const std::pair<std::int32_t, int> cases[] = {
      {0, 0},       {29, 0},  {30, 1},  {719, 23},      {720, 24},
      {100000, 24}, {-29, 0}, {-30, 0}, {INT32_MIN, 0}, {INT32_MAX, 24}};
  for (const auto& [seconds, bucket] : cases) {
    EXPECT_EQ(lengthBucket(seconds), bucket) << seconds;
  }
  Session s("P1", "P2");
  recordMatch(s.records, {1, 2, 0, kSion, kSion, -100});
  EXPECT_EQ(s.records.player1->lengthBuckets[0], 1);
  EXPECT_EQ(s.records.player1->shortestSeconds, -100);
  EXPECT_EQ(s.records.player1->longestSeconds, 0);
}

TEST(StatsRecords, ExtremesCompareStrictly) {
  Session s("P1", "P2");
  recordMatch(s.records, {1, 2, 0, kSion, kSion, 999999});
  EXPECT_EQ(s.records.player1->shortestSeconds, 999999);
  EXPECT_EQ(s.records.player1->longestSeconds, 999999);
  recordMatch(s.records, {1, 2, 0, kSion, kSion, 60});
  recordMatch(s.records, {1, 2, 0, kSion, kSion, 61});
  EXPECT_EQ(s.records.player2->shortestSeconds, 60);
  EXPECT_EQ(s.records.player2->longestSeconds, 999999);
}

TEST(StatsRecords, SumsWrapAroundModulo2To32) {
  Session s("P1", "P2");
  recordMatch(s.records, {1, INT32_MAX, INT32_MIN, kSion, kLen, INT32_MAX});
  recordMatch(s.records, {1, 1, -1, kSion, kLen, 2});
  const PlayerStats& p1 = *s.records.player1;
  EXPECT_EQ(p1.totalSeconds, INT32_MIN + 1);
  EXPECT_EQ(p1.roundWins, INT32_MIN);
  EXPECT_EQ(p1.roundLosses, INT32_MAX);
  EXPECT_EQ(p1.charRoundWins[kSion], INT32_MIN);
  EXPECT_EQ(s.records.player1VsPlayer2->totalSeconds, INT32_MIN + 1);
  EXPECT_EQ(p1.lengthBuckets[24], 1);
  EXPECT_EQ(p1.lengthBuckets[0], 1);
}

}  // namespace
}  // namespace sessionstats
