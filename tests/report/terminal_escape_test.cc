#include "report/terminal_escape.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <utility>

namespace sessionstats {
namespace {

std::string escaped(std::string_view text) {
  std::string out;
  appendTerminalEscaped(out, text);
  return out;
}

TEST(TerminalEscape, ControlBytesShowAsLsShowsThemTextStaysAsItIs) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"Ana Lee", "Ana Lee"},
      {"\x1b]0;pwned\x07", "\\033]0;pwned\\a"},
      {"\x1b[2K", "\\033[2K"},
      {"a\rb\nc\td\be\vf\fg", "a\\rb\\nc\\td\\be\\vf\\fg"},
      {std::string_view("\0\x06\x0e\x1f\x7f", 5), "\\000\\006\\016\\037\\177"},
      {"back\\slash", "back\\\\slash"},
      // UTF-8 text stays; the C1 controls (CSI is U+009B, the last one
      // U+009F) and bytes that are not UTF-8 (a lone CSI byte, a cut
      // sequence) do not.
      {"Kōhaku 猫", "Kōhaku 猫"},
      {"\xc2\x9b"
       "2K",
       "\\302\\2332K"},
      {"\xc2\x9f", "\\302\\237"},
      {"\x9b"
       "2K",
       "\\2332K"},
      {"\xe7\x8c", "\\347\\214"},
      {"\xc2\xa0", "\xc2\xa0"},
  };
  for (const auto& [text, shown] : cases) {
    EXPECT_EQ(escaped(text), shown) << text;
  }
}

// A report keeps its line ends, CR LF or LF; a CR elsewhere is escaped.
TEST(TerminalEscape, ReportKeepsItsLineEndsAndEscapesTheRest) {
  std::ostringstream out;
  writeTerminalEscaped(out, [](std::ostream& report) {
    report << "Stats for: Gull\x1b"
              "c\r\nvs\rMoth\n\r\nlast\r";
  });
  EXPECT_EQ(out.str(), "Stats for: Gull\\033c\r\nvs\\rMoth\n\r\nlast\\r");
}

}  // namespace
}  // namespace sessionstats
