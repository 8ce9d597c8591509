#include "report/html_page.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "report/utf8.h"

namespace sessionstats {
namespace {

// The characters that could be read as markup, and their references.
constexpr std::array<std::pair<char, std::string_view>, 5> kReferences{{
    {'&', "&amp;"},
    {'<', "&lt;"},
    {'>', "&gt;"},
    {'"', "&quot;"},
    {'\'', "&#39;"},
}};

bool isForbiddenControl(char c) {
  const auto byte = static_cast<std::uint8_t>(c);
  return (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') || byte == 0x7F;
}

// The colour of each win-rate step, and whether white text reads better on
// it than near black: ColorBrewer's PuOr (7 classes, losses orange, wins
// purple) interpolated at every step, and the text light where the WCAG 2
// relative luminance is below 0.18, where both give the same contrast.
struct RateColour {
  std::string_view css;
  bool lightText = false;
};
constexpr std::array<RateColour, kRateSteps + 1> kRateColours{{
    {"#b35806", true},  {"#c66f17", false}, {"#d88529", false},
    {"#eb9c3a", false}, {"#f4af58", false}, {"#f8c27b", false},
    {"#fbd49e", false}, {"#fde2bc", false}, {"#fbe9d0", false},
    {"#f9f0e4", false}, {"#f7f7f7", false}, {"#eeeef3", false},
    {"#e4e6f0", false}, {"#dbddec", false}, {"#cbcbe3", false},
    {"#b9b4d7", false}, {"#a69dcb", false}, {"#9284bd", false},
    {"#7d65ab", true},  {"#69469a", true},  {"#542788", true},
}};

// The figures of the header shrink with their tile (cqi) and never wrap.
// Wide tables and grids scroll sideways inside a ".scroll" box, their first
// column staying in view. Sections far down the page (".far", the
// opponents) are laid out only when scrolled near, which keeps a page with
// thousands of opponents quick to open. An empty heatmap cell is hatched,
// unlike any win rate. Print shows every opponent's section, folded or
// not, in a block of its own, since a browser that does not know
// ::details-content drops the whole block around it. A name in the
// opponents table wraps anywhere, so that the longest a log line holds
// leaves the figures beside it in view.
constexpr std::string_view kStyle = R"(
:root{--ink:#1f2330;--muted:#5d6475;--line:#dfe2ea;--page:#f3f4f8;--white:#fff;
--black:#000;--card:var(--white);--winbar:#7b68b5;--lossbar:#f1a340;--trend:#3b3f4c;
--banner-from:#2d1b4e;--banner-to:#542788;--axis:#9aa0ad;--ground:#eceef3}
*{box-sizing:border-box}
body{margin:0;background:var(--page);color:var(--ink);
font:15px/1.5 system-ui,-apple-system,"Segoe UI",Roboto,"Noto Sans",sans-serif}
main{max-width:1200px;margin:0 auto;padding:16px}
header.top{background:linear-gradient(135deg,var(--banner-from),var(--banner-to));color:var(--white);
border-radius:14px;padding:20px 22px;margin-bottom:16px}
.kicker{margin:0;font-size:12px;letter-spacing:.12em;text-transform:uppercase;opacity:.8}
h1{margin:2px 0 6px;font-size:34px;line-height:1.15;overflow-wrap:anywhere}
.filters{margin:0 0 14px;opacity:.9}
.figures{display:grid;grid-template-columns:repeat(4,minmax(0,1fr));gap:10px}
.figure{background:rgba(255,255,255,.12);border-radius:10px;padding:10px 12px;container-type:inline-size}
.figure b{display:block;font-size:clamp(10px,9cqi,26px);line-height:1.2;white-space:nowrap;font-variant-numeric:tabular-nums}
.figure span{font-size:12px;opacity:.85}
.streaks{margin:12px 0 0;display:flex;flex-wrap:wrap;gap:8px}
.streaks span{background:rgba(255,255,255,.16);border-radius:999px;padding:3px 12px;font-size:13px}
section,details{background:var(--card);border:1px solid var(--line);border-radius:14px;
padding:16px 18px;margin-bottom:16px}
.far{content-visibility:auto;contain-intrinsic-size:auto 600px}
details.opp{content-visibility:auto;contain-intrinsic-size:auto 60px}
h2{margin:0 0 10px;font-size:19px}
h3{margin:14px 0 6px;font-size:15px}
h2.opponents{margin:24px 4px 10px}
.note{color:var(--muted);font-size:13px;margin:4px 0 8px}
table{border-collapse:collapse;width:100%;font-variant-numeric:tabular-nums}
th,td{padding:6px 8px;border-bottom:1px solid var(--line);text-align:right;white-space:nowrap}
th:first-child,td:first-child{text-align:left}
.opps td:first-child,.recent td:nth-child(2){white-space:normal;overflow-wrap:anywhere;min-width:8em}
.effects td:first-child{white-space:normal;min-width:14em}
.recent tr>:nth-child(2),.recent tr>:last-child{text-align:left}.recent td:last-child{white-space:normal;min-width:14em}
th{font-size:12px;color:var(--muted);font-weight:600;text-transform:uppercase;letter-spacing:.04em}
td.rate{width:30%;min-width:150px}
.bar{display:flex;align-items:center;gap:8px}
.bar i{display:block;height:12px;border-radius:6px;background:var(--lossbar);flex:1;position:relative;overflow:hidden}
.bar i b{position:absolute;left:0;top:0;bottom:0;background:var(--winbar)}
.bar em{font-style:normal;min-width:48px}
.scroll{overflow-x:auto}
.scroll svg{max-width:none}
.scroll table{width:auto;min-width:100%}
.sticky tr>:first-child{position:sticky;left:0;background:var(--card);z-index:1}
svg{display:block;max-width:100%;height:auto}
svg.chart{width:100%;min-width:560px}
svg text{font-family:inherit;fill:var(--ink)}
svg .axis{stroke:var(--axis);stroke-width:1}
svg .grid{stroke:var(--line);stroke-width:1}
svg .label{font-size:12px;fill:var(--muted)}
svg .title{font-size:13px;font-weight:600;fill:var(--muted)}
svg .bars rect{fill:var(--winbar)}
svg .line{fill:none;stroke:var(--winbar);stroke-width:2}
svg .trend{fill:none;stroke:var(--trend);stroke-width:2.5;stroke-dasharray:6 4}
svg .dots circle{stroke:var(--trend);stroke-width:1.5}
svg .form{fill:none;stroke:var(--winbar);stroke-width:2.5}
svg .raw{fill:none;stroke:var(--lossbar);stroke-width:2;stroke-dasharray:6 4}
svg .band{fill:var(--winbar);fill-opacity:.2}
svg circle.raw{fill:var(--lossbar);stroke:none}
.nowrap{white-space:nowrap}
table.heat{width:auto;min-width:0;border-collapse:separate;border-spacing:2px;font-size:12px}
.heat th,.heat td{padding:0 2px;border:0;text-align:center;letter-spacing:0;text-transform:none;font-size:inherit}
.heat td,.heat th[class]{min-width:38px;height:26px;border-radius:3px}
.heat td:not([class]){
background:repeating-linear-gradient(135deg,var(--white) 0 3px,var(--ground) 3px 6px)}
.heat thead th{vertical-align:bottom;padding:2px 0}
.heat thead th span{writing-mode:vertical-rl;transform:rotate(180deg)}
.heat tbody th{text-align:right;padding-right:6px}
.totals tr>:last-child,.totals tr.all>*{font-weight:700}
.legend{display:flex;flex-wrap:wrap;align-items:center;gap:2px;font-size:12px;color:var(--muted);margin:10px 0 0}
.legend i{display:inline-block;width:26px;height:16px;border-radius:3px}
.legend i.e{background:repeating-linear-gradient(135deg,var(--white) 0 3px,var(--ground) 3px 6px);margin-left:12px}
summary{cursor:pointer;font-weight:600;font-size:16px;overflow-wrap:anywhere}
summary small{font-weight:400;color:var(--muted);margin-left:8px}
@media (max-width:600px){main{padding:8px}h1{font-size:26px}
.figures{grid-template-columns:repeat(2,minmax(0,1fr))}
section,details{padding:12px}td.rate{min-width:110px}.chars tr>:nth-child(3),.chars tr>:nth-child(4),
.chars tr>:nth-child(6){display:none}}
@media print{body{background:var(--white);font-size:12px}main{max-width:none;padding:0}
header.top{background:var(--white);color:var(--black);border:2px solid var(--banner-to)}
section{break-inside:avoid}details{break-inside:avoid-page}.scroll{overflow:visible}
.far,details.opp{content-visibility:visible}.sticky tr>:first-child{position:static}
th,td{padding:3px 4px}td.rate{width:auto;min-width:72px}.bar em{min-width:42px}
table.heat{font-size:9px}table.heat.totals{font-size:7px}.heat td{min-width:0;height:16px}.scroll table{min-width:0}
.scroll svg{max-width:100%}svg.chart{min-width:0}*{print-color-adjust:exact;-webkit-print-color-adjust:exact}}
@media print{details::details-content{content-visibility:visible;display:block}}
svg.form-chart{min-width:0}svg .faint{opacity:.35}.answers{padding-left:20px}.answers li{margin:4px 0}
)";

void writeStyle(HtmlPage& page) {
  page.raw(kStyle);
  for (const RateColour& colour : kRateColours) {
    page.raw(".q")
        .number(&colour - kRateColours.data())
        .raw("{background:")
        .raw(colour.css)
        .raw(";fill:")
        .raw(colour.css)
        .raw(colour.lightText ? ";color:var(--white)}" : "}");
  }
  page.raw("\n");
  for (int percent = 0; percent <= 100; ++percent) {
    page.raw(".w").number(percent).raw("{width:").number(percent).raw("%}");
  }
  page.raw("\n");
}

}  // namespace

int rateStep(double percent) {
  // !(x > 0) also catches NaN.
  if (!(percent > 0)) return 0;
  return static_cast<int>(
      std::lround(std::min(percent, 100.0) / kRateStepPercent));
}

// A markup character or a control is a sequence of one byte, and the lead
// byte of a longer one is neither.
HtmlPage& HtmlPage::escaped(std::string_view text) {
  while (!text.empty()) {
    const int length = utf8SequenceLength(text);
    const char c = text.front();
    const auto* const reference =
        std::find_if(kReferences.begin(), kReferences.end(),
                     [c](const auto& markup) { return markup.first == c; });
    if (length < 0 || isForbiddenControl(c)) {
      raw(kReplacementCharacter);
    } else if (reference != kReferences.end()) {
      raw(reference->second);
    } else {
      raw(text.substr(0, static_cast<std::size_t>(length)));
    }
    text.remove_prefix(static_cast<std::size_t>(std::abs(length)));
  }
  return *this;
}

HtmlPage& HtmlPage::count(std::int64_t value) {
  char digits[kMaxInt64Length];
  const char* end = formatInteger(digits, value);
  const char* first = digits;
  if (*first == '-') raw(*first++);
  const auto length = static_cast<std::size_t>(end - first);
  for (std::size_t i = 0; i < length; ++i) {
    if (i > 0 && (length - i) % 3 == 0) raw(',');
    raw(first[i]);
  }
  return *this;
}

HtmlPage& HtmlPage::shortPercentage(double percent) {
  char digits[kMaxPercentageLength];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits,
                                          percent, std::chars_format::fixed, 1);
  if (error == std::errc())
    raw({digits, static_cast<std::size_t>(end - digits)});
  return raw('%');
}

HtmlPage& HtmlPage::winRate(std::int32_t wins, std::int32_t losses) {
  if (std::int64_t{wins} + losses == 0) return raw("–");
  return shortPercentage(winPercentage(wins, losses));
}

HtmlPage& HtmlPage::duration(std::int32_t seconds) {
  constexpr std::int32_t kMinute = 60;
  constexpr std::int32_t kHour = 60 * kMinute;
  return count(seconds / kHour)
      .raw("h ")
      .number(seconds % kHour / kMinute)
      .raw("m ")
      .number(seconds % kMinute)
      .raw("s");
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
      .isolatedName(title)
      .raw(" – session-stats</title>\n<style>");
  writeStyle(page);
  page.raw("</style>\n</head>\n<body>\n<main>\n");
}

void writePageEnd(HtmlPage& page) {
  page.raw("</main>\n</body>\n</html>\n");
  page.flush();
}

}  // namespace sessionstats
