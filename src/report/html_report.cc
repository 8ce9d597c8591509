#include "report/html_report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "report/html_escape.h"
#include "report/report_format.h"
#include "report/win_rate_colour.h"
#include "stats/character_roster.h"
#include "stats/tally.h"

namespace sessionstats {
namespace {

// The page is built in a string and handed to the stream whenever it holds
// this much, so a report with thousands of opponents needs no more memory
// than one chunk.
constexpr std::size_t kChunkSize = std::size_t{1} << 16;

// Narrow screens keep the name, matches and win-rate bar of each character
// and scroll the charts sideways; print shows every opponent's section,
// folded or not, in a block of its own, since a browser that does not know
// ::details-content drops the whole block around it.
constexpr std::string_view kStyle = R"(
:root{--ink:#1f2330;--muted:#5d6475;--line:#dfe2ea;--page:#f3f4f8;--card:#fff;
--winbar:#7b68b5;--lossbar:#f1a340}
*{box-sizing:border-box}
body{margin:0;background:var(--page);color:var(--ink);
font:15px/1.5 system-ui,-apple-system,"Segoe UI",Roboto,"Noto Sans",sans-serif}
main{max-width:1100px;margin:0 auto;padding:16px}
header.top{background:linear-gradient(135deg,#2d1b4e,#542788);color:#fff;
border-radius:14px;padding:20px 22px;margin-bottom:16px}
.kicker{margin:0;font-size:12px;letter-spacing:.12em;text-transform:uppercase;opacity:.8}
h1{margin:2px 0 6px;font-size:34px;line-height:1.15;overflow-wrap:anywhere}
.filters{margin:0 0 14px;opacity:.9}
.figures{display:grid;grid-template-columns:repeat(4,1fr);gap:10px}
.figure{background:rgba(255,255,255,.12);border-radius:10px;padding:10px 12px}
.figure b{display:block;font-size:26px;line-height:1.2;font-variant-numeric:tabular-nums}
.figure span{font-size:12px;opacity:.85}
.streaks{margin:12px 0 0;display:flex;flex-wrap:wrap;gap:8px}
.streaks span{background:rgba(255,255,255,.16);border-radius:999px;padding:3px 12px;font-size:13px}
section,details{background:var(--card);border:1px solid var(--line);border-radius:14px;
padding:16px 18px;margin-bottom:16px}
h2{margin:0 0 10px;font-size:19px}
h3{margin:14px 0 6px;font-size:15px}
h2.opponents{margin:24px 4px 10px}
.note{color:var(--muted);font-size:13px;margin:4px 0 8px}
table{border-collapse:collapse;width:100%;font-variant-numeric:tabular-nums}
th,td{padding:6px 8px;border-bottom:1px solid var(--line);text-align:right;white-space:nowrap}
th:first-child,td:first-child{text-align:left}
th{font-size:12px;color:var(--muted);font-weight:600;text-transform:uppercase;letter-spacing:.04em}
td.rate{width:40%;min-width:140px}
.bar{display:flex;align-items:center;gap:8px}
.bar i{display:block;height:12px;border-radius:6px;background:var(--lossbar);flex:1;position:relative;overflow:hidden}
.bar i b{position:absolute;left:0;top:0;bottom:0;background:var(--winbar)}
.bar em{font-style:normal;min-width:64px}
.scroll{overflow-x:auto}
.scroll svg{max-width:none}
svg{display:block;max-width:100%;height:auto}
svg.chart{width:100%;min-width:600px}
svg text{font-family:inherit;fill:var(--ink)}
svg .axis{stroke:#9aa0ad;stroke-width:1}
svg .grid{stroke:var(--line);stroke-width:1}
svg .label{font-size:12px;fill:var(--muted)}
svg .title{font-size:13px;font-weight:600;fill:var(--muted)}
svg .ground{fill:#eceef3}svg .rules{stroke:#fff;stroke-width:2;fill:none}
.cell text{text-anchor:middle;font-size:14px}svg .cell .light{fill:#fff}.cell rect{stroke:rgba(0,0,0,.1)}
summary{cursor:pointer;font-weight:600;font-size:16px;overflow-wrap:anywhere}
summary small{font-weight:400;color:var(--muted);margin-left:8px}
@media (max-width:600px){main{padding:8px}h1{font-size:26px}.figure b{font-size:20px}
.figures{grid-template-columns:repeat(2,1fr)}
section,details{padding:12px}td.rate{min-width:110px}.chars tr>:nth-child(3),.chars tr>:nth-child(4),
.chars tr>:nth-child(6){display:none}}
@media print{body{background:#fff;font-size:12px}main{max-width:none;padding:0}
header.top{background:#fff;color:#000;border:2px solid #542788}
section{break-inside:avoid}details{break-inside:avoid-page}.scroll{overflow:visible}
.scroll svg{max-width:100%}svg.chart{min-width:0}*{print-color-adjust:exact;-webkit-print-color-adjust:exact}}
@media print{details::details-content{content-visibility:visible;display:block}}
)";

// Heatmap geometry, in SVG user units.
constexpr int kCellWidth = 72;
constexpr int kCellHeight = 40;
constexpr int kRowLabelWidth = 84;
constexpr int kColumnLabelHeight = 26;

// Chart geometry shared by the two charts.
constexpr int kChartWidth = 760;
constexpr int kChartHeight = 250;
constexpr int kPlotLeft = 56;
constexpr int kPlotRight = 16;
constexpr int kPlotTop = 14;
constexpr int kPlotBottom = 52;

// The page being written: markup as it is, text from the log escaped, and
// figures through the report's own formatters.
class Page {
 public:
  explicit Page(std::ostream& out) : out_(out) {
    text_.reserve(2 * kChunkSize);
  }

  Page& raw(std::string_view text) {
    text_ += text;
    return *this;
  }
  Page& escaped(std::string_view text) {
    appendHtmlEscaped(text_, text);
    return *this;
  }
  // Appends what `format` writes given room for `maxLength` bytes.
  template <typename Format, typename... Args>
  Page& put(std::size_t maxLength, Format format, Args... args) {
    const std::size_t used = text_.size();
    text_.resize(used + maxLength);
    const char* end = format(text_.data() + used, args...);
    text_.resize(static_cast<std::size_t>(end - text_.data()));
    return *this;
  }
  Page& number(std::int64_t value) {
    return put(kMaxInt64Length, formatInteger, value);
  }
  Page& percentage(double percent) {
    return put(kMaxPercentageLength, formatPercentage, percent);
  }
  Page& colour(Colour colour) {
    appendCssColour(text_, colour);
    return *this;
  }
  // Writes out what is gathered once it is a chunk.
  void mayFlush() {
    if (text_.size() >= kChunkSize) flush();
  }
  void flush() {
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
  }

 private:
  std::ostream& out_;
  std::string text_;
};

std::int64_t matchCount(std::int32_t wins, std::int32_t losses) {
  return std::int64_t{wins} + losses;
}

// What a bar or a colour may show of a count or a rate that wrapped around.
std::int64_t drawable(std::int64_t count) {
  return std::max<std::int64_t>(count, 0);
}
double drawableRate(double percent) { return std::clamp(percent, 0.0, 100.0); }

void writeFigure(Page& page, std::string_view label, const auto& writeValue) {
  page.raw("<div class=\"figure\"><b>");
  writeValue();
  page.raw("</b><span>").raw(label).raw("</span></div>\n");
}

void writeFilters(Page& page, const std::vector<std::string>& filters) {
  page.raw("<p class=\"filters\">");
  if (filters.empty()) {
    page.raw("All matches in the log");
  } else {
    page.raw("Filters: ");
    for (std::size_t i = 0; i < filters.size(); ++i) {
      if (i > 0) page.raw(" · ");
      page.escaped(filters[i]);
    }
  }
  page.raw("</p>\n");
}

void writeStreaks(Page& page, const Streaks& streaks) {
  page.raw("<p class=\"streaks\">");
  if (streaks.longestWinning == 0 && streaks.longestLosing == 0) {
    page.raw("<span>No streak counted</span></p>\n");
    return;
  }
  page.raw("<span>Longest winning streak: ")
      .number(streaks.longestWinning)
      .raw("</span><span>Longest losing streak: ")
      .number(streaks.longestLosing)
      .raw("</span><span>Current streak: ");
  if (streaks.current > 0) {
    const bool one = streaks.current == 1;
    page.number(streaks.current)
        .raw(streaks.currentIsWinning ? (one ? " win" : " wins")
                                      : (one ? " loss" : " losses"));
  } else {
    page.raw("none");
  }
  page.raw("</span></p>\n");
}

// A match length as a figure; a player without a match has none.
void writeLengthFigure(Page& page, std::string_view label,
                       const PlayerStats& player, std::int32_t seconds) {
  writeFigure(page, label, [&] {
    if (player.shortestSeconds == kInitialShortestSeconds) {
      page.raw("–");
    } else {
      page.number(seconds).raw("s");
    }
  });
}

void writeHeader(Page& page, const PlayerStats& player,
                 const SessionHistory& history) {
  const std::int64_t matches = matchCount(player.matchWins, player.matchLosses);
  page.raw(
          "<header class=\"top\">\n<p class=\"kicker\">session-stats "
          "report</p>\n<h1>")
      .escaped(player.name)
      .raw("</h1>\n");
  writeFilters(page, history.filters);
  page.raw("<div class=\"figures\">\n");
  writeFigure(page, "matches", [&] { page.number(matches); });
  writeFigure(page, "win rate", [&] {
    page.percentage(winPercentage(player.matchWins, player.matchLosses));
  });
  writeFigure(page, "won / lost", [&] {
    page.number(player.matchWins).raw(" / ").number(player.matchLosses);
  });
  writeFigure(page, "rounds won / lost", [&] {
    page.number(player.roundWins).raw(" / ").number(player.roundLosses);
  });
  writeFigure(page, "time played", [&] {
    page.put(kMaxTimeSplitLength, formatTimeSplit, player.totalSeconds);
  });
  writeFigure(page, "average match", [&] {
    page.put(kMaxAverageLength, formatAverage, player.totalSeconds, matches)
        .raw("s");
  });
  writeLengthFigure(page, "shortest match", player, player.shortestSeconds);
  writeLengthFigure(page, "longest match", player, player.longestSeconds);
  page.raw("</div>\n");
  writeStreaks(page, history.streaks);
  page.raw("</header>\n");
}

void writeRateBar(Page& page, std::int32_t wins, std::int32_t losses) {
  const double percent = winPercentage(wins, losses);
  const double shown = drawableRate(percent);
  page.raw("<div class=\"bar\"><i><b style=\"width:")
      .number(std::lround(shown))
      .raw("%\"></b></i><em>")
      .percentage(percent)
      .raw("</em></div>");
}

void writeCharacterTable(Page& page, const CharacterCounts& wins,
                         const CharacterCounts& losses,
                         const CharacterCounts& roundWins,
                         const CharacterCounts& roundLosses) {
  page.raw(
      "<div class=\"scroll\"><table "
      "class=\"chars\">\n<tr><th>Character</th><th>Matches</th>"
      "<th>Won</th><th>Lost</th><th>Win "
      "rate</th><th>Rounds</th></tr>\n");
  for (int c = 0; c < kCharacterCount; ++c) {
    if (wins[c] == 0 && losses[c] == 0) continue;
    page.raw("<tr><td>")
        .escaped(kRoster.longName[c])
        .raw("</td><td>")
        .number(matchCount(wins[c], losses[c]))
        .raw("</td><td>")
        .number(wins[c])
        .raw("</td><td>")
        .number(losses[c])
        .raw("</td><td class=\"rate\">");
    writeRateBar(page, wins[c], losses[c]);
    page.raw("</td><td>")
        .number(roundWins[c])
        .raw(" / ")
        .number(roundLosses[c])
        .raw("</td></tr>\n");
  }
  page.raw("</table></div>\n");
}

// A tick step of 1, 2 or 5 times a power of ten that gives at most about
// five ticks up to `top`.
std::int64_t tickStep(std::int64_t top) {
  std::int64_t step = 1;
  for (;;) {
    for (const std::int64_t factor : {1, 2, 5}) {
      if (top / (step * factor) <= 5) return step * factor;
    }
    step *= 10;
  }
}

void writeSvgOpen(Page& page, int width, int height, std::string_view label,
                  std::string_view svgClass = "") {
  page.raw("<svg");
  if (!svgClass.empty()) page.raw(" class=\"").raw(svgClass).raw("\"");
  page.raw(" viewBox=\"0 0 ")
      .number(width)
      .raw(" ")
      .number(height)
      .raw("\" width=\"")
      .number(width)
      .raw("\" height=\"")
      .number(height)
      .raw("\" role=\"img\" aria-label=\"")
      .raw(label)
      .raw("\">\n");
}

// The value axis of a chart: grid lines with labels from 0 to `top` in
// `step`s, `suffix` after each label, and the axis title.
void writeValueAxis(Page& page, std::int64_t top, std::int64_t step,
                    std::string_view suffix, std::string_view title) {
  constexpr int kPlotHeight = kChartHeight - kPlotTop - kPlotBottom;
  for (std::int64_t value = 0; value <= top; value += step) {
    const std::int64_t y = kPlotTop + kPlotHeight - value * kPlotHeight / top;
    page.raw("<line class=\"grid\" x1=\"")
        .number(kPlotLeft)
        .raw("\" x2=\"")
        .number(kChartWidth - kPlotRight)
        .raw("\" y1=\"")
        .number(y)
        .raw("\" y2=\"")
        .number(y)
        .raw("\"/><text class=\"label\" x=\"")
        .number(kPlotLeft - 6)
        .raw("\" y=\"")
        .number(y + 4)
        .raw("\" text-anchor=\"end\">")
        .number(value)
        .raw(suffix)
        .raw("</text>\n");
  }
  page.raw("<text class=\"title\" transform=\"translate(14 ")
      .number(kPlotTop + kPlotHeight / 2)
      .raw(") rotate(-90)\" text-anchor=\"middle\">")
      .raw(title)
      .raw("</text>\n");
}

void writeCategoryAxisTitle(Page& page, std::string_view title) {
  page.raw("<line class=\"axis\" x1=\"")
      .number(kPlotLeft)
      .raw("\" x2=\"")
      .number(kChartWidth - kPlotRight)
      .raw("\" y1=\"")
      .number(kChartHeight - kPlotBottom)
      .raw("\" y2=\"")
      .number(kChartHeight - kPlotBottom)
      .raw("\"/>\n<text class=\"title\" x=\"")
      .number((kPlotLeft + kChartWidth - kPlotRight) / 2)
      .raw("\" y=\"")
      .number(kChartHeight - 8)
      .raw("\" text-anchor=\"middle\">")
      .raw(title)
      .raw("</text>\n");
}

void writeLengthChart(Page& page, const PlayerStats& player) {
  page.raw("<section>\n<h2>Match lengths</h2>\n");
  std::int64_t highest = 0;
  for (const std::int32_t count : player.lengthBuckets) {
    highest = std::max<std::int64_t>(highest, count);
  }
  if (highest == 0) {
    page.raw("<p class=\"note\">No match to show.</p>\n</section>\n");
    return;
  }
  const std::int64_t step = tickStep(highest);
  const std::int64_t top = (highest + step - 1) / step * step;
  constexpr int kPlotWidth = kChartWidth - kPlotLeft - kPlotRight;
  constexpr int kPlotHeight = kChartHeight - kPlotTop - kPlotBottom;
  constexpr int kSlot = kPlotWidth / kLengthBucketCount;
  page.raw("<div class=\"scroll\">");
  writeSvgOpen(page, kChartWidth, kChartHeight,
               "Bar chart of the number of matches by length in seconds",
               "chart");
  writeValueAxis(page, top, step, "", "Matches");
  for (int bucket = 0; bucket < kLengthBucketCount; ++bucket) {
    const std::int64_t count = player.lengthBuckets[bucket];
    const std::int64_t height = drawable(count) * kPlotHeight / top;
    const int x = kPlotLeft + bucket * kSlot;
    const std::int64_t from = std::int64_t{bucket} * kLengthBandSeconds;
    page.raw("<rect x=\"")
        .number(x + 2)
        .raw("\" y=\"")
        .number(kPlotTop + kPlotHeight - height)
        .raw("\" width=\"")
        .number(kSlot - 4)
        .raw("\" height=\"")
        .number(height)
        .raw("\" rx=\"3\" fill=\"#7b68b5\"><title>");
    if (bucket + 1 < kLengthBucketCount) {
      page.number(from).raw(" to ").number(from + kLengthBandSeconds - 1);
    } else {
      page.number(from).raw("+");
    }
    page.raw(" seconds: ")
        .number(count)
        .raw(count == 1 ? " match" : " matches");
    page.raw("</title></rect>\n");
    if (bucket % 2 == 0) {
      page.raw("<text class=\"label\" x=\"")
          .number(x)
          .raw("\" y=\"")
          .number(kChartHeight - kPlotBottom + 16)
          .raw("\" text-anchor=\"middle\">")
          .number(from)
          .raw(bucket + 1 < kLengthBucketCount ? "" : "+")
          .raw("</text>\n");
    }
  }
  writeCategoryAxisTitle(page, "Match length (seconds)");
  page.raw("</svg></div>\n</section>\n");
}

// The characters of a grid's rows and columns that hold any result, in
// roster order.
struct HeatmapAxes {
  std::vector<int> rows;
  std::vector<int> columns;
};

HeatmapAxes heatmapAxes(const MatchupCounts& wins,
                        const MatchupCounts& losses) {
  HeatmapAxes axes;
  std::array<bool, kCharacterCount> columnUsed{};
  for (int own = 0; own < kCharacterCount; ++own) {
    bool rowUsed = false;
    for (int other = 0; other < kCharacterCount; ++other) {
      const int cell = matchupIndex(own, other);
      if (wins[cell] == 0 && losses[cell] == 0) continue;
      rowUsed = true;
      columnUsed[other] = true;
    }
    if (rowUsed) axes.rows.push_back(own);
  }
  for (int other = 0; other < kCharacterCount; ++other) {
    if (columnUsed[other]) axes.columns.push_back(other);
  }
  return axes;
}

// The empty cells: a grey ground between white rules, drawn once for the
// whole grid, so a cell without a result costs nothing.
void writeHeatmapGround(Page& page, const HeatmapAxes& axes) {
  const int gridWidth = static_cast<int>(axes.columns.size()) * kCellWidth;
  const int gridHeight = static_cast<int>(axes.rows.size()) * kCellHeight;
  page.raw("<rect class=\"ground\" x=\"")
      .number(kRowLabelWidth)
      .raw("\" y=\"")
      .number(kColumnLabelHeight)
      .raw("\" width=\"")
      .number(gridWidth)
      .raw("\" height=\"")
      .number(gridHeight)
      .raw("\"/><path class=\"rules\" d=\"");
  for (std::size_t c = 0; c <= axes.columns.size(); ++c) {
    page.raw("M")
        .number(kRowLabelWidth + static_cast<int>(c) * kCellWidth)
        .raw(" ")
        .number(kColumnLabelHeight)
        .raw("v")
        .number(gridHeight);
  }
  for (std::size_t r = 0; r <= axes.rows.size(); ++r) {
    page.raw("M")
        .number(kRowLabelWidth)
        .raw(" ")
        .number(kColumnLabelHeight + static_cast<int>(r) * kCellHeight)
        .raw("h")
        .number(gridWidth);
  }
  page.raw("\"/>\n");
}

// One cell with a result at (x, y): a box in the colour of its win rate
// showing "wins/losses", with the exact counts as its tooltip.
void writeHeatmapCell(Page& page, int x, int y, int own, int opposing,
                      std::int32_t won, std::int32_t lost) {
  const double percent = winPercentage(won, lost);
  const Colour fill = winRateColour(drawableRate(percent));
  page.raw("<g class=\"cell\" transform=\"translate(")
      .number(x + 1)
      .raw(" ")
      .number(y + 1)
      .raw(")\"><title>")
      .escaped(kRoster.longName[own])
      .raw(" vs ")
      .escaped(kRoster.longName[opposing])
      .raw(": ")
      .number(won)
      .raw(won == 1 ? " win, " : " wins, ")
      .number(lost)
      .raw(lost == 1 ? " loss (" : " losses (")
      .percentage(percent)
      .raw(")</title><rect width=\"")
      .number(kCellWidth - 2)
      .raw("\" height=\"")
      .number(kCellHeight - 2)
      .raw("\" rx=\"4\" fill=\"")
      .colour(fill)
      .raw("\"/><text")
      .raw(needsLightText(fill) ? " class=\"light\"" : "")
      .raw(" x=\"")
      .number(kCellWidth / 2 - 1)
      .raw("\" y=\"")
      .number(kCellHeight / 2 + 4)
      .raw("\">")
      .number(won)
      .raw("/")
      .number(lost)
      .raw("</text></g>\n");
}

// The heatmap of `wins` and `losses`: the rows and columns of the grid that
// hold any result, in roster order.
void writeHeatmap(Page& page, const MatchupCounts& wins,
                  const MatchupCounts& losses) {
  const HeatmapAxes axes = heatmapAxes(wins, losses);
  if (axes.rows.empty()) {
    page.raw("<p class=\"note\">No match to show.</p>\n");
    return;
  }
  page.raw("<div class=\"scroll\">");
  writeSvgOpen(
      page, kRowLabelWidth + static_cast<int>(axes.columns.size()) * kCellWidth,
      kColumnLabelHeight + static_cast<int>(axes.rows.size()) * kCellHeight,
      "Heatmap of wins and losses by character played and faced");
  for (std::size_t c = 0; c < axes.columns.size(); ++c) {
    page.raw("<text class=\"label\" x=\"")
        .number(kRowLabelWidth + static_cast<int>(c) * kCellWidth +
                kCellWidth / 2)
        .raw("\" y=\"")
        .number(kColumnLabelHeight - 9)
        .raw("\" text-anchor=\"middle\">")
        .escaped(shortName(axes.columns[c]))
        .raw("</text>\n");
  }
  writeHeatmapGround(page, axes);
  for (std::size_t r = 0; r < axes.rows.size(); ++r) {
    const int own = axes.rows[r];
    const int y = kColumnLabelHeight + static_cast<int>(r) * kCellHeight;
    page.raw("<text class=\"label\" x=\"")
        .number(kRowLabelWidth - 8)
        .raw("\" y=\"")
        .number(y + kCellHeight / 2 + 4)
        .raw("\" text-anchor=\"end\">")
        .escaped(shortName(own))
        .raw("</text>\n");
    for (std::size_t c = 0; c < axes.columns.size(); ++c) {
      const int cell = matchupIndex(own, axes.columns[c]);
      if (wins[cell] == 0 && losses[cell] == 0) continue;
      writeHeatmapCell(page, kRowLabelWidth + static_cast<int>(c) * kCellWidth,
                       y, own, axes.columns[c], wins[cell], losses[cell]);
    }
  }
  page.raw("</svg></div>\n");
}

void writeHeatmapLegend(Page& page) {
  constexpr int kSteps = 11;
  constexpr int kSwatch = 36;
  constexpr int kWidth = kSteps * kSwatch + 140;
  writeSvgOpen(page, kWidth, 40, "Colour scale from 0% to 100% won");
  page.raw("<text class=\"label\" x=\"0\" y=\"18\">0% won</text>\n");
  for (int i = 0; i < kSteps; ++i) {
    page.raw("<rect x=\"")
        .number(60 + i * kSwatch)
        .raw("\" y=\"4\" width=\"")
        .number(kSwatch)
        .raw("\" height=\"20\" fill=\"")
        .colour(winRateColour(i * 100.0 / (kSteps - 1)))
        .raw("\"/>\n");
  }
  page.raw("<text class=\"label\" x=\"")
      .number(66 + kSteps * kSwatch)
      .raw("\" y=\"18\">100% won</text>\n<text class=\"label\" x=\"")
      .number(60 + kSteps * kSwatch / 2)
      .raw("\" y=\"38\" text-anchor=\"middle\">50%</text>\n</svg>\n");
}

// One point of the results chart.
struct ResultPoint {
  std::string label;   // the session's ordinal or the day
  std::string detail;  // what its tooltip adds
  // Sums of sessions wrap around like every count of the report.
  std::int32_t wins = 0;
  std::int32_t losses = 0;
};

std::vector<ResultPoint> resultPoints(const SessionHistory& history,
                                      bool& perDay) {
  std::vector<ResultPoint> points;
  perDay = history.sessions.size() > kMaxSessionPoints;
  if (!perDay) {
    for (const SessionSummary& session : history.sessions) {
      if (session.matchWins == 0 && session.matchLosses == 0) continue;
      ResultPoint point;
      point.label = std::to_string(session.ordinal);
      point.detail = session.date.empty() ? "" : session.date + ", ";
      point.detail += "vs " + session.opponent;
      point.wins = session.matchWins;
      point.losses = session.matchLosses;
      points.push_back(std::move(point));
    }
    return points;
  }
  std::map<std::string, ResultPoint> days;
  for (const SessionSummary& session : history.sessions) {
    if (session.date.empty()) continue;
    if (session.matchWins == 0 && session.matchLosses == 0) continue;
    ResultPoint& day = days[session.date];
    addWrapping(day.wins, session.matchWins);
    addWrapping(day.losses, session.matchLosses);
  }
  for (auto& [date, day] : days) {
    day.label = date;
    points.push_back(std::move(day));
  }
  return points;
}

void writeResultsChart(Page& page, const SessionHistory& history) {
  page.raw("<section>\n<h2>Results over time</h2>\n");
  bool perDay = false;
  const std::vector<ResultPoint> points = resultPoints(history, perDay);
  if (points.empty()) {
    page.raw(
        "<p class=\"note\">No dated session: there is no result to show over "
        "time.</p>\n</section>\n");
    return;
  }
  page.raw("<p class=\"note\">Share of matches won ")
      .raw(perDay ? "per day, by date" : "per session, in the order of the log")
      .raw(".</p>\n");
  constexpr int kPlotWidth = kChartWidth - kPlotLeft - kPlotRight;
  constexpr int kPlotHeight = kChartHeight - kPlotTop - kPlotBottom;
  page.raw("<div class=\"scroll\">");
  writeSvgOpen(page, kChartWidth, kChartHeight,
               "Line chart of the win rate over time", "chart");
  writeValueAxis(page, 100, 25, "%", "Matches won");
  const auto xOf = [&points](std::size_t i) {
    const std::size_t gaps = std::max<std::size_t>(points.size() - 1, 1);
    const int inset = points.size() == 1 ? kPlotWidth / 2 : 12;
    return kPlotLeft + inset +
           static_cast<std::int64_t>(i) * (kPlotWidth - 2 * inset) /
               static_cast<std::int64_t>(gaps);
  };
  const auto yOf = [](double percent) {
    return kPlotTop + kPlotHeight -
           std::lround(drawableRate(percent) * kPlotHeight / 100);
  };
  page.raw(
      "<polyline fill=\"none\" stroke=\"#998ec3\" stroke-width=\"2\" "
      "points=\"");
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double percent = winPercentage(points[i].wins, points[i].losses);
    page.number(xOf(i)).raw(",").number(yOf(percent)).raw(" ");
  }
  page.raw("\"/>\n");
  // Dots shrink when many share the axis, so they stay apart.
  const int radius = points.size() > kPlotWidth / 16 ? 3 : 6;
  // At most about eight labels along the time axis.
  const std::size_t labelEvery = (points.size() + 7) / 8;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const ResultPoint& point = points[i];
    const double percent = winPercentage(point.wins, point.losses);
    page.raw("<circle cx=\"")
        .number(xOf(i))
        .raw("\" cy=\"")
        .number(yOf(percent))
        .raw("\" r=\"")
        .number(radius)
        .raw("\" stroke=\"#3b3f4c\" stroke-width=\"1.5\" fill=\"")
        .colour(winRateColour(drawableRate(percent)))
        .raw("\"><title>")
        .raw(perDay ? "" : "Session ")
        .escaped(point.label)
        .raw(point.detail.empty() ? "" : " (")
        .escaped(point.detail)
        .raw(point.detail.empty() ? "" : ")")
        .raw(": ")
        .number(point.wins)
        .raw(" won, ")
        .number(point.losses)
        .raw(" lost (")
        .percentage(percent)
        .raw(")</title></circle>\n");
    if (i % labelEvery == 0) {
      page.raw("<text class=\"label\" x=\"")
          .number(xOf(i))
          .raw("\" y=\"")
          .number(kChartHeight - kPlotBottom + 16)
          .raw("\" text-anchor=\"middle\">")
          .escaped(point.label)
          .raw("</text>\n");
    }
  }
  writeCategoryAxisTitle(page, perDay ? "Day" : "Session");
  page.raw("</svg></div>\n</section>\n");
}

void writeOpponentSection(Page& page, const PlayerStats& player,
                          const OpponentStats& opponent) {
  const std::int64_t matches =
      matchCount(opponent.matchWins, opponent.matchLosses);
  page.raw("<details>\n<summary>")
      .escaped(opponent.name)
      .raw("<small>")
      .number(matches)
      .raw(matches == 1 ? " match, " : " matches, ")
      .number(opponent.matchWins)
      .raw(" won, ")
      .number(opponent.matchLosses)
      .raw(" lost, ")
      .percentage(winPercentage(opponent.matchWins, opponent.matchLosses))
      .raw("</small></summary>\n<p class=\"note\">Time played ");
  page.put(kMaxTimeSplitLength, formatTimeSplit, opponent.totalSeconds);
  page.raw(" · average ");
  page.put(kMaxAverageLength, formatAverage, opponent.totalSeconds, matches)
      .raw("s");
  page.raw(" · rounds ")
      .number(opponent.roundWins)
      .raw(" won, ")
      .number(opponent.roundLosses)
      .raw(" lost</p>\n<h3>")
      .escaped(player.name)
      .raw(" by character</h3>\n");
  writeCharacterTable(page, opponent.charWins, opponent.charLosses,
                      opponent.charRoundWins, opponent.charRoundLosses);
  page.raw("<h3>").escaped(opponent.name).raw(" by character</h3>\n");
  writeCharacterTable(page, opponent.oppCharWins, opponent.oppCharLosses,
                      opponent.oppCharRoundWins, opponent.oppCharRoundLosses);
  page.raw("<h3>Matchups</h3>\n");
  writeHeatmap(page, opponent.matchupWins, opponent.matchupLosses);
  page.raw("</details>\n");
}

}  // namespace

// The opponents are built one at a time into one OpponentStats, as the text
// report does, so thousands of opponents need no memory for their counts.
void writeHtmlReport(std::ostream& out, const PlayerStats& player,
                     const SessionHistory& history) {
  Page page(out);
  page.raw(
          "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta "
          "charset=\"utf-8\">\n<meta http-equiv=\"Content-Security-Policy\" "
          "content=\"")
      .raw(kHtmlContentSecurityPolicy)
      .raw(
          "\">\n<meta name=\"viewport\" content=\"width=device-width, "
          "initial-scale=1\">\n<title>")
      .escaped(player.name)
      .raw(" – session-stats</title>\n<style>")
      .raw(kStyle)
      .raw("</style>\n</head>\n<body>\n<main>\n");
  writeHeader(page, player, history);
  page.raw("<section>\n<h2>By character</h2>\n");
  writeCharacterTable(page, player.charWins, player.charLosses,
                      player.charRoundWins, player.charRoundLosses);
  page.raw("</section>\n");
  writeLengthChart(page, player);
  page.raw(
      "<section>\n<h2>Matchups</h2>\n<p class=\"note\">Rows: the character "
      "played; columns: the character faced; each cell: matches won/lost. "
      "Point at a cell for its exact counts.</p>\n");
  writeHeatmap(page, player.matchupWins, player.matchupLosses);
  writeHeatmapLegend(page);
  page.raw("</section>\n");
  writeResultsChart(page, history);
  page.raw("<h2 class=\"opponents\">Opponents</h2>\n");
  OpponentStats opponent;
  bool anyOpponent = false;
  for (const OpponentEntry& entry : player.opponents) {
    buildOpponentStats(entry, opponent);
    if (opponent.matchWins == 0 && opponent.matchLosses == 0) continue;
    writeOpponentSection(page, player, opponent);
    anyOpponent = true;
    page.mayFlush();
  }
  if (!anyOpponent)
    page.raw("<p class=\"note\">No opponent with a result.</p>\n");
  page.raw("</main>\n</body>\n</html>\n");
  page.flush();
}

}  // namespace sessionstats
