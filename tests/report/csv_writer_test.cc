#include "report/csv_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <string_view>

#include "csv_test_parser.h"
#include "log/session_log_reader.h"
#include "split_lines.h"
#include "stats/match_filter.h"
#include "test_session.h"
#include "tool_run.h"

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
  splitLines(
      log, [&reader](std::string_view line) { reader.read(parseLine(line)); });
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
  // Quoted only when they must be.
  for (const char* field : {",Kestrel,plain,Sion,", ",\"\"\"\",Sion,",
                            ",\"a,b\",Sion,", ",\"cr\rname\",Sion,"}) {
    EXPECT_NE(out.str().find(field), std::string::npos) << field;
  }
}

// Names that a spreadsheet would run as formulas, from the log through the
// binary to Python's csv module: each comes back as the name with a leading
// ', the usual neutralisation; names that only hold such bytes later, and
// the numbers, come back as they are.
TEST(CsvWriter, FormulaNamesReadBackWithALeadingQuote) {
  if (testing::kOnWindows) GTEST_SKIP() << "needs python3 on the host";
  const std::string formulas[] = {
      "=HYPERLINK(\"http://x.invalid/?a,b\",\"x\")",
      "+1+cmd|' /C calc'!A0",
      "-2+3",
      "@SUM(1+1)",
      "\tTAB",
      "\rCR",
      "a=1+2",
  };
  testing::TempDir dir;
  std::string log;
  for (const std::string& name : formulas) {
    log += "Session start. Players: @Kes vs " + name + "\n";
    log += "Player 2 wins match 2-1 : Sion vs Ciel (95 seconds)\n";
  }
  testing::writeFile(dir / "sessionlog.txt", log);
  const testing::ToolRun run = testing::runTool(
      dir, std::nullopt, {"-p", "@Kes", "--format=csv", "-o", "kes.csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string command =
      "python3 -c 'import csv, json, sys\n"
      "print(json.dumps(list(csv.reader(open(sys.argv[1], newline=\"\")))))' " +
      (dir / "kes.csv").string() + " > " + (dir / "rows.json").string();
  ASSERT_EQ(std::system(command.c_str()), 0);
  const auto rows = nlohmann::json::parse(testing::readFile(dir / "rows.json"));
  ASSERT_EQ(rows.size(), 1 + std::size(formulas));
  for (std::size_t i = 0; i < std::size(formulas); ++i) {
    const auto& row = rows[i + 1];
    EXPECT_EQ(row[3], "'@Kes");
    const bool formula = formulas[i].front() != 'a';
    EXPECT_EQ(row[4], (formula ? "'" : "") + formulas[i]);
    EXPECT_EQ(row[7], "loss");
    EXPECT_EQ(row[10], "95");
  }
}

}  // namespace
}  // namespace sessionstats
