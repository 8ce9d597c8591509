#include "report/html_bar_chart.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "report/html_chart.h"

namespace sessionstats {
namespace {

// A band is shown on its own when it holds at least 1/kTailShare of the
// matches, or when a later one does.
constexpr std::int64_t kTailShare = 200;

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
  const std::size_t last = bands.counts.size() - 1;
  Chart chart;
  chart.label = "Bar chart of the number of matches by length in seconds";
  chart.valueTitle = "Matches";
  chart.categoryTitle = "Match length (seconds)";
  chart.rates = false;
  chart.series.resize(1);
  chart.series[0].kind = SeriesKind::kBars;
  for (std::size_t band = 0; band <= last; ++band) {
    const std::int64_t count = bands.counts[band];
    chart.series[0].values.push_back(static_cast<double>(drawable(count)));
    chart.labels.push_back(
        std::to_string(static_cast<std::int64_t>(band) * kLengthBandSeconds) +
        (bands.openEnded && band == last ? "+" : ""));
  }
  writeChart(page, chart, [&](std::size_t band) {
    const std::int64_t count = bands.counts[band];
    page.raw(chart.labels[band]);
    if (!bands.openEnded || band != last) {
      page.raw(" to ").number(
          static_cast<std::int64_t>(band + 1) * kLengthBandSeconds - 1);
    }
    page.raw(" seconds: ").count(count).raw(count == 1 ? " match" : " matches");
  });
  page.raw("</section>\n");
}

}  // namespace sessionstats
