#include "report/html_recent_sessions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "report/html_page.h"
#include "stats/character_roster.h"
#include "stats/match_log.h"

namespace sessionstats {
namespace {

std::string section(const SessionHistory& history) {
  std::ostringstream out;
  HtmlPage page(out);
  writeRecentSessions(page, history);
  page.flush();
  return out.str();
}

// Sessions 1..count, each on its own day of November against "Moth 1"..
SessionHistory sessions(std::uint32_t count) {
  static std::string names[kRecentSessions + 1];
  SessionHistory history;
  for (std::uint32_t i = 1; i <= count; ++i) {
    std::string& name = names[i % (kRecentSessions + 1)];
    name = "Moth " + std::to_string(i);
    history.sessions.push_back({.ordinal = i,
                                .date = parseDate("2026-11-01") + i - 1,
                                .opponent = name});
  }
  return history;
}

std::size_t rows(const std::string& html) {
  std::size_t found = 0;
  for (std::size_t at = html.find("<tr><td>"); at != std::string::npos;
       at = html.find("<tr><td>", at + 1)) {
    ++found;
  }
  return found;
}

TEST(HtmlRecentSessions, TheLastSessionsNewestFirst) {
  const std::string html = section(sessions(kRecentSessions + 1));
  EXPECT_NE(html.find("The last 20 of 21 sessions"), std::string::npos);
  EXPECT_EQ(rows(html), kRecentSessions);
  EXPECT_LT(html.find("<bdi>Moth 21</bdi>"), html.find("<bdi>Moth 20</bdi>"));
  EXPECT_NE(html.find("<bdi>Moth 2</bdi>"), std::string::npos);
  EXPECT_EQ(html.find("<bdi>Moth 1</bdi>"), std::string::npos);
  const std::string all = section(sessions(kRecentSessions));
  EXPECT_NE(all.find("Every session, the newest first"), std::string::npos);
  EXPECT_EQ(rows(all), kRecentSessions);
}

TEST(HtmlRecentSessions, ARowShowsTheSessionAsPlayed) {
  SessionHistory history;
  const std::uint32_t own =
      (1U << findCharacter("Sion")) | (1U << findCharacter("Hisui and Kohaku"));
  history.sessions.push_back(
      {.ordinal = 1,
       .date = parseDate("2026-11-02"),
       .opponent = "<b>Moth",
       .matchWins = 3,
       .matchLosses = 1,
       .roundWins = 7,
       .roundLosses = 3,
       .seconds = 305,
       .time = parseTime("20:06:13"),
       .ownCharacters = own,
       .opposingCharacters = 1U << findCharacter("Len")});
  history.sessions.push_back({.ordinal = 2, .opponent = "Wren"});
  history.sessions.push_back(
      {.ordinal = 3, .date = parseDate("2026-11-03"), .opponent = "Heron"});
  EXPECT_NE(
      section(history).find(
          "<tr><td>2026-11-02 20:06:13</td><td><bdi>&lt;b&gt;Moth</bdi>"
          "</td><td>3–1</td><td>7–3</td><td>0h 5m 5s</td><td>Sion, H&amp;K "
          "vs Len</td></tr>"),
      std::string::npos);
  EXPECT_NE(section(history).find("<tr><td>–</td><td><bdi>Wren</bdi>"),
            std::string::npos);
  EXPECT_NE(section(history).find("<tr><td>2026-11-03</td><td><bdi>Heron"),
            std::string::npos);
}

}  // namespace
}  // namespace sessionstats
