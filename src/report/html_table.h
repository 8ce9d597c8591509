#ifndef SESSION_STATS_REPORT_HTML_TABLE_H_
#define SESSION_STATS_REPORT_HTML_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "report/html_page.h"

namespace sessionstats {

/// What a column's cells hold: words (a name, a date; left-aligned after
/// the first column), a count, the share won as a bar beside its rate, or a
/// 95% interval.
enum class CellKind : std::uint8_t { kText, kCount, kRate, kInterval };

/// Where a column goes on a narrow screen: it stays, it is left out, or its
/// cells leave the columns for a line of their own under the rest of their
/// row (a table with such a column needs the class "fold").
enum class Narrow : std::uint8_t { kStay, kHide, kBelow };

/// A column of a table, declared once for its head and every row.
struct TableColumn {
  std::string_view heading;  // markup
  CellKind kind = CellKind::kCount;
  Narrow narrow = Narrow::kStay;
};

/// A table of the page in a ".scroll" box: its head row from `columns`,
/// then rows written a cell at a time in the columns' order.
class HtmlTable {
 public:
  /// Writes the box, the table of class `classes` and the head row.
  HtmlTable(HtmlPage& page, std::string_view classes,
            std::span<const TableColumn> columns);

  /// Opens the next cell of the row (the first opens the row too) and
  /// returns the page, for what the cell holds. REQUIRES: the row has a
  /// column left.
  HtmlPage& cell();
  HtmlTable& text(std::string_view text) {
    cell().escaped(text);
    return *this;
  }
  HtmlTable& name(std::string_view name) {
    cell().name(name);
    return *this;
  }
  HtmlTable& count(std::int64_t value) {
    cell().count(value);
    return *this;
  }
  /// A bar of the share won beside the rate ("–" for no match).
  HtmlTable& rate(std::int32_t wins, std::int32_t losses);
  /// Four cells: the matches (summed in 64 bits), won, lost and rate.
  HtmlTable& results(std::int32_t wins, std::int32_t losses) {
    return count(std::int64_t{wins} + losses)
        .count(wins)
        .count(losses)
        .rate(wins, losses);
  }
  /// "won / lost" of the rounds.
  HtmlTable& rounds(std::int32_t won, std::int32_t lost) {
    cell().count(won).raw(" / ").count(lost);
    return *this;
  }
  /// "low% – high%", each as HtmlPage::shortPercentage writes it.
  HtmlTable& interval(double low, double high);
  /// Ends the row, after a cell for each column.
  void endRow();
  /// Closes the table and its box.
  void end();

 private:
  HtmlPage& page_;
  std::span<const TableColumn> columns_;
  std::size_t next_ = 0;  // the column of the next cell
};

/// Writes a heatmap cell of `wins` and `losses` (element `tag`, "td" or
/// "th", left open) in the colour of their win rate, showing it in whole
/// percent, with `own` vs `opposing` and the counts as its tooltip, which a
/// tap shows too (the cell takes the focus). Negative counts colour as a
/// rate of 0..100.
void writeHeatCell(HtmlPage& page, std::string_view tag, std::string_view own,
                   std::string_view opposing, std::int32_t wins,
                   std::int32_t losses);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_TABLE_H_
