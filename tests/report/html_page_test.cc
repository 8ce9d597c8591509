#include "report/html_page.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <utility>

#include "report/utf8.h"

namespace sessionstats {
namespace {

// One page for all the cases: each one's text is what escaping adds to it.
class HtmlEscape : public testing::Test {
 protected:
  std::string htmlEscaped(std::string_view text) {
    out_.str("");
    page_.escaped(text).flush();
    return out_.str();
  }

 private:
  std::ostringstream out_;
  HtmlPage page_{out_};
};

TEST_F(HtmlEscape, HostileNamesBecomeTextWithNoMarkupLeft) {
  EXPECT_EQ(htmlEscaped("<script>alert(1)</script>"),
            "&lt;script&gt;alert(1)&lt;/script&gt;");
  EXPECT_EQ(htmlEscaped("<img src=x onerror=alert(1)>"),
            "&lt;img src=x onerror=alert(1)&gt;");
  // Quotes close no attribute; an existing reference is not taken as one.
  EXPECT_EQ(htmlEscaped("\"a\" 'b' &amp;"),
            "&quot;a&quot; &#39;b&#39; &amp;amp;");
}

TEST_F(HtmlEscape, WellFormedUtf8PassesUnchanged) {
  // Two-, three- and four-byte forms at the edges of their ranges.
  const std::string text =
      "Zoë \xC2\x80 \xDF\xBF \xE0\xA0\x80 \xED\x9F\xBF \xEF\xBF\xBF "
      "\xF0\x90\x80\x80 \xF4\x8F\xBF\xBF 鬼 \t";
  EXPECT_EQ(htmlEscaped(text), text);
}

TEST_F(HtmlEscape, EachMaximalIllFormedPartBecomesOneReplacement) {
  const std::string r(kReplacementCharacter);
  const std::pair<std::string, std::string> cases[] = {
      {"a\x80z", "a" + r + "z"},            // lone continuation
      {"\xC0\xAF", r + r},                  // overlong, C0 never leads
      {"\xE0\x80\xAF", r + r + r},          // overlong three bytes
      {"\xED\xA0\x80", r + r + r},          // surrogate
      {"\xF4\x90\x80\x80", r + r + r + r},  // above U+10FFFF
      {"\xF5\xFF", r + r},                  // never a lead byte
      {"\xE2\x82", r},                      // truncated at the end
      {"\xE2\x82<", r + "&lt;"},            // truncated before text
      {"\xF0\x9F\x98", r},                  // truncated four bytes
      {"\xF0\x9F\x98\x80\xF0\x9F", "\xF0\x9F\x98\x80" + r},
      {std::string("a\0b\x1B\x7F", 5), "a" + r + "b" + r + r},  // controls
  };
  for (const auto& [bytes, escaped] : cases) {
    EXPECT_EQ(htmlEscaped(bytes), escaped) << bytes;
  }
}

TEST_F(HtmlEscape, AnyByteStringGivesWellFormedUtf8WithoutMarkup) {
  // Every one- and two-byte string, and some of three: with its references
  // taken out, what comes out escapes to itself, so it is well-formed UTF-8
  // and holds no markup character and no control.
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      const std::string bytes{static_cast<char>(first),
                              static_cast<char>(second), '\xBF'};
      std::string rest = htmlEscaped(bytes);
      for (const std::string_view reference :
           {"&amp;", "&lt;", "&gt;", "&quot;", "&#39;"}) {
        for (std::size_t at;
             (at = rest.find(reference)) != std::string::npos;) {
          rest.erase(at, reference.size());
        }
      }
      ASSERT_EQ(htmlEscaped(rest), rest) << first << ' ' << second;
    }
  }
}

}  // namespace
}  // namespace sessionstats
