#include "report/overlay_page.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "report/html_page.h"
#include "stats/character_roster.h"

namespace sessionstats {
namespace {

// The overlay of `player` with `current` in progress, or between sessions
// after `last`.
std::string overlay(std::string_view player,
                    const std::optional<CurrentSession>& current,
                    const std::optional<CurrentSession>& last = {},
                    std::vector<std::string> filters = {}) {
  SessionHistory history;
  history.filters = std::move(filters);
  history.current = current;
  history.last = last;
  std::ostringstream out;
  writeOverlayPage(out, player, history);
  return out.str();
}

bool holds(const std::string& page, std::string_view text) {
  return page.find(text) != std::string::npos;
}

TEST(OverlayPage, ShowsTheSessionInProgressAndRefreshesWithoutScript) {
  CurrentSession current;
  current.opponent = "<b>Moth</b>";
  current.matchWins = 3;
  current.matchLosses = 2;
  current.roundWins = 7;
  current.roundLosses = 5;
  current.characters = {findCharacter("Hisui and Kohaku"),
                        findCharacter("Sion")};
  current.recordWins = 13;
  current.recordLosses = 8;
  current.streak = 2;
  current.streakIsWinning = true;
  current.lastResults = {false, true, true};
  const std::string page = overlay("Kes&trel", current);
  for (const std::string_view text : {
           std::string_view("<meta http-equiv=\"refresh\" content=\"1\">"),
           kHtmlContentSecurityPolicy,
           std::string_view("<bdi>Kes&amp;trel</bdi> <span "
                            "class=\"detail\">vs</span> <span "
                            "class=\"opponent\"><bdi>&lt;b&gt;Moth&lt;/b&gt;"),
           std::string_view("<span class=\"win\">3</span> - "
                            "<span class=\"loss\">2</span>"),
           std::string_view("Rounds <span class=\"win\">7</span> - "
                            "<span class=\"loss\">5</span>"),
           std::string_view("Streak: <span class=\"win\">2 wins</span>"),
           std::string_view("All-time vs <bdi>&lt;b&gt;Moth&lt;/b&gt;</bdi>: "
                            "<span class=\"win\">13</span> - "
                            "<span class=\"loss\">8</span>"),
           std::string_view("Last 3: <span class=\"mark loss\">L</span>"
                            "<span class=\"mark win\">W</span>"
                            "<span class=\"mark win\">W</span></div>"),
           std::string_view("Hisui and Kohaku, Sion</div>"),
           std::string_view("background:transparent"),
       }) {
    EXPECT_TRUE(holds(page, text)) << text;
  }
  EXPECT_FALSE(holds(page, "<script"));
  EXPECT_FALSE(holds(page, "<b>"));
  EXPECT_FALSE(holds(page, "Waiting for a session"));
  EXPECT_FALSE(holds(page, "Last session"));
  // Between sessions, the last one under its label.
  const std::string after = overlay("Kes&trel", std::nullopt, current);
  EXPECT_TRUE(holds(after, "Last session</div>\n<div class=\"players\">"));
  EXPECT_TRUE(holds(after, "Streak: <span class=\"win\">2 wins</span>"));
  EXPECT_FALSE(holds(after, "Waiting for a session"));

  current.streak = 1;
  current.streakIsWinning = false;
  EXPECT_TRUE(holds(overlay("Kestrel", current),
                    "Streak: <span class=\"loss\">1 loss</span>"));
  current.streak = 0;
  EXPECT_TRUE(holds(overlay("Kestrel", current), "Streak: none"));
  // The record counts what the filters keep, and says so; against the
  // opponent filtered for, it is the whole record.
  EXPECT_TRUE(
      holds(overlay("Kestrel", current, std::nullopt,
                    {"opponent Moth", "since 2026-11-02", "last 3 sessions"}),
            ">Since 2026-11-02, last 3 sessions vs <bdi>"));
  EXPECT_TRUE(
      holds(overlay("Kestrel", current, std::nullopt, {"opponent Moth"}),
            ">All-time vs <bdi>"));
}

TEST(OverlayPage, BetweenSessionsItWaits) {
  const std::string page = overlay("<Kestrel>", std::nullopt);
  EXPECT_TRUE(holds(page, "<bdi>&lt;Kestrel&gt;</bdi></div>"));
  // A title holds no element: marks isolate the name there.
  EXPECT_TRUE(holds(page, "<title>\u2068&lt;Kestrel&gt;\u2069</title>"));
  EXPECT_TRUE(holds(page, "Waiting for a session"));
  EXPECT_FALSE(holds(page, "Streak"));
  EXPECT_TRUE(holds(page, "http-equiv=\"refresh\""));
}

}  // namespace
}  // namespace sessionstats
