#ifndef SESSION_STATS_LIVE_LIVE_REPORT_H_
#define SESSION_STATS_LIVE_LIVE_REPORT_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "live/log_follower.h"
#include "log/session_log_reader.h"
#include "os/status.h"
#include "report/html_report.h"
#include "report/player_list.h"
#include "stats/match_filter.h"
#include "stats/match_log.h"
#include "stats/session_history.h"
#include "stats/stats_records.h"

namespace sessionstats {

/// What a report is written as: the text report, one CSV row per match, one
/// JSON document, one self-contained HTML page, or the small HTML page of the
/// session in progress for a stream.
enum class ReportFormat { kText, kCsv, kJson, kHtml, kOverlay };

/// What is written: the player list, or the report of one player.
struct ReportRequest {
  bool listing = false;
  std::optional<std::string> player;  // of a report; none until it is known
  ReportFormat format = ReportFormat::kText;
  MatchFilter filter;  // a list looks at its window only
  // While following, a report waits for its first match instead of failing.
  bool follow = false;
  ListNames names = ListNames::kExact;           // of a list
  PageReader pageReader = PageReader::kConsole;  // of an HTML report
};

/// Writes an output whole with `write`, or leaves it as it was and says why.
using OutputSink =
    std::function<Status(const std::function<void(std::ostream&)>& write)>;

/// The records of the log read so far and the report or list of a request
/// written from them. A follow hands it to followLog; a run that reads the
/// logs once reads them into reader() and writes once. It keeps 40 bytes per
/// match (of request.player when known, else of every player) when
/// following, filtering or writing a format other than text, else none.
class LiveReport final : public FollowTarget {
 public:
  /// REQUIRES: a list has no player; the sink outlives the report.
  LiveReport(ReportRequest request, OutputSink sink);

  void restart() override;
  void line(std::string_view line) override;
  bool changed() override;
  /// Writes the list, or the report of request.player (a player the log
  /// does not name has played no match). Not following, a report that a
  /// filter leaves without a match is not written: that fails, saying what
  /// the player played (his characters, his first and last dates). Without
  /// following, the match log is filtered in place, so write only once.
  /// REQUIRES: for a report, the player is known.
  Status write() override;

  /// The reader a run that reads the logs once reads them into.
  SessionLogReader& reader() { return *reader_; }
  const StatsRecords& records() const { return *records_; }
  /// Names the player of a report read with none. REQUIRES: before write().
  void choosePlayer(std::string name) { request_.player = std::move(name); }
  /// What the last write counted: "2 players" listed, or the matches of the
  /// report, "Kestrel, 30 matches" (a match against himself once per side).
  std::string counted() const;

 private:
  // Whether the output needs the matches one by one.
  bool perMatch() const {
    return request_.filter.any() || request_.format != ReportFormat::kText;
  }
  bool playsIn(const OpenSession& session) const;
  // The match log for a write to filter: its own, or while following with
  // a filter a copy in `copy`, as the log must keep every match.
  MatchLog& matchesToFilter(MatchLog& copy) {
    return request_.follow && request_.filter.any() ? (copy = matchLog_)
                                                    : matchLog_;
  }
  Status writeList();
  Status writeText(const PlayerStats& stats);
  Status writeHistory(const PlayerRecord& player, MatchLog& matches);

  ReportRequest request_;
  OutputSink sink_;
  std::unique_ptr<StatsRecords> records_;
  std::unique_ptr<SessionLogReader> reader_;  // counts into *records_
  MatchLog matchLog_;
  std::size_t seenMatches_ = 0;
  std::size_t seenPlayers_ = 0;
  OpenSession seenSession_;
  std::int64_t counted_ = 0;
};

}  // namespace sessionstats

#endif  // SESSION_STATS_LIVE_LIVE_REPORT_H_
