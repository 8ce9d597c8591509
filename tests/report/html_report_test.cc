#include "report/html_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "report/html_chart.h"
#include "report/html_page.h"
#include "report/utf8.h"
#include "stats/character_roster.h"
#include "stats/session_history.h"
#include "stats/win_rate_interval.h"
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

std::string page(const PlayerStats& player, const SessionHistory& history = {},
                 const Insights& insights = {}) {
  std::ostringstream out;
  writeHtmlReportStart(out, player, history);
  writeHtmlReportEnd(out, player, history, insights);
  return out.str();
}

// The section of `html` whose id is `id`.
std::string section(const std::string& html, const std::string& id) {
  const std::size_t at = html.find("<section class=\"far\" id=\"" + id);
  return html.substr(at, html.find("</section>", at) - at);
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

TEST(HtmlReport, HeaderShowsTheTotalsAsFiguresForPeople) {
  const std::string html = page(kestrelSession().first());
  EXPECT_NE(html.find("<h1><bdi>Kestrel</bdi></h1>"), std::string::npos);
  for (const char* figure :
       {"<b>4</b><span>matches", "<b>75.0%</b><span>win rate",
        "<b>3 / 1</b><span>won / lost", "<b>7 / 3</b><span>rounds won / lost",
        "<b>0h 5m 0s</b><span>time played", "<b>75s</b><span>average match",
        "<b>50s</b><span>shortest match", "<b>100s</b><span>longest match"}) {
    EXPECT_NE(html.find(figure), std::string::npos) << figure;
  }
  EXPECT_NE(html.find("All matches in the log"), std::string::npos);
  EXPECT_NE(html.find("No streak counted"), std::string::npos);

  // Thousands separators, also in hours; a selection without a match shows
  // no rate and no average.
  PlayerStats big;
  big.name = "Big";
  big.matchWins = 153251;
  big.matchLosses = 1999;
  big.totalSeconds = 2147483647;
  std::string shown = page(big);
  for (const char* figure :
       {"<b>155,250</b><span>matches", "<b>153,251 / 1,999</b>",
        "<b>596,523h 14m 7s</b><span>time played"}) {
    EXPECT_NE(shown.find(figure), std::string::npos) << figure;
  }
  PlayerStats none;
  none.name = "None";
  shown = page(none);
  EXPECT_NE(shown.find("<b>–</b><span>win rate"), std::string::npos);
  EXPECT_NE(shown.find("<b>–</b><span>average match"), std::string::npos);
  EXPECT_EQ(shown.find("0.0%"), std::string::npos);
}

TEST(HtmlReport, PageIsSelfContainedUnderAPolicyThatForbidsScripts) {
  const std::string html = page(kestrelSession().first());
  EXPECT_TRUE(html.starts_with("<!DOCTYPE html>\n"));
  EXPECT_TRUE(html.ends_with("</html>\n"));
  EXPECT_NE(html.find("<meta http-equiv=\"Content-Security-Policy\" "
                      "content=\"default-src 'none'; script-src 'none'; "),
            std::string::npos);
  for (const char* reference : {"http:", "https:", "//", "<script", "src=",
                                "href=", "url(", "@import", " style="}) {
    EXPECT_EQ(html.find(reference), std::string::npos) << reference;
  }
  EXPECT_EQ(count(html, "<details class=\"opp\">"), 1U);  // one per opponent
}

// The win rates' colours: orange for losses and purple for wins, each
// fading toward near white in the middle, in light text exactly where the
// colour is dark (WCAG 2 relative luminance below 0.18).
TEST(HtmlReport, WinRateStepsFadeTowardTheMiddleAndDarkOnesTakeLightText) {
  const std::string html = page(kestrelSession().first());
  constexpr std::array<double, 3> kWeights = {0.2126, 0.7152, 0.0722};
  std::vector<int> sums;
  for (int step = 0; step <= kRateSteps; ++step) {
    const std::string rule = ".q" + std::to_string(step) + "{background:#";
    const std::size_t at = html.find(rule);
    ASSERT_NE(at, std::string::npos) << step;
    const std::size_t hex = at + rule.size();
    int sum = 0;
    double luminance = 0;
    for (std::size_t c = 0; c < kWeights.size(); ++c) {
      const int channel = std::stoi(html.substr(hex + 2 * c, 2), nullptr, 16);
      sum += channel;
      const double value = channel / 255.0;
      luminance += kWeights[c] * (value <= 0.04045
                                      ? value / 12.92
                                      : std::pow((value + 0.055) / 1.055, 2.4));
    }
    sums.push_back(sum);
    const std::string body = html.substr(hex, html.find('}', hex) - hex);
    EXPECT_EQ(body.ends_with(";color:var(--white)"), luminance < 0.18) << step;
  }
  for (int step = 0; step < kRateSteps / 2; ++step) {
    EXPECT_LE(sums[step], sums[step + 1]) << step;
    EXPECT_LE(sums[kRateSteps - step], sums[kRateSteps - step - 1]) << step;
  }
}

TEST(HtmlReport, OneHeatmapCellPerGridCellWithAResult) {
  // Three pairs of characters in the player's grid; the opponent's heatmap
  // shows the same three again.
  const Session session = kestrelSession();
  const std::string html = page(session.first());
  EXPECT_EQ(count(html, "<td class=q"), 3U + 3U);
  EXPECT_NE(
      html.find(
          "tabindex=0 title=\"Sion vs Ciel: 2 wins, 0 losses (100.0%)\">100"),
      std::string::npos);
  EXPECT_NE(
      html.find("tabindex=0 title=\"Hisui and Kohaku vs Ciel: 0 wins, 1 loss "
                "(0.0%)\">0"),
      std::string::npos);
  // The opponent's grid, drawn the same way, and the totals by character.
  EXPECT_NE(html.find("<tr><th>Sion<td><td class=q20 tabindex=0 title=\"Sion "
                      "vs Ciel: 2 wins, 0 losses (100.0%)\">100<th class=q20 "
                      "tabindex=0 title=\"Sion vs All: 2 wins, 0 losses "
                      "(100.0%)\">100\n"),
            std::string::npos);
  EXPECT_NE(html.find("<tr class=\"all\"><th>All<th class=q20 tabindex=0 "
                      "title=\"All vs Sion: 1 win, 0 losses (100.0%)\">"),
            std::string::npos);
  // The player's heatmap, first, has the legend; the opponent's its totals.
  const std::size_t own = html.find("<table class=\"heat sticky\">");
  const std::size_t legend = html.find("<p class=\"legend\">");
  const std::size_t totals = html.find("<table class=\"heat totals sticky\">");
  EXPECT_LT(own, legend);
  EXPECT_LT(legend, totals);
  EXPECT_EQ(count(html, "<p class=\"legend\">"), 1U);

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
  const std::string fullPage = page(full);
  EXPECT_EQ(count(fullPage, "<td class=q"), static_cast<std::size_t>(nonEmpty));
  // Each run of empty cells in a row is one cell spanning them.
  std::size_t emptyRuns = 0;
  for (int cell = 0; cell < kMatchupCount; ++cell) {
    const bool empty =
        full.matchupWins[cell] == 0 && full.matchupLosses[cell] == 0;
    const bool runStarts = cell % kCharacterCount == 0 ||
                           full.matchupWins[cell - 1] != 0 ||
                           full.matchupLosses[cell - 1] != 0;
    emptyRuns += empty && runStarts;
  }
  EXPECT_EQ(count(fullPage, "<td>") + count(fullPage, "<td colspan="),
            emptyRuns);
}

TEST(HtmlReport, HostileNamesAndBrokenBytesShowAsText) {
  Session session(kScriptName, kImageName);
  session.play(2, 0, 2, kNecoArc, kSion, 40);
  SessionHistory history;
  history.filters = {"opponent <b>x</b>"};
  history.sessions = {
      {{0, 1, 0, 2}, 1, parseDate("2026-11-02"), kImageName, 40}};
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

  Session broken("Ke\xFFstrel\xE2\x82", "Mo\xC0th");
  broken.play(1, 2, 0, kSion, kCiel, 50);
  const std::string html = page(broken.first());
  EXPECT_EQ(html.find('\xFF'), std::string::npos);
  const std::string bad(kReplacementCharacter);
  EXPECT_NE(html.find("<h1><bdi>Ke" + bad + "strel" + bad + "</bdi></h1>"),
            std::string::npos);
  EXPECT_NE(html.find("<tr><td><bdi>Mo" + bad + "th</bdi></td>"),
            std::string::npos);
  EXPECT_NE(html.find("<summary><bdi>Mo" + bad + "th</bdi><small>"),
            std::string::npos);
}

// Kestrel meets Moth once, Wren three times and Heron twice, in that order;
// the table and the sections list Wren, Heron, Moth.
TEST(HtmlReport, OpponentsTableAndSectionsMostMatchesFirst) {
  StatsRecords records;
  const auto meet = [&records](const char* opponent, int matches) {
    const MatchRecords session =
        findOrAddMatchRecords(records, "Kestrel", opponent);
    for (int i = 0; i < matches; ++i) {
      recordMatch(records, session, {1, 2, 0, kSion, kCiel, 1000});
    }
  };
  meet("Moth", 1);
  meet("Wren", 3);
  meet("Heron", 2);
  // Then enough others, once each, that the last ones get no section.
  // Names appended piece by piece: GCC 12 warns falsely (-Wrestrict) about
  // "X" + std::string at -O2.
  const auto other = [](std::size_t i) {
    std::string name = "X";
    name += std::to_string(i);
    return name;
  };
  const std::size_t others = 30;  // the most played have a section
  for (std::size_t i = 1; i <= others; ++i) meet(other(i).c_str(), 1);
  SessionHistory history;
  history.sessions = {
      {{1, 0, 2, 0}, 1, parseDate("2026-11-02"), "Moth", 1000},
      {{3, 0, 6, 0}, 2, parseDate("2026-11-03"), "Wren", 3000},
      {{1, 0, 2, 0}, 3, parseDate("2026-11-05"), "Heron", 1000},
      {{1, 0, 2, 0}, 4, parseDate("2026-11-04"), "Heron", 1000}};
  const std::string html =
      page(buildPlayerStats(*records.findPlayer("Kestrel")), history);
  const std::size_t table = html.find("<table class=\"opps sticky\">");
  ASSERT_NE(table, std::string::npos);
  EXPECT_NE(html.find("Sorted by matches, most first"), std::string::npos);
  std::vector<std::size_t> rows;
  std::vector<std::size_t> sections;
  for (const char* name : {"Wren", "Heron", "Moth"}) {
    rows.push_back(html.find(std::string("<tr><td><bdi>") + name, table));
    sections.push_back(html.find(std::string("<summary><bdi>") + name));
  }
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
  EXPECT_TRUE(std::is_sorted(sections.begin(), sections.end()));
  EXPECT_LT(rows.back(), sections.front());
  // Wren's row: matches, won, lost, the bar, rounds, time and last date.
  EXPECT_NE(
      html.find("<tr><td><bdi>Wren</bdi></td><td>3</td><td>3</td><td>0</td><td "
                "class=\"rate\"><div class=\"bar\"><i><b "
                "class=\"w100\"></b></i><em>100.0%</em></div></td>"
                "<td class=\"o\">6 / 0</td><td class=\"o\">0h 50m 0s</td>"
                "<td class=\"t o\">2026-11-03</td>"),
      std::string::npos);
  EXPECT_NE(html.find("<td class=\"t o\">2026-11-05</td>"),
            std::string::npos);  // Heron
  EXPECT_NE(html.find("lost · last met 2026-11-05</p>"), std::string::npos);
  // Sections for the most played only: the rest are rows, and a line says
  // how to see them.
  EXPECT_EQ(count(html, "<details class=\"opp\">"), 30U);
  const std::string lastWithSection = other(others - 3);
  const std::string firstWithout = other(others - 2);
  EXPECT_NE(html.find("<summary><bdi>" + lastWithSection + "</bdi><small>"),
            std::string::npos);
  EXPECT_EQ(html.find("<summary><bdi>" + firstWithout + "</bdi><small>"),
            std::string::npos);
  EXPECT_NE(html.find("<tr><td><bdi>" + firstWithout + "</bdi></td>"),
            std::string::npos);
  EXPECT_NE(html.find("Only the 30 most played of these 33 opponents have a "
                      "section below. For any other one's, run session-stats "
                      "again with <code>--opponent NAME</code>."),
            std::string::npos);
  // As many opponents as get a section: each has his, and no note.
  StatsRecords thirty;
  for (std::size_t i = 1; i <= others; ++i) {
    recordMatch(thirty,
                findOrAddMatchRecords(thirty, "Kestrel", other(i).c_str()),
                {1, 2, 0, kSion, kCiel, 1000});
  }
  const std::string all = page(buildPlayerStats(*thirty.findPlayer("Kestrel")));
  EXPECT_EQ(count(all, "<details class=\"opp\">"), others);
  EXPECT_EQ(all.find("Only the"), std::string::npos);
  // A double click gives no console: the page points to the text report.
  std::ostringstream clicked;
  writeHtmlReportEnd(clicked, buildPlayerStats(*records.findPlayer("Kestrel")),
                     history, {}, PageReader::kDoubleClick);
  EXPECT_NE(clicked.str().find("of these 33 opponents have a section below; "
                               "session_stats.txt, written beside this page, "
                               "has one for each of them."),
            std::string::npos);
  EXPECT_EQ(clicked.str().find("--opponent"), std::string::npos);
}

TEST(HtmlReport, MatchupsThatMatterShowTheirWilsonInterval) {
  // Sion vs Ciel 15-5 (20 matches) is shown; Sion vs Sion 19-0 is not, as
  // are the matchups of 2 matches.
  Session session("Kestrel", "Moth");
  for (int i = 0; i < 20; ++i) {
    session.play(i < 15 ? 1 : 2, 2, 1, kSion, kCiel, 60);
  }
  for (int i = 0; i < 19; ++i) session.play(1, 2, 0, kSion, kSion, 60);
  session.play(2, 0, 2, kNecoArc, kCiel, 60);
  session.play(2, 0, 2, kNecoArc, kCiel, 60);
  const std::string html = page(session.first());
  const WinRateInterval interval = wilsonInterval(15, 5);
  ASSERT_NEAR(interval.low, 53.1, 0.05);
  ASSERT_NEAR(interval.high, 88.8, 0.05);
  EXPECT_NE(html.find("<tr><td>Sion vs Ciel</td><td>20</td><td>15</td><td>5"
                      "</td>"),
            std::string::npos);
  EXPECT_NE(html.find("<td class=\"b\">53.1% – 88.8%</td>"), std::string::npos);
  EXPECT_EQ(html.find("<tr><td>Sion vs Sion</td>"), std::string::npos);
  EXPECT_EQ(html.find("<tr><td>Neco-Arc vs Ciel</td>"), std::string::npos);
  EXPECT_EQ(count(html, "<table class=\"matchups sticky fold\">"), 1U);
  // A matchup of 20 matches all lost counts too.
  Session lost("Kestrel", "Moth");
  for (int i = 0; i < 20; ++i) lost.play(2, 0, 2, kNecoArc, kSion, 60);
  EXPECT_NE(page(lost.first())
                .find("<tr><td>Neco-Arc vs Sion</td><td>20</td>"
                      "<td>0</td>"),
            std::string::npos);

  EXPECT_NE(page(kestrelSession().first()).find("No matchup has 20 matches"),
            std::string::npos);
}

TEST(HtmlReport, LengthChartEndsWhereTheMatchesDo) {
  PlayerStats player;
  player.name = "Lengths";
  player.matchWins = 1000;
  for (int band = 1; band <= 7; ++band) player.lengthBuckets[band] = 100;
  // Up to 210-239 s: eight bands, the last one closed.
  std::string html = page(player);
  EXPECT_EQ(count(html, " seconds: 100 matches</title>"), 7U);
  EXPECT_NE(html.find("<title>210 to 239 seconds"), std::string::npos);
  EXPECT_EQ(html.find("<title>240 to"), std::string::npos);
  EXPECT_EQ(html.find("+</text>"), std::string::npos);
  // Ticks of 20 up to 100: five steps, as many as an axis takes.
  EXPECT_NE(html.find(">20</text>"), std::string::npos);
  // Two rare long matches make one band "240+" of them.
  player.lengthBuckets[12] = 1;
  player.lengthBuckets[kLengthBucketCount - 1] = 1;
  html = page(player);
  EXPECT_NE(html.find("<title>240+ seconds: 2 matches</title>"),
            std::string::npos);
  EXPECT_NE(html.find(">240+</text>"), std::string::npos);
  EXPECT_EQ(html.find("<title>270 to"), std::string::npos);
}

TEST(HtmlReport, ResultsOverTimeChartOnePointPerSession) {
  const Session session = kestrelSession();
  const PlayerStats player = session.first();
  EXPECT_NE(page(player).find("No dated session"), std::string::npos);

  SessionHistory history;
  history.streaks = {3, 1, 2, true};
  history.sessions = {{{2, 1, 4, 2}, 1, parseDate("2026-11-01"), "Moth", 200},
                      {{0, 0, 0, 0}, 2, kNoDate, "Moth", 0},  // nothing passed
                      {{1, 0, 2, 0}, 3, parseDate("2026-11-02"), "Moth", 50}};
  const std::string html = page(player, history);
  EXPECT_EQ(count(html, "<circle"), 2U);
  // The opponent's name is isolated, as a title holds no element.
  EXPECT_NE(html.find("Session 1 (\u20682026-11-01, vs Moth\u2069): 2 won, "
                      "1 lost (66.7%)"),
            std::string::npos);
  EXPECT_EQ(html.find("class=\"trend\""), std::string::npos);
  EXPECT_NE(html.find("Longest winning streak: 3"), std::string::npos);
  EXPECT_NE(html.find("Current streak: 2 wins"), std::string::npos);
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
  EXPECT_EQ(html.find("class=\"w-"), std::string::npos);
  EXPECT_EQ(html.find("class=q-"), std::string::npos);
  EXPECT_EQ(count(html, "<td class=q"), 1U);
}

// Sessions 1..count, each on its own day against "Moth 1".."Moth count",
// whose names `names` holds.
SessionHistory numberedSessions(std::uint32_t count,
                                std::vector<std::string>& names) {
  names.resize(count);
  SessionHistory history;
  for (std::uint32_t i = 1; i <= count; ++i) {
    names[i - 1] = "Moth " + std::to_string(i);
    history.sessions.push_back(
        {{}, i, parseDate("2026-11-01") + i - 1, names[i - 1]});
  }
  return history;
}

TEST(HtmlReport, RecentSessionsTheLastTwentyNewestFirst) {
  std::vector<std::string> names;
  std::string html = section(page({}, numberedSessions(21, names)), "recent");
  EXPECT_NE(html.find("The last 20 of 21 sessions"), std::string::npos);
  EXPECT_EQ(count(html, "<tr><td>"), 20U);
  EXPECT_LT(html.find("<bdi>Moth 21</bdi>"), html.find("<bdi>Moth 20</bdi>"));
  EXPECT_NE(html.find("<bdi>Moth 2</bdi>"), std::string::npos);
  EXPECT_EQ(html.find("<bdi>Moth 1</bdi>"), std::string::npos);
  html = section(page({}, numberedSessions(20, names)), "recent");
  EXPECT_NE(html.find("Every session, the newest first"), std::string::npos);
  EXPECT_EQ(count(html, "<tr><td>"), 20U);

  // A row shows the session as played; a missing date or time is left out.
  SessionHistory history;
  const std::uint32_t own =
      (1U << findCharacter("Sion")) | (1U << findCharacter("Hisui and Kohaku"));
  // Matches and rounds won and lost, the ordinal, the date, the opponent,
  // the seconds, the time and the characters of each side.
  history.sessions.push_back({{3, 1, 7, 3},
                              1,
                              parseDate("2026-11-02"),
                              "<b>Moth",
                              305,
                              parseTime("20:06:13"),
                              own,
                              1U << findCharacter("Len")});
  history.sessions.push_back({{}, 2, kNoDate, "Wren"});
  history.sessions.push_back({{}, 3, parseDate("2026-11-03"), "Heron"});
  html = section(page({}, history), "recent");
  for (const char* row :
       {"<tr><td>2026-11-02 20:06:13</td><td class=\"t\"><bdi>&lt;b&gt;Moth"
        "</bdi></td><td>3–1</td><td class=\"o\">7–3</td><td class=\"o\">0h 5m "
        "5s</td><td class=\"t b\">Sion, H&amp;K vs Len</td></tr>",
        "<tr><td>–</td><td class=\"t\"><bdi>Wren</bdi>",
        "<tr><td>2026-11-03</td><td class=\"t\"><bdi>Heron"}) {
    EXPECT_NE(html.find(row), std::string::npos) << row;
  }
}

// The effect on the log-odds that gives an even match `percent` won.
double logitOf(double percent) { return std::log(percent / (100 - percent)); }

ConditionEffect level(int from, int to, std::int64_t matches, double percent) {
  ConditionEffect effect;
  effect.from = from;
  effect.to = to;
  effect.matches = matches;
  effect.wins = matches / 2;
  effect.losses = matches - matches / 2;
  if (matches > 0) {
    effect.logit = logitOf(percent);
    effect.logitLow = logitOf(percent - 5);
    effect.logitHigh = logitOf(percent + 5);
    effect.points = percent - 50;
    effect.pointsLow = percent - 55;
    effect.pointsHigh = percent - 45;
    effect.clear = matches >= 30 && std::abs(percent - 50) > 5;
  }
  return effect;
}

std::string insightsOf(const Insights& insights) {
  return section(page({}, {}, insights), "insights");
}

Insights twoMonths() {
  Insights insights;
  insights.matches = 42;
  insights.form = {{.month = 202512,
                    .matches = 40,
                    .wins = 30,
                    .losses = 10,
                    .form = 0.6,
                    .formLow = 0.5,
                    .formHigh = 0.7},
                   {.month = 202601,
                    .matches = 2,
                    .wins = 0,
                    .losses = 2,
                    .form = 0.4,
                    .formLow = 0.2,
                    .formHigh = 0.55}};
  insights.formChange = {{.fromMonth = 202512,
                          .toMonth = 202601,
                          .points = 20,
                          .pointsLow = 5,
                          .pointsHigh = 35,
                          .clear = true}};
  insights.afterLoss = level(0, 0, 30, 25);
  insights.sessionStage = {level(1, 5, 400, 50), level(6, 10, 100, 60),
                           level(11, 20, 29, 70), level(21, 0, 40, 65)};
  insights.timeOfDay = {level(0, 6, 0, 0), level(6, 12, 1, 40),
                        level(12, 18, 50, 45), level(18, 24, 300, 50)};
  return insights;
}

// The four answers lead; each condition with matches in plain words, a
// figure from 30 matches on, the difference told only where it is clear.
TEST(HtmlReport, InsightsAnswersAndConditionsInPlainWords) {
  Insights insights = twoMonths();
  insights.matches = 600;
  insights.characters = {level(4, 0, 120, 60)};
  const std::string html = insightsOf(insights);
  for (const char* row : {
           "<li><strong>Am I improving?</strong> Yes: since 2025-12 your form "
           "rose by 20 points <span class=\"nowrap\">(5–35)</span>.</li>",
           "<li><strong>Do I play worse after a loss?</strong> Yes: after a "
           "loss you win 25 points fewer <span class=\"nowrap\">(20–30)"
           "</span>.</li>",
           "<li><strong>Should I stop after some matches in a session?"
           "</strong> No clear sign.</li>",
           "<li><strong>Am I worse at some hours?</strong> No clear "
           "sign.</li>",
           "<tr><td>After a loss you win 25 points fewer <span "
           "class=\"nowrap\">(20–30)</span>.</td>"
           "<td>30</td><td>15</td><td>15</td><td>−25</td>"
           "<td>−30 to −20</td></tr>",
           "<td>In matches 1–5 of a session: no clear difference.</td>"
           "<td>400</td><td>200</td><td>200</td><td>0</td><td>−5 to +5</td>",
           "<td>In matches 6–10 of a session you win 10 points more "
           "<span class=\"nowrap\">(5–15)</span>.</td>",
           "<td>In matches 11–20 of a session: too little to tell from 29 "
           "matches.</td><td>29</td><td>14</td><td>15</td><td>–</td>"
           "<td>–</td></tr>",
           "<td>From match 21 of a session on you win 15 points more "
           "<span class=\"nowrap\">(10–20)</span>.</td>",
           "<td>Between 06:00 and 12:00: too little to tell from 1 match.</td>",
           "<td>Between 12:00 and 18:00: no clear difference.</td>",
           "<td>With Hisui and Kohaku you win 10 points more <span "
           "class=\"nowrap\">(5–15)</span>.</td><td>120</td>",
       }) {
    EXPECT_NE(html.find(row), std::string::npos) << row;
  }
  EXPECT_EQ(html.find("Between 00:00"), std::string::npos);
  EXPECT_LT(html.find("Am I improving?"), html.find("<svg"));
  EXPECT_LT(html.find("Between 18:00"), html.find("Your characters"));

  // A log of few matches gets one sentence.
  insights.matches = 40;
  EXPECT_NE(insightsOf(insights).find(
                "<p class=\"note\">Your 40 dated matches are too few to tell "
                "your form or what changes your results from; 160 more will "
                "do.</p>"),
            std::string::npos);
}

// The form and its band beside the share won, month by month.
TEST(HtmlReport, InsightsFormChartShowsEachMonthBesideTheShareWon) {
  Insights insights = twoMonths();
  insights.matches = 600;
  const std::string html = insightsOf(insights);
  EXPECT_NE(html.find("<title>2025-12: form 60.0% (50.0% – 70.0%); 30 won, "
                      "10 lost (75.0%)</title>"),
            std::string::npos);
  // The month of 2 matches is faint, out of the lines.
  EXPECT_NE(html.find("class=\"q8 faint\""), std::string::npos);
  EXPECT_NE(html.find("0 won, 2 lost (0.0%), only 2 matches</title>"),
            std::string::npos);
  const ChartFrame frame = chartFrame(kRateAxisTop, "%");
  const auto point = [&](std::size_t i, double percent) {
    return std::to_string(pointX(frame, i, 2)) + "," +
           std::to_string(rateY(percent)) + " ";
  };
  EXPECT_NE(html.find("class=\"band\" points=\"" + point(0, 70) + point(1, 55) +
                      point(1, 20) + point(0, 50) + "\""),
            std::string::npos);
  EXPECT_NE(html.find("class=\"raw\" points=\"" + point(0, 75) + "\"/>"),
            std::string::npos);
  EXPECT_NE(html.find("class=\"form\" points=\"" + point(0, 60) + "\"/>"),
            std::string::npos);
  EXPECT_NE(html.find(">2026-01</text>"), std::string::npos);

  // Eleven months have room for a label each, twelve for every second one;
  // the first and last points stand as far inside the plot.
  for (const std::uint32_t months : {11U, 12U}) {
    Insights year;
    year.matches = 1000;
    for (std::uint32_t month = 1; month <= months; ++month) {
      year.form.push_back({.month = 202600 + month, .wins = 1});
    }
    const std::string labels = insightsOf(year);
    EXPECT_NE(labels.find(">2026-01</text>"), std::string::npos);
    EXPECT_NE(labels.find(">2026-03</text>"), std::string::npos);
    EXPECT_EQ(labels.find(">2026-02</text>") != std::string::npos, months == 11)
        << months;
  }
  EXPECT_EQ(pointX(frame, 0, 11) - frame.left,
            frame.left + frame.width() - pointX(frame, 10, 11));
  EXPECT_NE(insightsOf({}).find("No dated match"), std::string::npos);
}

}  // namespace
}  // namespace sessionstats
