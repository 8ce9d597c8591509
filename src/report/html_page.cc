#include "report/html_page.h"

#include <array>

namespace sessionstats {
namespace {

// The page is handed to the stream whenever it holds this much, so a report
// with thousands of opponents needs no more memory than one chunk.
constexpr std::size_t kChunkSize = std::size_t{1} << 16;

// A colour of the stylesheet, named where the stylesheet says "$name".
struct PaletteColour {
  std::string_view name;
  std::string_view css;
};

constexpr std::array<PaletteColour, 12> kPalette{{
    {"ink", "#1f2330"},
    {"muted", "#5d6475"},
    {"line", "#dfe2ea"},
    {"page", "#f3f4f8"},
    {"white", "#fff"},
    {"black", "#000"},
    {"winbar", kWinBarColour},
    {"lossbar", kLossBarColour},
    {"bannerfrom", "#2d1b4e"},
    {"bannerto", "#542788"},
    {"axis", "#9aa0ad"},
    {"ground", "#eceef3"},
}};

constexpr bool isNameByte(char c) { return c >= 'a' && c <= 'z'; }

// The name that starts `text`: its leading lower-case letters.
constexpr std::string_view leadingName(std::string_view text) {
  std::size_t length = 0;
  while (length < text.size() && isNameByte(text[length])) ++length;
  return text.substr(0, length);
}

constexpr const PaletteColour* findColour(std::string_view name) {
  for (const PaletteColour& colour : kPalette) {
    if (colour.name == name) return &colour;
  }
  return nullptr;
}

// Narrow screens keep the name, matches and win-rate bar of each character
// and scroll the charts sideways; print shows every opponent's section,
// folded or not, in a block of its own, since a browser that does not know
// ::details-content drops the whole block around it.
constexpr std::string_view kStyle = R"(
:root{--ink:$ink;--muted:$muted;--line:$line;--page:$page;--card:$white;
--winbar:$winbar;--lossbar:$lossbar}
*{box-sizing:border-box}
body{margin:0;background:var(--page);color:var(--ink);
font:15px/1.5 system-ui,-apple-system,"Segoe UI",Roboto,"Noto Sans",sans-serif}
main{max-width:1100px;margin:0 auto;padding:16px}
header.top{background:linear-gradient(135deg,$bannerfrom,$bannerto);color:$white;
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
svg .axis{stroke:$axis;stroke-width:1}
svg .grid{stroke:var(--line);stroke-width:1}
svg .label{font-size:12px;fill:var(--muted)}
svg .title{font-size:13px;font-weight:600;fill:var(--muted)}
svg .ground{fill:$ground}svg .rules{stroke:$white;stroke-width:2;fill:none}
.cell text{text-anchor:middle;font-size:14px}svg .cell .light{fill:$white}.cell rect{stroke:rgba(0,0,0,.1)}
summary{cursor:pointer;font-weight:600;font-size:16px;overflow-wrap:anywhere}
summary small{font-weight:400;color:var(--muted);margin-left:8px}
@media (max-width:600px){main{padding:8px}h1{font-size:26px}.figure b{font-size:20px}
.figures{grid-template-columns:repeat(2,1fr)}
section,details{padding:12px}td.rate{min-width:110px}.chars tr>:nth-child(3),.chars tr>:nth-child(4),
.chars tr>:nth-child(6){display:none}}
@media print{body{background:$white;font-size:12px}main{max-width:none;padding:0}
header.top{background:$white;color:$black;border:2px solid $bannerto}
section{break-inside:avoid}details{break-inside:avoid-page}.scroll{overflow:visible}
.scroll svg{max-width:100%}svg.chart{min-width:0}*{print-color-adjust:exact;-webkit-print-color-adjust:exact}}
@media print{details::details-content{content-visibility:visible;display:block}}
)";

// Whether every "$name" of `style` names a colour of the palette.
constexpr bool everyColourNamed(std::string_view style) {
  for (std::size_t at = style.find('$'); at != std::string_view::npos;
       at = style.find('$', at + 1)) {
    if (findColour(leadingName(style.substr(at + 1))) == nullptr) return false;
  }
  return true;
}
static_assert(everyColourNamed(kStyle));

void writeStyle(HtmlPage& page) {
  std::string_view rest = kStyle;
  for (std::size_t at = rest.find('$'); at != std::string_view::npos;
       at = rest.find('$')) {
    page.raw(rest.substr(0, at));
    rest.remove_prefix(at + 1);
    const std::string_view name = leadingName(rest);
    page.raw(findColour(name)->css);
    rest.remove_prefix(name.size());
  }
  page.raw(rest);
}

}  // namespace

HtmlPage::HtmlPage(std::ostream& out) : out_(out) {
  text_.reserve(2 * kChunkSize);
}

void HtmlPage::mayFlush() {
  if (text_.size() >= kChunkSize) flush();
}

void HtmlPage::flush() {
  out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
  text_.clear();
}

void writePageStart(HtmlPage& page, std::string_view title) {
  page.raw(
          "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta "
          "charset=\"utf-8\">\n<meta http-equiv=\"Content-Security-Policy\" "
          "content=\"")
      .raw(kHtmlContentSecurityPolicy)
      .raw(
          "\">\n<meta name=\"viewport\" content=\"width=device-width, "
          "initial-scale=1\">\n<title>")
      .escaped(title)
      .raw(" – session-stats</title>\n<style>");
  writeStyle(page);
  page.raw("</style>\n</head>\n<body>\n<main>\n");
}

void writePageEnd(HtmlPage& page) {
  page.raw("</main>\n</body>\n</html>\n");
  page.flush();
}

}  // namespace sessionstats
