#include "report/html_table.h"

#include <cmath>

#include "report/html_chart.h"
#include "report/report_format.h"

namespace sessionstats {
namespace {

// Opens a cell of `column`, the `index`th, with the classes the stylesheet
// lays it out by: "t" words after the first column, "rate" a bar, "o" left
// out and "b" moved below the row on a narrow screen.
void openCell(HtmlPage& page, std::string_view tag, const TableColumn& column,
              std::size_t index) {
  const bool words = column.kind == CellKind::kText && index > 0;
  const bool rate = column.kind == CellKind::kRate;
  const std::string_view narrow = column.narrow == Narrow::kHide    ? "o"
                                  : column.narrow == Narrow::kBelow ? "b"
                                                                    : "";
  page.raw("<").raw(tag);
  if (words || rate || !narrow.empty()) {
    page.raw(" class=\"")
        .raw(words ? "t" : "")
        .raw(rate ? "rate" : "")
        .raw((words || rate) && !narrow.empty() ? " " : "")
        .raw(narrow)
        .raw("\"");
  }
  page.raw(">");
}

}  // namespace

HtmlTable::HtmlTable(HtmlPage& page, std::string_view classes,
                     std::span<const TableColumn> columns)
    : page_(page), columns_(columns) {
  page_.raw("<div class=\"scroll\"><table")
      .attr("class", classes)
      .raw(">\n<tr>");
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    openCell(page_, "th", columns_[i], i);
    page_.raw(columns_[i].heading).raw("</th>");
  }
  page_.raw("</tr>\n");
}

HtmlPage& HtmlTable::cell() {
  page_.raw(next_ == 0 ? "<tr>" : "</td>");
  openCell(page_, "td", columns_[next_], next_);
  ++next_;
  return page_;
}

HtmlTable& HtmlTable::rate(std::int32_t wins, std::int32_t losses) {
  cell()
      .raw("<div class=\"bar\"><i><b class=\"w")
      .number(std::lround(drawableRate(winPercentage(wins, losses))))
      .raw("\"></b></i><em>")
      .winRate(wins, losses)
      .raw("</em></div>");
  return *this;
}

HtmlTable& HtmlTable::interval(double low, double high) {
  cell().shortPercentage(low).raw(" – ").shortPercentage(high);
  return *this;
}

void HtmlTable::endRow() {
  page_.raw("</td></tr>\n");
  next_ = 0;
}

void HtmlTable::end() { page_.raw("</table></div>\n"); }

// The class goes unquoted: a page of many grids saves the bytes.
void writeHeatCell(HtmlPage& page, std::string_view tag, std::string_view own,
                   std::string_view opposing, std::int32_t wins,
                   std::int32_t losses) {
  const double rate = drawableRate(winPercentage(wins, losses));
  page.raw("<")
      .raw(tag)
      .raw(" class=q")
      .number(rateStep(rate))
      .raw(" tabindex=0 title=\"")
      .escaped(own)
      .raw(" vs ")
      .escaped(opposing)
      .raw(": ")
      .count(wins)
      .raw(wins == 1 ? " win, " : " wins, ")
      .count(losses)
      .raw(losses == 1 ? " loss (" : " losses (")
      .winRate(wins, losses)
      .raw(")\">")
      .number(std::lround(rate));
}

}  // namespace sessionstats
