#include "report/json_report.h"

#include <gtest/gtest.h>

#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <string_view>

#include "log/session_log_reader.h"
#include "split_lines.h"
#include "stats/match_filter.h"
#include "stats/session_history.h"
#include "test_session.h"

namespace sessionstats {
namespace {

using testing::selectMatches;

TEST(JsonReport, HostileNamesGiveValidJsonWithReplacementCharacters) {
  const std::string log =
      "Session start. Players: Kestrel vs q\"u,o\\te\rx\n"
      "Player 1 wins match 2-1 : Sion vs Ciel (95 seconds)\n"
      "Player 1 wins match 2-0 : Sion vs Ciel (800 seconds)\n"
      "Session start. Players: Kestrel vs bad\xff\xc3 utf\n"
      "Player 2 wins match 1-2 : Sion vs Ciel (35 seconds)\n"
      "Session start. Players: Kestrel vs \xc3\xa9t\xc3\xa9\n"
      "Player 2 wins match 1-2 : Sion vs Ciel (35 seconds)\n";
  StatsRecords records;
  MatchLog matches;
  SessionLogReader reader(records);
  reader.logMatches(matches, std::nullopt);
  splitLines(
      log, [&reader](std::string_view line) { reader.read(parseLine(line)); });
  const PlayerRecord& kestrel = *records.findPlayer("Kestrel");
  const auto selected = selectMatches(matches, kestrel, {});
  std::ostringstream out;
  writeJsonReportStart(out, buildPlayerStats(kestrel),
                       buildSessionHistory(kestrel, selected, {}, {}));
  writeJsonReportEnd(out, {});

  const nlohmann::json document = nlohmann::json::parse(out.str());
  const nlohmann::json& opponents = document.at("opponents");
  ASSERT_EQ(opponents.size(), 3U);
  EXPECT_EQ(opponents[0].at("name"), "q\"u,o\\te\rx");
  EXPECT_EQ(opponents[1].at("name"), "bad\xef\xbf\xbd\xef\xbf\xbd utf");
  EXPECT_EQ(opponents[2].at("name"), "\xc3\xa9t\xc3\xa9");  // valid: kept
  EXPECT_EQ(document.at("sessions").size(), 3U);
  EXPECT_EQ(document.at("sessions")[1].at("opponent"), opponents[1].at("name"));
  EXPECT_EQ(document.at("summary").at("matches"), 4);
  // The last band of lengths has no end.
  EXPECT_EQ(document.at("match_lengths").back(),
            nlohmann::json::parse(
                R"({"from_seconds":720,"to_seconds":null,"matches":1})"));
  EXPECT_EQ(document.at("summary").at("shortest_seconds"), 35);
  EXPECT_EQ(document.at("streaks").at("longest_losing"), 2);
}

TEST(JsonReport, PlayerWithoutMatchesHasNoLengthsButValidDocument) {
  StatsRecords records;
  SessionLogReader reader(records);
  reader.read(parseLine("Session start. Players: Ann vs Bob"));
  const PlayerRecord& ann = *records.findPlayer("Ann");
  std::ostringstream out;
  // Whatever the fit gives, the document holds numbers or null.
  Insights insights;
  using Limits = std::numeric_limits<double>;
  insights.form.push_back(
      {202601, 1, 1, 0, 0.5, -Limits::infinity(), Limits::quiet_NaN()});
  writeJsonReportStart(out, buildPlayerStats(ann), {});
  writeJsonReportEnd(out, insights);
  const nlohmann::json document = nlohmann::json::parse(out.str());
  EXPECT_TRUE(document.at("summary").at("shortest_seconds").is_null());
  EXPECT_TRUE(document.at("opponents").empty());
  EXPECT_TRUE(document.at("sessions").empty());
  // An empty list closes on its member's line.
  EXPECT_NE(out.str().find("\"opponents\": [],\n"), std::string::npos);
  EXPECT_EQ(document.at("insights").at("form").at(0),
            nlohmann::json::parse(R"({"month":"2026-01","matches":1,"wins":1,)"
                                  R"("losses":0,"form":0.5,)"
                                  R"("form_95":[null,null]})"));
}

TEST(JsonReport, TheSessionInProgressHasAMemberOfItsOwn) {
  CurrentSession current;
  current.opponent = "Moth";
  current.matchWins = 2;
  current.roundWins = 4;
  current.roundLosses = 1;
  current.characters = {0};
  current.recordWins = 5;
  current.recordLosses = 1;
  current.streak = 2;
  current.streakIsWinning = true;
  current.lastResults = {false, true, true};
  SessionHistory history;
  history.current = current;
  std::ostringstream out;
  writeJsonReportStart(out, PlayerStats{}, history);
  writeJsonReportEnd(out, {});
  const std::string text = out.str();
  EXPECT_NE(text.find("\n  \"current_session\": {\"opponent\":\"Moth\","),
            std::string::npos);
  const nlohmann::json session =
      nlohmann::json::parse(text).at("current_session");
  EXPECT_EQ(session.at("wins"), 2);
  EXPECT_EQ(session.at("losses"), 0);
  EXPECT_EQ(session.at("round_wins"), 4);
  EXPECT_EQ(session.at("round_losses"), 1);
  EXPECT_EQ(session.at("characters"), nlohmann::json({"Sion"}));
  EXPECT_EQ(session.at("record_wins"), 5);
  EXPECT_EQ(session.at("record_losses"), 1);
  EXPECT_EQ(session.at("streak"), 2);
  EXPECT_EQ(session.at("streak_is_winning"), true);
  EXPECT_EQ(session.at("last_results"), nlohmann::json({"L", "W", "W"}));
}

}  // namespace
}  // namespace sessionstats
