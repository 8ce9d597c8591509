#include "stats/stats_records.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "reference_records.h"
#include "test_session.h"

namespace sessionstats {
namespace {

using Session = testing::TestSession;

constexpr int kSion = 0;
constexpr int kLen = 17;

bool sameEntry(const OpponentStats& a, const OpponentStats& b) {
  return static_cast<const Tally&>(a) == static_cast<const Tally&>(b) &&
         a.oppCharWins == b.oppCharWins && a.oppCharLosses == b.oppCharLosses &&
         a.oppCharRoundWins == b.oppCharRoundWins &&
         a.oppCharRoundLosses == b.oppCharRoundLosses;
}

std::int32_t sumOf(const CharacterCounts& counts) {
  std::int32_t total = 0;
  for (std::int32_t value : counts) addWrapping(total, value);
  return total;
}

TEST(StatsRecords, NewRecordsStartAtTheirInitialValues) {
  StatsRecords records;
  const PlayerStats player =
      buildPlayerStats(findOrAddPlayer(records, "Alpha"));
  EXPECT_EQ(player.name, "Alpha");
  EXPECT_EQ(player.shortestSeconds, 999999);
  EXPECT_EQ(player.longestSeconds, 0);
  EXPECT_EQ(player.matchWins + player.matchLosses + player.totalSeconds, 0);
  EXPECT_TRUE(player.opponents.empty());
}

TEST(StatsRecords, LookupIsExactAndRecordsNeverMove) {
  StatsRecords records;
  PlayerRecord* alpha = &findOrAddPlayer(records, "Alpha");
  PlayerRecord* bravo = &findOrAddPlayer(records, "Bravo");
  PairRecord* pair = &findOrAddOpponent(records, *alpha, *bravo);
  for (int i = 0; i < 1000; ++i) {
    PlayerRecord& other =
        findOrAddPlayer(records, std::string("p").append(std::to_string(i)));
    findOrAddOpponent(records, *alpha, other);
  }
  EXPECT_EQ(&findOrAddPlayer(records, "Alpha"), alpha);
  EXPECT_EQ(&findOrAddOpponent(records, *alpha, *bravo), pair);
  EXPECT_EQ(&findOrAddOpponent(records, *bravo, *alpha), pair);
  findOrAddPlayer(records, "alpha");
  findOrAddPlayer(records, "Alpha ");
  findOrAddPlayer(records, "");
  EXPECT_EQ(records.players().size(), 1005u);
  EXPECT_EQ(records.players().begin()->name, "Alpha");  // creation order
  EXPECT_EQ(records.findPlayer("Alpha "), &*(records.players().end() - 2));
  EXPECT_EQ(alpha->pairs.size(), 1001u);
  EXPECT_EQ(bravo->pairs.size(), 1u);
}

TEST(StatsRecords, WorkedExampleUpdatesAllFourRecords) {
  Session s("P1", "P2");
  s.play(2, 1, 2, kSion, kLen, 95);

  const PlayerStats p1 = s.first();
  EXPECT_EQ(p1.matchWins, 0);
  EXPECT_EQ(p1.matchLosses, 1);
  EXPECT_EQ(p1.roundWins, 1);
  EXPECT_EQ(p1.roundLosses, 2);
  EXPECT_EQ(p1.charLosses[kSion], 1);
  EXPECT_EQ(p1.charRoundWins[kSion], 1);
  EXPECT_EQ(p1.charRoundLosses[kSion], 2);
  EXPECT_EQ(p1.matchupLosses[matchupIndex(kSion, kLen)], 1);
  EXPECT_EQ(p1.matchupWins[matchupIndex(kSion, kLen)], 0);
  EXPECT_EQ(p1.totalSeconds, 95);
  EXPECT_EQ(p1.lengthBuckets[3], 1);
  EXPECT_EQ(p1.shortestSeconds, 95);
  EXPECT_EQ(p1.longestSeconds, 95);

  const PlayerStats p2 = s.second();
  EXPECT_EQ(p2.matchWins, 1);
  EXPECT_EQ(p2.matchLosses, 0);
  EXPECT_EQ(p2.roundWins, 2);
  EXPECT_EQ(p2.roundLosses, 1);
  EXPECT_EQ(p2.charWins[kLen], 1);
  EXPECT_EQ(p2.charRoundWins[kLen], 2);
  EXPECT_EQ(p2.charRoundLosses[kLen], 1);
  EXPECT_EQ(p2.matchupWins[matchupIndex(kLen, kSion)], 1);
  EXPECT_EQ(p2.lengthBuckets[3], 1);

  const OpponentStats v12 = s.firstVsSecond();
  EXPECT_EQ(v12.name, "P2");
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

  const OpponentStats v21 = s.secondVsFirst();
  EXPECT_EQ(v21.name, "P1");
  EXPECT_EQ(v21.matchWins, 1);
  EXPECT_EQ(v21.charWins[kLen], 1);
  EXPECT_EQ(v21.matchupWins[matchupIndex(kLen, kSion)], 1);
  EXPECT_EQ(v21.oppCharWins[kSion], 0);
  EXPECT_EQ(v21.oppCharLosses[kSion], 1);
  EXPECT_EQ(v21.oppCharRoundWins[kSion], 1);
  EXPECT_EQ(v21.oppCharRoundLosses[kSion], 2);
}

TEST(StatsRecords, WinnerOtherThanOneOrTwoIsALossForBoth) {
  for (std::int32_t winner : {0, 3, -1}) {
    Session s("P1", "P2");
    s.play(winner, 2, 1, kSion, kLen, 40);
    for (const PlayerStats& p : {s.first(), s.second()}) {
      EXPECT_EQ(p.matchWins, 0);
      EXPECT_EQ(p.matchLosses, 1);
      EXPECT_EQ(p.lengthBuckets[1], 1);
    }
    EXPECT_EQ(s.first().roundWins, 2);
    EXPECT_EQ(s.second().roundWins, 1);
    EXPECT_EQ(s.first().matchupLosses[matchupIndex(kSion, kLen)], 1);
    EXPECT_EQ(s.second().matchupLosses[matchupIndex(kLen, kSion)], 1);
    EXPECT_EQ(s.firstVsSecond().oppCharLosses[kLen], 1);
    EXPECT_EQ(s.secondVsFirst().oppCharLosses[kSion], 1);
  }
}

TEST(StatsRecords, PlayerWhoMeetsHimselfGetsBothSides) {
  Session s("Solo", "Solo");
  ASSERT_EQ(s.session.player1, s.session.player2);
  EXPECT_EQ(s.records.players().size(), 1u);
  EXPECT_EQ(s.first().opponents.size(), 1u);
  EXPECT_EQ(s.firstVsSecond().name, "Solo");

  s.play(1, 2, 1, kSion, kLen, 50);
  const PlayerStats solo = s.first();
  EXPECT_EQ(solo.matchWins, 1);
  EXPECT_EQ(solo.matchLosses, 1);
  EXPECT_EQ(solo.roundWins, 3);
  EXPECT_EQ(solo.roundLosses, 3);
  EXPECT_EQ(solo.totalSeconds, 100);
  EXPECT_EQ(solo.lengthBuckets[1], 2);
  EXPECT_EQ(solo.matchupWins[matchupIndex(kSion, kLen)], 1);
  EXPECT_EQ(solo.matchupLosses[matchupIndex(kLen, kSion)], 1);
  const OpponentStats self = s.firstVsSecond();
  EXPECT_EQ(self.matchWins, 1);
  EXPECT_EQ(self.totalSeconds, 100);
  EXPECT_EQ(self.oppCharWins[kSion], 1);
  EXPECT_EQ(self.oppCharLosses[kLen], 1);
  EXPECT_EQ(self.oppCharRoundWins[kLen], 1);
}

TEST(StatsRecords, LengthBucketsAreThirtySecondBandsClampedAtBothEnds) {
  const std::pair<std::int32_t, int> cases[] = {
      {0, 0},       {29, 0},  {30, 1},  {719, 23},      {720, 24},
      {100000, 24}, {-29, 0}, {-30, 0}, {INT32_MIN, 0}, {INT32_MAX, 24}};
  for (const auto& [seconds, bucket] : cases) {
    EXPECT_EQ(lengthBucket(seconds), bucket) << seconds;
  }
  Session s("P1", "P2");
  s.play(1, 2, 0, kSion, kSion, -100);
  EXPECT_EQ(s.first().lengthBuckets[0], 1);
  EXPECT_EQ(s.first().shortestSeconds, -100);
  EXPECT_EQ(s.first().longestSeconds, 0);
}

TEST(StatsRecords, ExtremesCompareStrictly) {
  Session s("P1", "P2");
  s.play(1, 2, 0, kSion, kSion, 999999);
  EXPECT_EQ(s.first().shortestSeconds, 999999);
  EXPECT_EQ(s.first().longestSeconds, 999999);
  s.play(1, 2, 0, kSion, kSion, 60);
  s.play(1, 2, 0, kSion, kSion, 61);
  EXPECT_EQ(s.second().shortestSeconds, 60);
  EXPECT_EQ(s.second().longestSeconds, 999999);
}

TEST(StatsRecords, SumsWrapAroundModulo2To32) {
  Session s("P1", "P2");
  s.play(1, INT32_MAX, INT32_MIN, kSion, kLen, INT32_MAX);
  s.play(1, 1, -1, kSion, kLen, 2);
  const PlayerStats p1 = s.first();
  EXPECT_EQ(p1.totalSeconds, INT32_MIN + 1);
  EXPECT_EQ(p1.roundWins, INT32_MIN);
  EXPECT_EQ(p1.roundLosses, INT32_MAX);
  EXPECT_EQ(p1.charRoundWins[kSion], INT32_MIN);
  EXPECT_EQ(s.firstVsSecond().totalSeconds, INT32_MIN + 1);
  EXPECT_EQ(p1.lengthBuckets[24], 1);
  EXPECT_EQ(p1.lengthBuckets[0], 1);
}

TEST(StatsRecords, GridHoldsThePlayedCellsOnlyAsEachSideSeesThem) {
  Session s("P1", "P2");
  s.play(1, 2, 0, kSion, kLen, 60);
  s.play(2, 0, 2, kSion, kSion, 60);
  s.play(2, 1, 2, kLen, kSion, 60);
  // P1's cells, own character first; P2 sees each with the sides swapped.
  MatchupCounts wins{};
  MatchupCounts losses{};
  wins[matchupIndex(kSion, kLen)] = 1;
  losses[matchupIndex(kSion, kSion)] = 1;
  losses[matchupIndex(kLen, kSion)] = 1;
  for (const Tally& tally :
       {static_cast<Tally>(s.first()), static_cast<Tally>(s.firstVsSecond())}) {
    EXPECT_EQ(tally.matchupWins, wins);
    EXPECT_EQ(tally.matchupLosses, losses);
  }
  const auto swapped = [](const MatchupCounts& counts) {
    MatchupCounts out{};
    for (int first = 0; first < kCharacterCount; ++first) {
      for (int second = 0; second < kCharacterCount; ++second) {
        out[matchupIndex(second, first)] = counts[matchupIndex(first, second)];
      }
    }
    return out;
  };
  const Tally second = s.secondVsFirst();
  EXPECT_EQ(second.matchupWins, swapped(losses));
  EXPECT_EQ(second.matchupLosses, swapped(wins));
}

// Random sessions among a few names (a player who meets himself among them),
// random winners and numbers up to the 32-bit limits: every player's totals
// and every entry, in order, equal what the plain accounting counts.
TEST(StatsRecords, AgreeWithPlainAccountingOnRandomSessions) {
  const std::vector<std::string> names = {"Kestrel", "Moth", "Wren", "Ibis",
                                          "Tern"};
  std::mt19937 random(11);
  const auto below = [&random](int bound) {
    return std::uniform_int_distribution<int>(0, bound - 1)(random);
  };
  const auto number = [&random, &below]() -> std::int32_t {
    switch (below(4)) {
      case 0:
        return below(3);
      case 1:
        return std::uniform_int_distribution<std::int32_t>(INT32_MIN,
                                                           INT32_MAX)(random);
      case 2:
        return INT32_MAX - below(2);
      default:
        return below(2000) - 100;
    }
  };
  StatsRecords records;
  testing::ReferenceRecords reference;
  for (int session = 0; session < 400; ++session) {
    const std::string& first = names[below(5)];
    const std::string& second = names[below(5)];
    const MatchRecords opened = findOrAddMatchRecords(records, first, second);
    reference.startSession(first, second);
    for (int match = below(8); match > 0; --match) {
      const MatchResult result{below(4),
                               number(),
                               number(),
                               below(kCharacterCount),
                               below(kCharacterCount),
                               number()};
      recordMatch(records, opened, result);
      reference.recordMatch(result);
    }
  }

  ASSERT_EQ(records.players().size(), reference.players().size());
  auto expected = reference.players().begin();
  for (const PlayerRecord& record : records.players()) {
    const PlayerStats player = buildPlayerStats(record);
    ASSERT_EQ(player.name, expected->name);
    EXPECT_TRUE(static_cast<const Tally&>(player) ==
                static_cast<const Tally&>(expected->stats))
        << player.name;
    EXPECT_EQ(player.shortestSeconds, expected->stats.shortestSeconds);
    EXPECT_EQ(player.longestSeconds, expected->stats.longestSeconds);
    EXPECT_EQ(player.lengthBuckets, expected->stats.lengthBuckets);
    const std::vector<OpponentStats> entries = testing::opponentStats(player);
    ASSERT_EQ(entries.size(), expected->entries.size()) << player.name;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(entries[i].name, expected->entries[i].name);
      EXPECT_TRUE(sameEntry(entries[i], expected->entries[i].stats))
          << player.name << " vs " << entries[i].name;
      // What the report reads straight from the pair agrees with the sums.
      const OpponentEntry& entry = player.opponents[i];
      EXPECT_EQ(opponentName(entry), entries[i].name);
      EXPECT_EQ(hasMatches(entry),
                entries[i].matchWins != 0 || entries[i].matchLosses != 0);
      for (int cell = 0; cell < kMatchupCount; ++cell) {
        const CellCounts counts =
            matchupCell(entry, cell % kCharacterCount, cell / kCharacterCount);
        EXPECT_EQ(counts.wins, entries[i].matchupWins[cell]);
        EXPECT_EQ(counts.losses, entries[i].matchupLosses[cell]);
      }
    }
    ++expected;
  }
}

// Each pair is one record seen from two sides: a player's totals are the sum
// of his entries (his entry for himself counts once, with both sides in it),
// and what one player won against another the other lost against him.
TEST(StatsRecords, TotalsAreTheSumOfTheEntriesSeenFromEitherSide) {
  StatsRecords records;
  std::mt19937 random(5);
  const std::vector<std::string> names = {"A", "B", "C", "D"};
  for (int session = 0; session < 200; ++session) {
    const MatchRecords opened = findOrAddMatchRecords(
        records, names[random() % 4], names[random() % 4]);
    for (int match = 0; match < 3; ++match) {
      recordMatch(records, opened,
                  {static_cast<std::int32_t>(random() % 3),
                   static_cast<std::int32_t>(random() % 3),
                   static_cast<std::int32_t>(random() % 3),
                   static_cast<int>(random() % kCharacterCount),
                   static_cast<int>(random() % kCharacterCount),
                   static_cast<std::int32_t>(random() % 400)});
    }
  }
  for (const std::string& name : names) {
    const PlayerStats player = testing::playerStats(records, name);
    Tally sum;
    for (const OpponentStats& entry : testing::opponentStats(player)) {
      const Tally& part = entry;
      for (int i = 0; i < kMatchupCount; ++i) {
        addWrapping(sum.matchupWins[i], part.matchupWins[i]);
        addWrapping(sum.matchupLosses[i], part.matchupLosses[i]);
      }
      addWrapping(sum.matchWins, part.matchWins);
      addWrapping(sum.roundLosses, part.roundLosses);
      addWrapping(sum.totalSeconds, part.totalSeconds);

      if (entry.name == name) continue;
      const OpponentStats back =
          testing::opponentStats(records, entry.name, name);
      EXPECT_EQ(back.matchWins, sumOf(entry.oppCharWins));
      EXPECT_EQ(back.roundWins, entry.roundLosses);
      EXPECT_EQ(back.totalSeconds, entry.totalSeconds);
    }
    EXPECT_EQ(sum.matchupWins, player.matchupWins) << name;
    EXPECT_EQ(sum.matchupLosses, player.matchupLosses) << name;
    EXPECT_EQ(sum.matchWins, player.matchWins) << name;
    EXPECT_EQ(sum.roundLosses, player.roundLosses) << name;
    EXPECT_EQ(sum.totalSeconds, player.totalSeconds) << name;
  }
}

}  // namespace
}  // namespace sessionstats
