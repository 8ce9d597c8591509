#include "report/html_table.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <sstream>
#include <string>

namespace sessionstats {
namespace {

// A column of each kind and each place on a narrow screen.
constexpr std::array<TableColumn, 5> kColumns{{
    {"Name", CellKind::kText},
    {"N"},
    {"Rate", CellKind::kRate, Narrow::kHide},
    {"Span", CellKind::kInterval, Narrow::kBelow},
    {"Words", CellKind::kText, Narrow::kBelow},
}};

// The table of kColumns with one row of `wins` and `losses`.
std::string table(std::int32_t wins, std::int32_t losses) {
  std::ostringstream out;
  HtmlPage page(out);
  HtmlTable rows(page, "x fold", kColumns);
  rows.name("<b>")
      .count(1234)
      .rate(wins, losses)
      .interval(53.14, 88.86)
      .text("a&b")
      .endRow();
  rows.end();
  page.flush();
  return out.str();
}

TEST(HtmlTable, ColumnsDeclaredOnceGiveTheHeadAndEveryCellTheirClasses) {
  EXPECT_EQ(table(3, 1),
            "<div class=\"scroll\"><table class=\"x fold\">\n<tr><th>Name</th>"
            "<th>N</th><th class=\"rate o\">Rate</th><th class=\"b\">Span</th>"
            "<th class=\"t b\">Words</th></tr>\n<tr><td><bdi>&lt;b&gt;</bdi>"
            "</td><td>1,234</td><td class=\"rate o\"><div class=\"bar\"><i><b "
            "class=\"w75\"></b></i><em>75.0%</em></div></td><td class=\"b\">"
            "53.1% – 88.9%</td><td class=\"t b\">a&amp;b</td></tr>\n</table>"
            "</div>\n");
}

TEST(HtmlTable, RateBarsWidthIsTheDrawableRate) {
  struct Case {
    std::int32_t wins;
    std::int32_t losses;
    const char* bar;
  };
  for (const Case& c :
       {Case{1, 2, "w33\"></b></i><em>33.3%"}, Case{0, 0, "w0\"></b></i><em>–"},
        Case{-5, 2, "w100\"></b></i><em>"}, Case{2, -5, "w0\"></b></i><em>"}}) {
    EXPECT_NE(table(c.wins, c.losses).find(c.bar), std::string::npos)
        << c.wins << "-" << c.losses;
  }
}

}  // namespace
}  // namespace sessionstats
