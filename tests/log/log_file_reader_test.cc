#include "log/log_file_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <tuple>

#include "memory_file.h"
#include "split_lines.h"
#include "stats/stats_records.h"
#include "tools/log_generator.h"

namespace sessionstats {
namespace {

// A stream over `bytes` whose reads fail with EIO once `failAt` bytes have
// been read, as a disk that goes bad part way would.
struct FailingSource {
  std::string bytes;
  std::size_t failAt = 0;
  std::size_t position = 0;

  static ssize_t read(void* cookie, char* buffer, std::size_t size) {
    auto& source = *static_cast<FailingSource*>(cookie);
    if (source.position >= source.failAt) {
      errno = EIO;
      return -1;
    }
    const std::size_t count = source.bytes.copy(
        buffer, std::min(size, source.failAt - source.position),
        source.position);
    source.position += count;
    return static_cast<ssize_t>(count);
  }

  Status readInto(StatsRecords& records) {
    std::FILE* file = testing::openReader(this, &read);
    SessionLogReader reader(records);
    Status status = readSessionLog(file, "x.log", reader);
    std::fclose(file);
    return status;
  }
};

TEST(LogFileReader, ReadErrorsAreToldApartByWhereTheyHappen) {
  const std::string log =
      "Session start. Players: Alpha vs Bravo\n"
      "Player 1 wins match 2-0 : Sion vs Ciel (50)\n";
  if (testing::openReader(nullptr, nullptr) == nullptr) {
    GTEST_SKIP() << "the C library makes no stream over a read function";
  }
  StatsRecords records;
  FailingSource atOnce{log, 0};
  Status status = atOnce.readInto(records);
  EXPECT_EQ(status.kind(), Status::Kind::kNotFound);
  EXPECT_EQ(status.error(), EIO);
  EXPECT_EQ(status.what(), "could not read x.log");

  FailingSource partWay{log + std::string(1 << 20, '\n'), log.size() + 1000};
  status = partWay.readInto(records);
  EXPECT_EQ(status.kind(), Status::Kind::kFailed);
  EXPECT_EQ(status.error(), EIO);
  EXPECT_EQ(status.what(), "could not read x.log");
  // What was read counts.
  EXPECT_EQ(buildPlayerStats(*records.findPlayer("Alpha")).matchWins, 1);

  FailingSource never{log, log.size() + 1};
  EXPECT_TRUE(never.readInto(records).ok());
}

// Both readings must leave the same records: the same players in the same
// order, each with the same counts and the same opponent entries.
void expectSameRecords(const StatsRecords& expected,
                       const StatsRecords& actual) {
  ASSERT_EQ(expected.players().size(), actual.players().size());
  auto other = actual.players().begin();
  for (const PlayerRecord& record : expected.players()) {
    const PlayerStats want = buildPlayerStats(record);
    const PlayerStats got = buildPlayerStats(*other++);
    ASSERT_EQ(got.name, want.name);
    EXPECT_TRUE(static_cast<const Tally&>(got) == want) << want.name;
    EXPECT_EQ(got.shortestSeconds, want.shortestSeconds) << want.name;
    EXPECT_EQ(got.longestSeconds, want.longestSeconds) << want.name;
    EXPECT_EQ(got.lengthBuckets, want.lengthBuckets) << want.name;
    ASSERT_EQ(got.opponents.size(), want.opponents.size()) << want.name;
    OpponentStats wantEntry;
    OpponentStats gotEntry;
    for (std::size_t i = 0; i < want.opponents.size(); ++i) {
      buildOpponentStats(want.opponents[i], wantEntry);
      buildOpponentStats(got.opponents[i], gotEntry);
      EXPECT_EQ(gotEntry.name, wantEntry.name) << want.name;
      EXPECT_TRUE(static_cast<const Tally&>(gotEntry) == wantEntry)
          << want.name << " vs " << wantEntry.name;
      EXPECT_EQ(gotEntry.oppCharWins, wantEntry.oppCharWins);
      EXPECT_EQ(gotEntry.oppCharRoundLosses, wantEntry.oppCharRoundLosses);
    }
  }
}

// The file is read and parsed ahead of the counting, by whichever of two
// threads is free: the records and the match log (with every match's date,
// time and session) must be those of reading the lines one by one, for a log
// of many pipeline items, clean or with damaged bytes (line ends, NULs, the
// first bytes of session lines and dates among them).
TEST(LogFileReader, ReadingOnTwoThreadsCountsWhatReadingLineByLineCounts) {
  // Its last line, which no LF ends, dates its match.
  std::string clean =
      generateLog({.lines = 200'000, .opponents = 60, .seed = 11}) +
      "2030-01-02 03:04:05 Session start. Players: Alpha vs Bravo\n"
      "2030-01-02 03:04:06 Player 1 wins match 2-0 : Sion vs Ciel (50)";
  std::string damaged = clean;
  std::mt19937_64 random(20261207);
  for (int i = 0; i < 2'000; ++i) {
    constexpr char kBytes[] = "\n\0\rSaP:( 7-";
    damaged[random() % damaged.size()] = kBytes[random() % (sizeof kBytes - 1)];
  }
  for (std::string* log : {&clean, &damaged}) {
    StatsRecords lineByLine;
    MatchLog lineByLineMatches;
    SessionLogReader oneThread(lineByLine);
    oneThread.logMatches(lineByLineMatches, std::nullopt);
    splitLines(*log, [&oneThread](std::string_view line) {
      oneThread.read(parseLine(line));
    });

    StatsRecords piped;
    MatchLog pipedMatches;
    SessionLogReader twoThreads(piped);
    twoThreads.logMatches(pipedMatches, std::nullopt);
    std::FILE* file = testing::openBytes(*log);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(readSessionLog(file, "x.log", twoThreads).ok());
    std::fclose(file);
    expectSameRecords(lineByLine, piped);
    ASSERT_EQ(pipedMatches.size(), lineByLineMatches.size());
    for (std::size_t i = 0; i < pipedMatches.size(); ++i) {
      const MatchEntry& want = lineByLineMatches[i];
      const MatchEntry& got = pipedMatches[i];
      ASSERT_EQ(std::tie(got.session, got.date, got.time, got.seconds,
                         got.character1, got.character2, got.winner),
                std::tie(want.session, want.date, want.time, want.seconds,
                         want.character1, want.character2, want.winner))
          << "match " << i;
    }
  }
}

// However the reading cuts the file into pieces, a line that ends in the
// next piece is read whole: here its LF lands on every byte of any piece of
// up to 64 KiB, and its 199th byte is a CR that is a byte of the name kept,
// where a line cut short before its LF would lose it.
TEST(LogFileReader, ALineIsReadWholeWhereverTheReadingCutsTheFile) {
  const std::string start = "Session start. Players: Alpha vs ";
  std::string line = start;
  line.resize(kMaxLineLength - 1, 'n');
  line += "\rx\n";
  ASSERT_EQ(line.size() % 2, 1U);  // so its ends land on every byte
  std::string log;
  for (int i = 0; i < 1 << 16; ++i) log += line;
  std::FILE* file = testing::openBytes(log);
  ASSERT_NE(file, nullptr);
  StatsRecords records;
  SessionLogReader reader(records);
  EXPECT_TRUE(readSessionLog(file, "x.log", reader).ok());
  std::fclose(file);
  ASSERT_EQ(records.players().size(), 2U);
  EXPECT_EQ(std::next(records.players().begin())->name,
            line.substr(start.size(), kMaxLineLength - start.size()));
}

}  // namespace
}  // namespace sessionstats
