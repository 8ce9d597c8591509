#ifndef SESSION_STATS_REPORT_HTML_PAGE_H_
#define SESSION_STATS_REPORT_HTML_PAGE_H_

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "report/report_format.h"
#include "report/text_buffer.h"

namespace sessionstats {

/// The Content-Security-Policy every HTML report carries in a meta tag: no
/// script, no remote or local load of any kind, only its own inline styles.
inline constexpr std::string_view kHtmlContentSecurityPolicy =
    "default-src 'none'; script-src 'none'; style-src 'unsafe-inline'; "
    "base-uri 'none'; form-action 'none'";

/// The win rates are coloured in steps of this many percent: class "qN"
/// colours a cell (background) or a shape (fill) with the colour of N *
/// kRateStepPercent on a diverging scale that readers with any common form
/// of colour blindness can follow (deep orange at 0%, near white at 50%,
/// deep purple at 100%), in light text where that reads better.
inline constexpr int kRateStepPercent = 5;
inline constexpr int kRateSteps = 100 / kRateStepPercent;

/// The class "qN" of `percent`'s colour step (NaN and rates outside 0..100
/// take the nearest end).
int rateStep(double percent);

/// An HTML page being written to a stream: markup as it is, text from the
/// log escaped, figures through the report's own formatters.
class HtmlPage : public TextBuffer<HtmlPage> {
 public:
  using TextBuffer::TextBuffer;

  /// Appends any bytes as text that reads the same in element content and
  /// in quoted attribute values: & < > " ' become character references.
  /// Bytes that are not well-formed UTF-8 (stray continuation bytes,
  /// truncated or overlong sequences, surrogates, code points above
  /// U+10FFFF) become U+FFFD, one for each maximal ill-formed part as
  /// Unicode recommends; so do the control characters other than tab, line
  /// feed and carriage return, which HTML does not allow in text. Any byte
  /// string gives well-formed UTF-8 that no browser reads as markup.
  HtmlPage& escaped(std::string_view text);
  /// Appends a name from the log, escaped, in a <bdi> element, so that its
  /// direction marks (a right-to-left override) act on it alone.
  HtmlPage& name(std::string_view name) {
    return raw("<bdi>").escaped(name).raw("</bdi>");
  }
  /// Appends a name from the log where no element may stand (a page's
  /// <title>, an SVG <title>): escaped, between U+2068 FIRST STRONG ISOLATE
  /// and U+2069 POP DIRECTIONAL ISOLATE, which isolate it as <bdi> does.
  HtmlPage& isolatedName(std::string_view name) {
    return raw("\xE2\x81\xA8").escaped(name).raw("\xE2\x81\xA9");
  }
  /// Appends `value` in decimal with a comma between groups of three
  /// digits: "153,251", "-2,147,483,648".
  HtmlPage& count(std::int64_t value);
  /// Appends `percent` with one decimal: "53.3%".
  HtmlPage& shortPercentage(double percent);
  /// Appends the share of matches won of `wins` and `losses` as
  /// shortPercentage does, or "–" when they sum to no match.
  HtmlPage& winRate(std::int32_t wins, std::int32_t losses);
  /// Appends `seconds` as hours (grouped as count does), minutes and
  /// seconds, each truncated toward zero as formatTimeSplit does:
  /// "17,697h 44m 55s".
  HtmlPage& duration(std::int32_t seconds);

  /// Appends the attribute ` name="value"`. The text overload takes markup:
  /// REQUIRES: `value` holds no '"' (a name from the log goes through
  /// escaped instead).
  HtmlPage& attr(std::string_view name, std::int64_t value) {
    return raw(" ").raw(name).raw("=\"").number(value).raw("\"");
  }
  HtmlPage& attr(std::string_view name, std::string_view value) {
    return raw(" ").raw(name).raw("=\"").raw(value).raw("\"");
  }
};

/// Writes the start of the page up to and including "<main>": the document
/// type, the policy, the stylesheet (with the classes "q0".."q20" of
/// kRateStepPercent and "w0".."w100", a width in percent) and `title`
/// (a name from the log, isolated as HtmlPage::isolatedName does) followed
/// by " – session-stats".
void writePageStart(HtmlPage& page, std::string_view title);

/// Closes what writePageStart opened and flushes the page.
void writePageEnd(HtmlPage& page);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_PAGE_H_
