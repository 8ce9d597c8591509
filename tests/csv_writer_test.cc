#include "report/csv_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>

#include "csv_test_parser.h"
#include "log/log_line_splitter.h"
#include "log/session_log_reader.h"
#include "stats/match_filter.h"
#include "test_session.h"

namespace sessionstats {
namespace {

using testing::parseCsv;
using testing::selectMatches;

// Names that a careless writer would break: separators, quotes, a CR, a
// lone quote and bytes that are not UTF-8.
constexpr std::string_view kHostileNames[] = {
    "a,b", "say \"hi\"", "cr\rname", "\"", "\xff\xfe bytes", "plain"};

TEST(CsvWriter, HostileNamesParseBackToTheSameFields) {
  std::string log;
  for (const std::string_view name : kHostileNames) {
    log += "Session start. Players: Kestrel vs " + std::string(name) + "\n";
    log += "Player 1 wins match 2-1 : Sion vs Ciel (95 seconds)\n";
  }
  StatsRecords records;
  MatchLog matches;
  SessionLogReader reader(records);
  reader.logMatches(matches, std::string("Kestrel"));
  splitLines(log,
             [&reader](std::string_view line) { reader.processLine(line); });
  const PlayerRecord& kestrel = *records.findPlayer("Kestrel");
  std::ostringstream out;
  writeMatchCsv(out, kestrel, selectMatches(matches, kestrel, {}));

  const auto rows = parseCsv(out.str());
  ASSERT_TRUE(rows) << out.str();
  ASSERT_EQ(rows->size(), 1 + std::size(kHostileNames));
  EXPECT_EQ(rows->front().at(0), "session");
  for (std::size_t i = 0; i < std::size(kHostileNames); ++i) {
    const std::vector<std::string>& row = (*rows)[i + 1];
    ASSERT_EQ(row.size(), 11U);
    EXPECT_EQ(row[4], kHostileNames[i]);
    EXPECT_EQ(row[0], std::to_string(i + 1));
    EXPECT_EQ(row[5], "Sion");
    EXPECT_EQ(row[7], "win");
    EXPECT_EQ(row[8] + "-" + row[9] + " " + row[10], "2-1 95");
  }
}

TEST(CsvWriter, FieldIsQuotedOnlyWhenItMustBe) {
  std::string row;
  appendCsvField(row, "Kestrel Lee");
  appendCsvField(row, "|a\nb|");
  appendCsvField(row, "\"");
  EXPECT_EQ(row, "Kestrel Lee\"|a\nb|\"\"\"\"\"");
}

}  // namespace
}  // namespace sessionstats
