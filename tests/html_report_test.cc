#include "report/html_report.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "report/html_escape.h"
#include "report/html_line_chart.h"
#include "stats/session_history.h"
#include "test_session.h"

namespace sessionstats {
namespace {

constexpr int kSion = 0;
constexpr int kCiel = 2;
constexpr int kHisuiAndKohaku = 4;
constexpr int kNecoArc = 22;

constexpr char kScriptName[] = "<script>alert(1)</script>";
constexpr char kImageName[] = "<img src=x onerror=alert(1)>";

using Session = testing::TestSession;

std::string page(const PlayerStats& player,
                 const SessionHistory& history = {}) {
  std::ostringstream out;
  writeHtmlReport(out, player, history);
  return out.str();
}

std::size_t count(std::string_view text, std::string_view what) {
  std::size_t found = 0;
  for (std::size_t at = text.find(what); at != std::string_view::npos;
       at = text.find(what, at + what.size())) {
    ++found;
  }
  return found;
}

// Kestrel: 3 wins and 1 loss against Moth over 300 seconds, then a loss
// against the hostile player as Neco-Arc.
Session kestrelSession() {
  Session session("Kestrel", "Moth");
  session.play(1, 2, 0, kSion, kCiel, 50);
  session.play(1, 2, 1, kSion, kCiel, 100);
  session.play(2, 1, 2, kHisuiAndKohaku, kCiel, 70);
  session.play(1, 2, 0, kHisuiAndKohaku, kSion, 80);
  return session;
}

TEST(HtmlReport, HeaderShowsTheTotalsAsFigures) {
  const std::string html = page(kestrelSession().first());
  EXPECT_NE(html.find("<h1>Kestrel</h1>"), std::string::npos);
  for (const char* figure :
       {"<b>4</b><span>matches", "<b>75.000%</b><span>win rate",
        "<b>3 / 1</b><span>won / lost", "<b>7 / 3</b><span>rounds won / lost",
        "<b>0h 5m 0s</b><span>time played", "<b>75s</b><span>average match",
        "<b>50s</b><span>shortest match", "<b>100s</b><span>longest match"}) {
    EXPECT_NE(html.find(figure), std::string::npos) << figure;
  }
  EXPECT_NE(html.find("All matches in the log"), std::string::npos);
  EXPECT_NE(html.find("No streak counted"), std::string::npos);
}

TEST(HtmlReport, PageIsSelfContainedUnderAPolicyThatForbidsScripts) {
  const std::string html = page(kestrelSession().first());
  EXPECT_TRUE(html.starts_with("<!DOCTYPE html>\n"));
  EXPECT_TRUE(html.ends_with("</html>\n"));
  EXPECT_NE(html.find("<meta http-equiv=\"Content-Security-Policy\" "
                      "content=\"default-src 'none'; script-src 'none'; "),
            std::string::npos);
  for (const char* reference : {"http:", "https:", "//", "<script",
                                "src=", "href=", "url(", "@import"}) {
    EXPECT_EQ(html.find(reference), std::string::npos) << reference;
  }
  EXPECT_EQ(count(html, "<details>"), 1U);  // one per opponent
}

TEST(HtmlReport, OneHeatmapCellPerGridCellWithAResult) {
  // Three pairs of characters in the player's grid; the opponent's heatmap
  // shows the same four again.
  const Session session = kestrelSession();
  const std::string html = page(session.first());
  EXPECT_EQ(count(html, "<g class=\"cell\""), 3U + 3U);
  EXPECT_NE(html.find("<title>Sion vs Ciel: 2 wins, 0 losses (100.000%)"),
            std::string::npos);
  EXPECT_NE(html.find("<title>Hisui and Kohaku vs Ciel: 0 wins, 1 loss "
                      "(0.000%)"),
            std::string::npos);

  // A grid with a cell for every pair gives 23 x 23 cells; empty ones none.
  PlayerStats full;
  full.name = "Full";
  for (int cell = 0; cell < kMatchupCount; ++cell) {
    full.matchupWins[cell] = cell % 3;
    full.matchupLosses[cell] = cell % 2;
  }
  std::int32_t nonEmpty = 0;
  for (int cell = 0; cell < kMatchupCount; ++cell) {
    nonEmpty += full.matchupWins[cell] != 0 || full.matchupLosses[cell] != 0;
  }
  EXPECT_EQ(count(page(full), "<g class=\"cell\""),
            static_cast<std::size_t>(nonEmpty));
}

TEST(HtmlReport, HostileNamesAndBrokenBytesShowAsText) {
  Session session(kScriptName, kImageName);
  session.play(2, 0, 2, kNecoArc, kSion, 40);
  SessionHistory history;
  history.filters = {"opponent <b>x</b>"};
  history.sessions = {{1, "2026-11-02", kImageName, 0, 1, 0, 2, 40}};
  for (const PlayerStats& player : {session.first(), session.second()}) {
    const std::string html = page(player, history);
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("<img"), std::string::npos);
    EXPECT_EQ(html.find("<b>x</b>"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt;"),
              std::string::npos);
    EXPECT_NE(html.find("&lt;img src=x onerror=alert(1)&gt;"),
              std::string::npos);
  }

  Session broken("Ke\xFFstrel\xE2\x82", "Moth");
  broken.play(1, 2, 0, kSion, kCiel, 50);
  const std::string html = page(broken.first());
  EXPECT_EQ(html.find('\xFF'), std::string::npos);
  const std::string repaired = "Ke" + std::string(kReplacementCharacter) +
                               "strel" + std::string(kReplacementCharacter);
  EXPECT_NE(html.find("<h1>" + repaired + "</h1>"), std::string::npos);
  EXPECT_NE(html.find("<h3>" + repaired + " by character</h3>"),
            std::string::npos);
}

TEST(HtmlReport, ResultsOverTimeChartOneSessionOrOneDayPerPoint) {
  const Session session = kestrelSession();
  const PlayerStats player = session.first();
  EXPECT_NE(page(player).find("No dated session"), std::string::npos);

  SessionHistory history;
  history.streaks = {3, 1, 2, true};
  history.sessions = {{1, "2026-11-01", "Moth", 2, 1, 4, 2, 200},
                      {2, "", "Moth", 0, 0, 0, 0, 0},  // nothing passed
                      {3, "2026-11-02", "Moth", 1, 0, 2, 0, 50}};
  std::string html = page(player, history);
  EXPECT_EQ(count(html, "<circle"), 2U);
  EXPECT_NE(html.find("Session 1 (2026-11-01, vs Moth): 2 won, 1 lost "
                      "(66.667%)"),
            std::string::npos);
  EXPECT_NE(html.find("Longest winning streak: 3"), std::string::npos);
  EXPECT_NE(html.find("Current streak: 2 wins"), std::string::npos);

  // Past the limit, the sessions of a day make one point; undated ones none.
  history.sessions.clear();
  for (std::uint32_t i = 1; i <= kMaxSessionPoints + 1; ++i) {
    history.sessions.push_back(
        {i, i % 2 == 0 ? "2026-11-01" : "2026-11-03", "Moth", 1, 1, 2, 2, 90});
  }
  history.sessions.push_back({99, "", "Moth", 5, 0, 10, 0, 300});
  html = page(player, history);
  EXPECT_EQ(count(html, "<circle"), 2U);
  EXPECT_NE(html.find("2026-11-03: 21 won, 21 lost (50.000%)"),
            std::string::npos);
}

TEST(HtmlReport, WrappedCountsDrawNoNegativeShape) {
  PlayerStats player;
  player.name = "Wrapped";
  player.matchWins = -5;
  player.matchLosses = 2;
  player.charWins[kSion] = -5;
  player.charLosses[kSion] = 2;
  player.matchupWins[0] = -5;
  player.matchupLosses[0] = 2;
  player.lengthBuckets[3] = -4;
  player.lengthBuckets[4] = 2;
  const std::string html = page(player);
  EXPECT_EQ(html.find("height=\"-"), std::string::npos);
  EXPECT_EQ(html.find("width:-"), std::string::npos);
  EXPECT_EQ(count(html, "<g class=\"cell\""), 1U);
}

}  // namespace
}  // namespace sessionstats
