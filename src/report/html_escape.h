#ifndef SESSION_STATS_REPORT_HTML_ESCAPE_H_
#define SESSION_STATS_REPORT_HTML_ESCAPE_H_

#include <string>
#include <string_view>

#include "report/utf8.h"

namespace sessionstats {

/// Appends `text` to `out` so that it reads as the same text in HTML element
/// content and in quoted attribute values: & < > " ' become character
/// references. Bytes that are not well-formed UTF-8 (stray continuation
/// bytes, truncated or overlong sequences, surrogates, code points above
/// U+10FFFF) become U+FFFD, one for each maximal ill-formed part as Unicode
/// recommends; so do the control characters other than tab, line feed and
/// carriage return, which HTML does not allow in text. Any byte string gives
/// well-formed UTF-8 that no browser reads as markup.
void appendHtmlEscaped(std::string& out, std::string_view text);

/// Appends `name`, text from the log, escaped as appendHtmlEscaped does and
/// set apart between U+2068 FIRST STRONG ISOLATE and U+2069 POP DIRECTIONAL
/// ISOLATE: a direction mark in it (a right-to-left override) ends with it,
/// so the text after it keeps its order. For text that no element can hold
/// (a page's <title>, an SVG <title>); in element content
/// appendNameElement does the same and leaves the text the name alone.
void appendIsolatedName(std::string& out, std::string_view name);

/// Appends `name`, text from the log, escaped as appendHtmlEscaped does in a
/// <bdi> element, which isolates it as appendIsolatedName does.
void appendNameElement(std::string& out, std::string_view name);

}  // namespace sessionstats

#endif  // SESSION_STATS_REPORT_HTML_ESCAPE_H_
