#ifndef SESSION_STATS_REPORT_HTML_PAGE_H_
#define SESSION_STATS_REPORT_HTML_PAGE_H_

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "report/html_escape.h"
#include "report/report_format.h"
#include "report/win_rate_colour.h"

namespace sessionstats {

/// The Content-Security-Policy every HTML report carries in a meta tag: no
/// script, no remote or local load of any kind, only its own inline styles.
inline constexpr std::string_view kHtmlContentSecurityPolicy =
    "default-src 'none'; script-src 'none'; style-src 'unsafe-inline'; "
    "base-uri 'none'; form-action 'none'";

/// The colours of the page that are not win rates (those come from
/// winRateColour). The stylesheet and the charts both take them from here.
inline constexpr std::string_view kWinBarColour = "#7b68b5";
inline constexpr std::string_view kLossBarColour = "#f1a340";
inline constexpr std::string_view kTrendLineColour = "#998ec3";
inline constexpr std::string_view kDotOutlineColour = "#3b3f4c";

/// An HTML page being written to a stream: markup as it is, text from the
/// log escaped, figures through the report's own formatters. The text is
/// gathered in memory and handed to the stream a chunk at a time (mayFlush)
/// and at the end (flush), so a page of any length needs about one chunk of
/// memory. Output to a failing stream is silently lost; the page never
/// flushes the stream itself.
class HtmlPage {
 public:
  explicit HtmlPage(std::ostream& out);

  /// Appends markup as it stands. REQUIRES: `text` is trusted markup.
  HtmlPage& raw(std::string_view text) {
    text_ += text;
    return *this;
  }
  /// Appends any bytes as text (appendHtmlEscaped).
  HtmlPage& escaped(std::string_view text) {
    appendHtmlEscaped(text_, text);
    return *this;
  }
  /// Appends what `format` writes given room for `maxLength` bytes; the
  /// formatters of report_format.h fit.
  template <typename Format, typename... Args>
  HtmlPage& put(std::size_t maxLength, Format format, Args... args) {
    const std::size_t used = text_.size();
    text_.resize(used + maxLength);
    const char* end = format(text_.data() + used, args...);
    text_.resize(static_cast<std::size_t>(end - text_.data()));
    return *this;
  }
  /// Appends `value` in decimal.
  HtmlPage& number(std::int64_t value) {
    return put(kMaxInt64Length, formatInteger, value);
  }
  /// Appends `percent` as formatPercentage writes it ("53.333%").
  HtmlPage& percentage(double percent) {
    return put(kMaxPercentageLength, formatPercentage, percent);
  }
  /// Appends `colour` as "#rrggbb".
  HtmlPage& colour(Colour colour) {
    appendCssColour(text_, colour);
    return *this;
  }

  /// Appends the attribute ` name="value"`. The text overload takes markup:
  /// REQUIRES: `value` holds no '"' (a name from the log goes through
  /// escaped instead).
  HtmlPage& attr(std::string_view name, std::int64_t value) {
    return openAttr(name).number(value).raw("\"");
  }
  HtmlPage& attr(std::string_view name, std::string_view value) {
    return openAttr(name).raw(value).raw("\"");
  }
  HtmlPage& attr(std::string_view name, Colour value) {
    return openAttr(name).colour(value).raw("\"");
  }

  /// Writes out what is gathered once it makes a chunk.
  void mayFlush();
  /// Writes out everything gathered.
  void flush();

 private:
  HtmlPage& openAttr(std::string_view name) {
    return raw(" ").raw(name).raw("=\"");
  }

  std::ostream& out_;
  std::string text_;
};

/// Writes the start of the page up to and including "<main>": the document
/// type, the policy, the stylesheet and `title` (escaped) followed by
/// " – session-stats".
void writePageStart(HtmlPage& page, std::string_view title);

/// Closes what writePageStart opened and flushes the page.
void writePageEnd(HtmlPage& page);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_PAGE_H_
