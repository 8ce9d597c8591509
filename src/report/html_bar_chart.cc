#include "report/html_bar_chart.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "report/html_chart.h"

namespace sessionstats {
namespace {

// A bar leaves a gap on each side of its slot and has rounded corners.
constexpr int kBarGap = 2;
constexpr int kBarCornerRadius = 3;
// Room a band's label needs ("720+" and a margin), in user units.
constexpr int kBandLabelRoom = 5 * kLabelCharWidth;
// A band is shown on its own when it holds at least 1/kTailShare of the
// matches, or when a later one does.
constexpr std::int64_t kTailShare = 200;

// A tick step of 1, 2 or 5 times a power of ten that gives at most about
// five ticks up to `top`. REQUIRES: top >= 0.
std::int64_t tickStep(std::int64_t top) {
  std::int64_t step = 1;
  for (;;) {
    for (const std::int64_t factor : {1, 2, 5}) {
      if (top / (step * factor) <= 5) return step * factor;
    }
    step *= 10;
  }
}

// The bands the chart shows: they run to the last one that holds a fair
// share of the matches; the rare longer matches go into one more band, "N+".
struct LengthBands {
  std::vector<std::int64_t> counts;
  bool openEnded = false;  // whether the last band is "N+"
};

LengthBands lengthBands(const LengthCounts& lengths, std::int64_t total) {
  int shown = 0;
  for (int bucket = 0; bucket < kLengthBucketCount; ++bucket) {
    if (drawable(lengths[bucket]) * kTailShare >= total) shown = bucket + 1;
  }
  LengthBands bands;
  bands.counts.assign(lengths.begin(), lengths.begin() + shown);
  std::int64_t tail = 0;
  for (int bucket = shown; bucket < kLengthBucketCount; ++bucket) {
    tail += drawable(lengths[bucket]);
  }
  if (tail > 0) bands.counts.push_back(tail);
  bands.openEnded = tail > 0 || shown == kLengthBucketCount;
  return bands;
}

// The labels of the bands' lower ends, every labelEvery-th; an open-ended
// last band is always labelled, so the labels before it keep their
// distance from it.
void writeBandLabels(HtmlPage& page, const ChartFrame& frame,
                     const LengthBands& bands, int slot, int labelEvery) {
  const int last = static_cast<int>(bands.counts.size()) - 1;
  for (int band = 0; band <= last; ++band) {
    const bool labelled = bands.openEnded
                              ? band == last || (band % labelEvery == 0 &&
                                                 band <= last - labelEvery)
                              : band % labelEvery == 0;
    if (!labelled) continue;
    page.raw("<text class=\"label\"")
        .attr("x", frame.left + band * slot)
        .attr("y", kCategoryLabelY)
        .attr("text-anchor", "middle")
        .raw(">")
        .number(std::int64_t{band} * kLengthBandSeconds)
        .raw(bands.openEnded && band == last ? "+" : "")
        .raw("</text>\n");
  }
}

}  // namespace

void writeLengthChart(HtmlPage& page, const LengthCounts& lengths) {
  page.raw("<section class=\"far\">\n<h2>Match lengths</h2>\n");
  std::int64_t total = 0;
  for (const std::int32_t count : lengths) total += drawable(count);
  if (total == 0) {
    page.raw("<p class=\"note\">No match to show.</p>\n</section>\n");
    return;
  }
  const LengthBands bands = lengthBands(lengths, total);
  const int last = static_cast<int>(bands.counts.size()) - 1;
  const std::int64_t highest =
      *std::max_element(bands.counts.begin(), bands.counts.end());
  const std::int64_t step = tickStep(highest);
  const std::int64_t top = (highest + step - 1) / step * step;
  const ChartFrame frame = chartFrame(top, "");
  const int slot = frame.width() / (last + 1);
  const int labelEvery = (kBandLabelRoom + slot - 1) / slot;
  page.raw("<div class=\"scroll\">");
  writeSvgOpen(page, "Bar chart of the number of matches by length in seconds");
  writeValueAxis(page, frame, top, step, "", "Matches");
  page.raw("<g class=\"bars\">\n");
  for (int band = 0; band <= last; ++band) {
    const std::int64_t count = bands.counts[static_cast<std::size_t>(band)];
    const std::int64_t height = drawable(count) * kPlotHeight / top;
    const std::int64_t from = std::int64_t{band} * kLengthBandSeconds;
    page.raw("<rect")
        .attr("x", frame.left + band * slot + kBarGap)
        .attr("y", kPlotTop + kPlotHeight - height)
        .attr("width", slot - 2 * kBarGap)
        .attr("height", height)
        .attr("rx", kBarCornerRadius)
        .raw("><title>");
    if (bands.openEnded && band == last) {
      page.number(from).raw("+");
    } else {
      page.number(from).raw(" to ").number(from + kLengthBandSeconds - 1);
    }
    page.raw(" seconds: ")
        .count(count)
        .raw(count == 1 ? " match" : " matches")
        .raw("</title></rect>\n");
  }
  page.raw("</g>\n");
  writeBandLabels(page, frame, bands, slot, labelEvery);
  writeCategoryAxis(page, frame, "Match length (seconds)");
  page.raw("</svg></div>\n</section>\n");
}

}  // namespace sessionstats
