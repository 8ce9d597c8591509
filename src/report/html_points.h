#ifndef SESSION_STATS_REPORT_HTML_POINTS_H_
#define SESSION_STATS_REPORT_HTML_POINTS_H_

#include <string_view>

#include "report/html_page.h"

namespace sessionstats {

/// Writes win-% points as a signed whole number: "+5", "−3", and "0" where
/// they round to none. Beyond 100 points is written as 100; not a number
/// as 0.
HtmlPage& writeSigned(HtmlPage& page, double points);

/// Writes an effect or a change in words: "11 points fewer (5–17)" (`more`
/// in place of `fewer` above 0; neither word where `fewer` is empty), an
/// interval across 0 with its signs ("−3 to +7"). Whole points, as
/// writeSigned rounds them.
void writePoints(HtmlPage& page, double points, double low, double high,
                 std::string_view fewer, std::string_view more);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_POINTS_H_
