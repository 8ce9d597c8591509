#include "live/live_report.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/ordered_pipeline.h"
#include "report/csv_writer.h"
#include "report/html_report.h"
#include "report/json_report.h"
#include "report/overlay_page.h"
#include "report/report_writer.h"
#include "stats/character_roster.h"

namespace sessionstats {
namespace {

// A report and its insights as two items of the pipeline: the first writes
// the report up to the insights, while the second fits them on the other
// thread; its use writes them and the rest. On a log of thousands of
// opponents the fit takes about as long as the writing it runs beside.
struct InsightsStages final : PipelineStages {
  bool take(std::size_t item, std::size_t slot) override {
    if (item >= kItems) return false;
    items[slot] = item;
    return true;
  }
  void make(std::size_t slot) override {
    if (items[slot] == 1) insights = fit();
  }
  void use(std::size_t slot) override {
    if (items[slot] == 0) {
      writeStart();
    } else {
      writeEnd(insights);
    }
  }

  static constexpr std::size_t kItems = 2;
  std::function<void()> writeStart;
  std::function<Insights()> fit;
  std::function<void(const Insights&)> writeEnd;
  std::array<std::size_t, kItems> items{};  // the item in each slot
  Insights insights;                        // made by the fit's item, then used
};

// What `player` played in `matches`, for a selection that none of them
// passes: "; he played Sion, H&K from 2026-11-02 to 2026-11-04" (the
// characters in roster order, the first and last dates of his matches
// that have one); empty when he played none.
std::string whatWasPlayed(const PlayerRecord& player, const MatchLog& matches) {
  std::uint32_t characters = 0;
  std::uint32_t first = kNoDate;
  std::uint32_t last = kNoDate;
  for (const MatchEntry& entry : matches) {
    forEachSide(entry, player, [&](const MatchSide& side) {
      characters |= 1U << side.ownCharacter;
      if (entry.date == kNoDate) return;
      first = first == kNoDate ? entry.date : std::min(first, entry.date);
      last = std::max(last, entry.date);
    });
  }
  if (characters == 0) return "";
  std::string text = "; he played ";
  const char* separator = "";
  for (int index = 0; index < kCharacterCount; ++index) {
    if ((characters & (1U << index)) == 0) continue;
    text.append(separator).append(kRoster.shortName[index]);
    separator = ", ";
  }
  if (first != kNoDate) {
    text += first == last
                ? " on " + formatDate(first)
                : " from " + formatDate(first) + " to " + formatDate(last);
  }
  return text;
}

}  // namespace

LiveReport::LiveReport(ReportRequest request, OutputSink sink)
    : request_(std::move(request)), sink_(std::move(sink)) {
  restart();
}

void LiveReport::restart() {
  matchLog_.clear();
  reader_.reset();
  records_ = std::make_unique<StatsRecords>();
  reader_ = std::make_unique<SessionLogReader>(*records_);
  // A follow's match log also tells which lines counted a match: a list
  // counts every player's, a report its player's.
  if (request_.follow || perMatch()) {
    reader_->logMatches(matchLog_,
                        request_.listing ? std::nullopt : request_.player);
  }
  seenMatches_ = 0;
  seenPlayers_ = 0;
  seenSession_ = {};
}

void LiveReport::line(std::string_view line) { reader_->read(parseLine(line)); }

bool LiveReport::changed() {
  const OpenSession open = reader_->openSession();
  bool changed = matchLog_.size() != seenMatches_;
  if (request_.listing) {
    changed = changed || records_->players().size() != seenPlayers_;
    seenPlayers_ = records_->players().size();
  } else if (open.ordinal != seenSession_.ordinal) {
    changed = changed || playsIn(seenSession_) || playsIn(open);
  }
  seenSession_ = open;
  if (!perMatch()) matchLog_.clear();
  seenMatches_ = matchLog_.size();
  return changed;
}

Status LiveReport::write() {
  if (request_.listing) return writeList();
  PlayerRecord absent;
  absent.name = *request_.player;
  const PlayerRecord* found = records_->findPlayer(*request_.player);
  const PlayerRecord& player = found != nullptr ? *found : absent;
  if (!perMatch()) {
    const PlayerStats stats = buildPlayerStats(player);
    counted_ = stats.matches();
    return writeText(stats);
  }
  MatchLog copy;
  return writeHistory(player, matchesToFilter(copy));
}

std::string LiveReport::counted() const {
  const std::string count = std::to_string(counted_);
  const bool one = counted_ == 1;
  if (request_.listing) return count + (one ? " player" : " players");
  return quotedName(*request_.player) + ", " + count +
         (one ? " match" : " matches");
}

bool LiveReport::playsIn(const OpenSession& session) const {
  const auto named = [this](const PlayerRecord* player) {
    return player != nullptr && player->name == *request_.player;
  };
  return named(session.player1) || named(session.player2);
}

Status LiveReport::writeList() {
  MatchLog copy;
  MatchLog& window = matchesToFilter(copy);
  if (request_.filter.any()) keepMatchesInWindow(window, request_.filter);
  counted_ = 0;
  return sink_([&](std::ostream& stream) {
    const std::size_t players =
        request_.filter.any()
            ? writePlayerList(stream, *records_, window, request_.names)
            : writePlayerList(stream, *records_, request_.names);
    counted_ = static_cast<std::int64_t>(players);
  });
}

// While following, a line that says so stands instead of a report of no
// match, which would show "999999s" as the shortest match.
Status LiveReport::writeText(const PlayerStats& stats) {
  if (request_.follow && stats.matchWins == 0 && stats.matchLosses == 0) {
    return sink_([&stats](std::ostream& stream) {
      stream << "No match of " << stats.name << " has passed yet.\r\n";
    });
  }
  const std::vector<std::string> filters = describeFilter(request_.filter);
  return sink_([&](std::ostream& stream) {
    writeReport(stream, stats, PipelineThreads::kTwo, filters);
  });
}

Status LiveReport::writeHistory(const PlayerRecord& player, MatchLog& matches) {
  const MatchFilter& filter = request_.filter;
  // Only a run that fails when no match passes tells what did pass; the
  // matches are filtered in place.
  const std::string played = !request_.follow && filter.any()
                                 ? whatWasPlayed(player, matches)
                                 : std::string();
  keepMatches(matches, player, filter);
  counted_ = 0;
  for (const MatchEntry& entry : matches) {
    forEachSide(entry, player, [this](const MatchSide&) { ++counted_; });
  }
  // A report of nothing would replace a good one with empty tables. A
  // follow waits for the first match instead.
  if (!request_.follow && filter.any() && matches.empty()) {
    return Status::failed("no match of " + quotedName(player.name) +
                          " passes the filters" + played);
  }
  if (request_.format == ReportFormat::kCsv) {
    return sink_(
        [&](std::ostream& stream) { writeMatchCsv(stream, player, matches); });
  }
  // The stats point into the records they are built from. Without a filter
  // every match of the player passes, and his own records already hold what
  // a replay would count: a second copy of them would double the memory of a
  // report of thousands of opponents.
  StatsRecords passing;
  PlayerStats stats;
  if (request_.format != ReportFormat::kOverlay) {
    const PlayerRecord* counted = &player;
    if (filter.any()) {
      replayMatches(player, matches, passing);
      counted = passing.findPlayer(player.name);
    }
    stats = buildPlayerStats(*counted);
    if (request_.format == ReportFormat::kText) return writeText(stats);
  }
  const auto sum = [&] {
    return buildSessionHistory(player, matches, reader_->openSession(), filter);
  };
  if (request_.format == ReportFormat::kOverlay) {
    return sink_([&](std::ostream& stream) {
      writeOverlayPage(stream, player.name, sum());
    });
  }
  // The history is summed while the fit runs, on the calling thread.
  SessionHistory history;
  const bool html = request_.format == ReportFormat::kHtml;
  return sink_([&](std::ostream& stream) {
    InsightsStages stages;
    stages.writeStart = [&] {
      history = sum();
      if (html) {
        writeHtmlReportStart(stream, stats, history);
      } else {
        writeJsonReportStart(stream, stats, history);
      }
    };
    stages.fit = [&] { return fitInsights(player, matches); };
    stages.writeEnd = [&](const Insights& insights) {
      if (html) {
        writeHtmlReportEnd(stream, stats, history, insights,
                           request_.pageReader);
      } else {
        writeJsonReportEnd(stream, insights);
      }
    };
    runOrderedPipeline(stages, InsightsStages::kItems, PipelineThreads::kTwo);
  });
}

}  // namespace sessionstats
