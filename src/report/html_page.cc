#include "report/html_page.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "report/html_page_css.h"
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

void writeStyle(HtmlPage& page) {
  page.raw(kPageStyle);
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
