#include "report/html_opponents.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "report/html_chart.h"
#include "report/html_heatmap.h"
#include "report/html_table.h"
#include "report/report_format.h"

namespace sessionstats {
namespace {

// How many opponents, the most played, get a section of their own: enough
// for the regulars, few enough that a page of thousands of opponents stays
// small and quick to open.
constexpr std::size_t kOpponentSections = 30;

// An opponent with a result, as its row of the opponents table shows it:
// his totals, without the per-character counts.
struct OpponentRow : Score {
  const OpponentEntry* entry = nullptr;
  std::string_view name;
  std::int32_t totalSeconds = 0;
  std::uint32_t lastDate = kNoDate;  // packed; kNoDate: no session dated
};

// The opponents with a result, most matches first; equal ones in the order
// they were met.
std::vector<OpponentRow> opponentRows(const PlayerStats& player,
                                      const SessionHistory& history) {
  std::unordered_map<std::string_view, std::uint32_t> lastDates;
  for (const SessionSummary& session : history.sessions) {
    std::uint32_t& last = lastDates[session.opponent];
    last = std::max(last, session.date);  // kNoDate is below every date
  }
  std::vector<OpponentRow> rows;
  OpponentStats stats;
  for (const OpponentEntry& entry : player.opponents) {
    if (!hasMatches(entry)) continue;
    buildOpponentStats(entry, stats);
    const auto found = lastDates.find(stats.name);
    rows.push_back({stats, &entry, stats.name, stats.totalSeconds,
                    found == lastDates.end() ? kNoDate : found->second});
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const OpponentRow& a, const OpponentRow& b) {
                     return a.matches() > b.matches();
                   });
  return rows;
}

constexpr std::array<TableColumn, 8> kOpponentColumns{{
    {"Opponent", CellKind::kText},
    {"Matches"},
    {"Won"},
    {"Lost"},
    {"Win rate", CellKind::kRate},
    {"Rounds", CellKind::kCount, Narrow::kHide},
    {"Time played", CellKind::kCount, Narrow::kHide},
    {"Last met", CellKind::kText, Narrow::kHide},
}};

void writeOpponentTable(HtmlPage& page, const std::vector<OpponentRow>& rows,
                        PageReader reader) {
  page.raw(
      "<section class=\"far\">\n<p class=\"note\">Sorted by matches, most "
      "first; the sections below follow the same order, each with the share "
      "of matches won by the character played (rows) and faced (columns), "
      "and over all characters (the last row and column).</p>\n");
  HtmlTable table(page, "opps sticky", kOpponentColumns);
  for (const OpponentRow& row : rows) {
    table.name(row.name)
        .results(row.matchWins, row.matchLosses)
        .rounds(row.roundWins, row.roundLosses)
        .cell()
        .duration(row.totalSeconds);
    if (row.lastDate == kNoDate) {
      table.cell().raw("–");
    } else {
      table.cell().put(kMaxStampLength, writeDate, row.lastDate);
    }
    table.endRow();
    page.mayFlush();
  }
  table.end();
  if (rows.size() > kOpponentSections) {
    page.raw("<p class=\"note\">Only the ")
        .count(kOpponentSections)
        .raw(" most played of these ")
        .count(static_cast<std::int64_t>(rows.size()))
        .raw(reader == PageReader::kDoubleClick
                 ? " opponents have a section below; session_stats.txt, "
                   "written beside this page, has one for each of them.</p>\n"
                 : " opponents have a section below. For any other one's, run "
                   "session-stats again with <code>--opponent "
                   "NAME</code>.</p>\n");
  }
  page.raw("</section>\n");
}

void writeOpponentSection(HtmlPage& page, const OpponentStats& opponent,
                          std::uint32_t lastDate) {
  const std::int64_t matches = opponent.matches();
  page.raw("<details class=\"opp\">\n<summary>")
      .name(opponent.name)
      .raw("<small>")
      .count(matches)
      .raw(matches == 1 ? " match, " : " matches, ")
      .count(opponent.matchWins)
      .raw(" won, ")
      .count(opponent.matchLosses)
      .raw(" lost, ")
      .winRate(opponent.matchWins, opponent.matchLosses)
      .raw("</small></summary>\n<p class=\"note\">Time played ")
      .duration(opponent.totalSeconds)
      .raw(" · average ");
  page.put(kMaxAverageLength, formatAverage, opponent.totalSeconds, matches)
      .raw("s · rounds ")
      .count(opponent.roundWins)
      .raw(" won, ")
      .count(opponent.roundLosses)
      .raw(" lost");
  if (lastDate != kNoDate) {
    page.raw(" · last met ").put(kMaxStampLength, writeDate, lastDate);
  }
  page.raw("</p>\n");
  const HeatmapTotals totals{opponent.charWins, opponent.charLosses,
                             opponent.oppCharLosses, opponent.oppCharWins};
  writeHeatmap(page, opponent.matchupWins, opponent.matchupLosses, &totals);
  page.raw("</details>\n");
}

}  // namespace

// The opponents are summed once for the table and again, one at a time
// into one OpponentStats, for their sections, so thousands of opponents
// need memory only for their totals.
void writeOpponents(HtmlPage& page, const PlayerStats& player,
                    const SessionHistory& history, PageReader reader) {
  page.raw("<h2 class=\"opponents\">Opponents</h2>\n");
  const std::vector<OpponentRow> rows = opponentRows(player, history);
  if (rows.empty()) {
    page.raw("<p class=\"note\">No opponent with a result.</p>\n");
    return;
  }
  writeOpponentTable(page, rows, reader);
  OpponentStats opponent;
  const std::size_t sections = std::min(rows.size(), kOpponentSections);
  for (std::size_t i = 0; i < sections; ++i) {
    buildOpponentStats(*rows[i].entry, opponent);
    writeOpponentSection(page, opponent, rows[i].lastDate);
    page.mayFlush();
  }
}

}  // namespace sessionstats
