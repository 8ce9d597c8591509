#include "app/driver.h"

#include <cerrno>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/answer.h"
#include "app/console.h"
#include "app/interrupt.h"
#include "app/log_follower.h"
#include "app/report_file.h"
#include "app/status.h"
#include "log/session_log_reader.h"
#include "report/csv_writer.h"
#include "report/html_report.h"
#include "report/json_report.h"
#include "report/overlay_page.h"
#include "report/player_list.h"
#include "report/report_writer.h"
#include "stats/current_session.h"
#include "stats/match_filter.h"
#include "stats/match_log.h"
#include "stats/stats_records.h"

namespace sessionstats {
namespace {

constexpr std::string_view kStandardOutputLabel = "standard output";

// Runs `write` on standard output and flushes it; a failure when any of it
// was lost (a full disk, a failing device). A failed write leaves its errno
// and the stream writes nothing more, so errno still tells why. A reader
// that has gone (`| head`, a pager quit early) took all it wanted: that ends
// the output quietly, with success.
template <typename Write>
Status writeOutput(std::ostream& out, const Write& write) {
  errno = 0;
  write(out);
  out.flush();
  if (out || errno == EPIPE) return Status();
  return Status::failed("could not write " + std::string(kStandardOutputLabel),
                        errno != 0 ? errno : EIO);
}

Status noPlayer(std::string_view log, std::string_view name) {
  return Status::failed(std::string(log) + " names no player " +
                        std::string(name));
}

// Says what went wrong, if anything, and gives the exit status. A log that
// cannot be read from its first byte gets the classic "Could not find" line
// on `talk`; one that is there but cannot be read (no permission, a
// directory, a symlink loop, a failing disk) also says why.
int finish(const Status& status, const Options& options, std::ostream& talk,
           std::ostream& err) {
  if (status.ok()) return 0;
  if (status.kind() == Status::Kind::kNotFound) {
    talk << "Could not find " << options.logFile << '\n';
    if (status.error() == ENOENT || status.error() == ENOTDIR) {
      return status.exitStatus();
    }
  }
  writeErrorLine(err, status);
  return status.exitStatus();
}

// Runs `write` on the report file of `options`, or on `out` for "-".
template <typename Write>
Status writeReportTo(const Options& options, std::ostream& out,
                     const Write& write) {
  if (options.reportFile == kStandardOutputName) {
    return writeOutput(out, write);
  }
  return replaceReportFile(options.reportFile, write);
}

// The classic report of `stats`; while following, a line that says so
// instead while no match has passed (a report of nothing would show
// "999999s" as the shortest match).
Status writeTextReport(const Options& options, const PlayerStats& stats,
                       std::ostream& out) {
  if (options.follow && stats.matchWins == 0 && stats.matchLosses == 0) {
    return writeReportTo(options, out, [&stats](std::ostream& stream) {
      stream << "No match of " << stats.name << " has passed yet.\r\n";
    });
  }
  const std::vector<std::string> filters = describeFilter(options.filter);
  return writeReportTo(options, out, [&](std::ostream& stream) {
    writeReport(stream, stats, PipelineThreads::kTwo, filters);
  });
}

// The report of `player` in the format of `options`, over his matches in
// `matches` that pass its filter (the rest are dropped); `open` is the
// session that the log leaves open.
Status writeHistoryReport(const Options& options, const PlayerRecord& player,
                          MatchLog& matches, const OpenSession& open,
                          std::ostream& out) {
  keepMatches(matches, player, options.filter);
  // A report of nothing would replace a good one with empty tables. A
  // follow waits for the first match instead.
  if (!options.follow && options.filter.any() && matches.empty()) {
    return Status::failed("no match of " + player.name + " passes the filters");
  }
  if (options.format == ReportFormat::kCsv) {
    return writeReportTo(options, out, [&](std::ostream& stream) {
      writeMatchCsv(stream, player, matches);
    });
  }
  if (options.format == ReportFormat::kOverlay) {
    const std::optional<CurrentSession> current =
        findCurrentSession(player, matches, open, options.filter);
    return writeReportTo(options, out, [&](std::ostream& stream) {
      writeOverlayPage(stream, player.name, current);
    });
  }
  StatsRecords passing;
  replayMatches(player, matches, passing);
  const PlayerStats stats = buildPlayerStats(*passing.findPlayer(player.name));
  if (options.format == ReportFormat::kText) {
    return writeTextReport(options, stats, out);
  }
  SessionHistory history = buildSessionHistory(player, matches, options.filter);
  history.current = findCurrentSession(player, matches, open, options.filter);
  return writeReportTo(options, out, [&](std::ostream& stream) {
    if (options.format == ReportFormat::kHtml) {
      writeHtmlReport(stream, stats, history);
    } else {
      writeJsonReport(stream, stats, history);
    }
  });
}

// A follow's side of the output: the records of the log read so far, and the
// report or list of `options` written from them.
class LiveReport final : public FollowTarget {
 public:
  LiveReport(const Options& options, std::ostream& out)
      : options_(options), out_(out) {
    restart();
  }

  void restart() override {
    matchLog_.clear();
    reader_.reset();
    records_ = std::make_unique<StatsRecords>();
    reader_ = std::make_unique<SessionLogReader>(*records_);
    // The match log also tells which lines counted a match: a list counts
    // every player's, a report its player's.
    reader_->logMatches(matchLog_, listing() ? std::nullopt : options_.player);
    seenMatches_ = 0;
    seenPlayers_ = 0;
    seenSession_ = {};
  }

  void line(std::string_view line) override { reader_->read(parseLine(line)); }

  bool changed() override {
    const OpenSession open = reader_->openSession();
    bool changed = matchLog_.size() != seenMatches_;
    if (listing()) {
      changed = changed || records_->players().size() != seenPlayers_;
      seenPlayers_ = records_->players().size();
    } else if (open.ordinal != seenSession_.ordinal) {
      changed = changed || playsIn(seenSession_) || playsIn(open);
    }
    seenSession_ = open;
    // Only the formats that show matches one by one keep them.
    if (listing() ||
        (options_.format == ReportFormat::kText && !options_.filter.any())) {
      matchLog_.clear();
    }
    seenMatches_ = matchLog_.size();
    return changed;
  }

  Status write() override {
    if (listing()) {
      return writeOutput(out_, [this](std::ostream& stream) {
        writePlayerList(stream, *records_);
      });
    }
    // A player the log does not name yet has played no match yet.
    PlayerRecord absent;
    absent.name = *options_.player;
    const PlayerRecord* found = records_->findPlayer(*options_.player);
    const PlayerRecord& player = found != nullptr ? *found : absent;
    if (options_.format == ReportFormat::kText && !options_.filter.any()) {
      return writeTextReport(options_, buildPlayerStats(player), out_);
    }
    const OpenSession open = reader_->openSession();
    // The log holds only this player's matches, which no filter but one
    // that is set drops.
    if (!options_.filter.any()) {
      return writeHistoryReport(options_, player, matchLog_, open, out_);
    }
    // The filters drop matches from what they are given; the log itself
    // must keep them for the next write.
    MatchLog matches = matchLog_;
    return writeHistoryReport(options_, player, matches, open, out_);
  }

 private:
  bool listing() const { return options_.command == Command::kListPlayers; }

  bool playsIn(const OpenSession& session) const {
    const auto named = [this](const PlayerRecord* player) {
      return player != nullptr && player->name == *options_.player;
    };
    return named(session.player1) || named(session.player2);
  }

  const Options& options_;
  std::ostream& out_;
  std::unique_ptr<StatsRecords> records_;
  std::unique_ptr<SessionLogReader> reader_;  // counts into *records_
  MatchLog matchLog_;
  std::size_t seenMatches_ = 0;
  std::size_t seenPlayers_ = 0;
  OpenSession seenSession_;
};

// runSessionStats but for what it says at the end.
Status runReportOrList(const Options& options, std::istream& console,
                       std::ostream& out, std::ostream& talk,
                       std::string* summary) {
  const bool listing = options.command == Command::kListPlayers;
  // Only a filter or a format other than the classic text needs the
  // matches one by one; a plain run keeps nothing per match.
  const bool perMatch =
      options.filter.any() || options.format != ReportFormat::kText;
  StatsRecords records;
  MatchLog matchLog;
  SessionLogReader reader(records);
  if (perMatch) reader.logMatches(matchLog, options.player);
  if (Status status = readSessionLog(options.logFile, reader); !status.ok()) {
    return status;
  }
  if (listing) {
    // A name's control bytes would act on a terminal; a pipe or a file gets
    // them exactly.
    const ListNames names =
        standardOutputIsTerminal() ? ListNames::kEscaped : ListNames::kExact;
    return writeOutput(out, [&records, names](std::ostream& stream) {
      writePlayerList(stream, records, names);
    });
  }

  // A name that --opponent takes from the command line and that the log does
  // not hold is most likely mistyped: saying so beats an empty report.
  const std::optional<std::string>& opponent = options.filter.opponent;
  if (opponent && records.findPlayer(*opponent) == nullptr) {
    return noPlayer(options.logFile, *opponent);
  }
  std::optional<std::string> name = options.player;
  if (!name) {
    talk << "Generate "
         << (options.reportFile == kStandardOutputName
                 ? std::string_view("the report")
                 : options.reportFile)
         << " for who: " << std::flush;
    name = readAnswer(console);
    if (!name) return Status();
  }
  const PlayerRecord* const record = records.findPlayer(*name);
  if (record == nullptr) return noPlayer(options.logFile, *name);
  Status status;
  if (perMatch) {
    status = writeHistoryReport(options, *record, matchLog,
                                reader.openSession(), out);
  } else {
    status = writeTextReport(options, buildPlayerStats(*record), out);
  }
  if (status.ok() && summary != nullptr &&
      options.reportFile != kStandardOutputName) {
    *summary = "Wrote " + options.reportFile + " for " + *name + ".";
  }
  return status;
}

}  // namespace

int runCommandLine(int argc, char* argv[], std::istream& console,
                   std::ostream& out, std::ostream& err, std::string* summary) {
  // An interrupt while the report is written removes its temporary file.
  handleInterrupts(InterruptAction::kEnd);
  try {
    const ParsedOptions parsed = parseOptions(argc, argv);
    if (!parsed.status.ok()) {
      writeErrorLine(err, parsed.status);
      err << kTryHelpLine << '\n';
      return parsed.status.exitStatus();
    }
    Status status;
    switch (parsed.options.command) {
      case Command::kHelp:
        status = writeOutput(out, writeHelp);
        break;
      case Command::kVersion:
        status = writeOutput(
            out, [](std::ostream& stream) { stream << versionLine() << '\n'; });
        break;
      case Command::kReport:
      case Command::kListPlayers:
        return runSessionStats(parsed.options, console, out, err, summary);
    }
    if (!status.ok()) writeErrorLine(err, status);
    return status.exitStatus();
  } catch (const std::bad_alloc&) {
    // Whatever was being built is dropped on the way here; a report being
    // written is abandoned and the old one kept.
    const Status status = Status::failed("out of memory");
    writeErrorLine(err, status);
    return status.exitStatus();
  }
}

int runSessionStats(const Options& options, std::istream& console,
                    std::ostream& out, std::ostream& err,
                    std::string* summary) {
  // Standard output carries nothing but the report or the list when it
  // carries either.
  const bool data = options.command == Command::kListPlayers ||
                    options.reportFile == kStandardOutputName;
  if (data) useStandardOutputForData();
  std::ostream& talk = data ? err : out;
  if (options.command == Command::kReport &&
      wouldOverwrite(options.reportFile, options.logFile)) {
    return finish(
        Status::usage("the report would overwrite the log " + options.logFile),
        options, talk, err);
  }
  if (options.follow) {
    LiveReport live(options, out);
    return finish(followLog(options.logFile, live, err), options, talk, err);
  }
  return finish(runReportOrList(options, console, out, talk, summary), options,
                talk, err);
}

}  // namespace sessionstats
