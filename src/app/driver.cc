#include "app/driver.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/answer.h"
#include "app/name_hints.h"
#include "base/status.h"
#include "live/log_follower.h"
#include "log/session_log_reader.h"
#include "os/console.h"
#include "os/interrupt.h"
#include "report/csv_writer.h"
#include "report/html_report.h"
#include "report/json_report.h"
#include "report/overlay_page.h"
#include "report/player_list.h"
#include "report/report_file.h"
#include "report/report_writer.h"
#include "stats/current_session.h"
#include "stats/match_filter.h"
#include "stats/match_log.h"
#include "stats/stats_records.h"

namespace sessionstats {
namespace {

constexpr std::string_view kStandardOutputLabel = "standard output";
constexpr std::string_view kStandardInputLabel = "standard input";

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

// What a run has to say besides a failure's own line: hints after a name
// that named no player, each line without the program's name or line end.
using Hints = std::vector<std::string>;

// The name messages give the logs of `options`: the one log, or "the logs".
std::string logsLabel(const Options& options) {
  if (options.logFiles.size() > 1) return "the logs";
  const std::string& log = options.logFiles.front();
  return log == kStandardInputName ? std::string(kStandardInputLabel) : log;
}

// The status of a log at `path` that could not be read from its first byte,
// after the classic "Could not find" line on `talk`: where the tool looked
// for a missing log, that a directory is one, or why the log is unreadable.
Status logNotFound(const std::string& path, const Status& status,
                   std::ostream& talk) {
  talk << "Could not find " << path << '\n';
  const int error = status.error();
  if (error == EISDIR) {
    return Status::notFound(quotedName(path) + " is a directory, not a log", 0);
  }
  if (error != ENOENT && error != ENOTDIR) return status;
  constexpr std::string_view kOtherLog = "; -l FILE names another log";
  // The folder is named whole, so the file goes by its own name in it:
  // "looked for new.txt in /home/ana/logs", never "logs/new.txt in .../logs".
  std::error_code failed;
  const std::filesystem::path absolute =
      std::filesystem::absolute(path, failed);
  const std::string name = absolute.filename().string();
  if (failed || name.empty()) {
    return Status::notFound(
        "looked for " + quotedName(path) + std::string(kOtherLog), 0);
  }
  return Status::notFound("looked for " + quotedName(name) + " in " +
                              absolute.parent_path().string() +
                              std::string(kOtherLog),
                          0);
}

// Reads the logs of `options` in order, as one history, into `records`, and
// their matches into `matchLog` when given: those of `onlyPlayer` when
// known, else all. `reader` is left with the aliases of all of them.
Status loadLogs(const Options& options, SessionLogReader& reader,
                MatchLog* matchLog,
                const std::optional<std::string>& onlyPlayer,
                std::ostream& talk) {
  if (matchLog != nullptr) reader.logMatches(*matchLog, onlyPlayer);
  for (const std::string& path : options.logFiles) {
    if (path == kStandardInputName) {
      Status status = readSessionLog(stdin, kStandardInputLabel, reader);
      if (!status.ok()) {
        return Status::failed(status.what(), status.error());
      }
      continue;
    }
    Status status = readSessionLog(path, reader);
    if (status.kind() == Status::Kind::kNotFound) {
      return logNotFound(path, status, talk);
    }
    if (!status.ok()) return status;
  }
  return Status();
}

Status noPlayer(const Options& options, std::string_view name) {
  return Status::failed(logsLabel(options) + " " +
                        (options.logFiles.size() > 1 ? "name" : "names") +
                        " no player " + quotedName(name));
}

// Says what went wrong, if anything, with `hints` after it, and gives the
// exit status.
int finish(const Status& status, const Hints& hints, std::ostream& err) {
  if (status.ok()) return 0;
  writeErrorLine(err, status);
  for (const std::string& hint : hints) err << kMessagePrefix << hint << '\n';
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
    return Status::failed("no match of " + quotedName(player.name) +
                          " passes the filters");
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
    // Only the formats that show matches one by one, and a list over a
    // window, keep them.
    if (options_.format == ReportFormat::kText && !options_.filter.any()) {
      matchLog_.clear();
    }
    seenMatches_ = matchLog_.size();
    return changed;
  }

  Status write() override {
    if (listing()) {
      if (!options_.filter.any()) {
        return writeReportTo(options_, out_, [this](std::ostream& stream) {
          writePlayerList(stream, *records_);
        });
      }
      MatchLog window = matchLog_;
      keepMatchesInWindow(window, options_.filter);
      return writeReportTo(options_, out_, [&](std::ostream& stream) {
        writePlayerList(stream, *records_, window);
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

// "1 match", "30 matches".
std::string countOf(std::int64_t count, std::string_view one,
                    std::string_view many) {
  return std::to_string(count) + ' ' + std::string(count == 1 ? one : many);
}

// The matches a report of `stats` counts.
std::int64_t matchesOf(const PlayerStats& stats) {
  return static_cast<std::int64_t>(stats.matchWins) + stats.matchLosses;
}

// What a run wrote: the count its note gives ("Kestrel, 30 matches",
// "2 players") and, for a report, the player's name as given.
struct Written {
  std::string counted;
  std::string player;
};

// runSessionStats but for what it says at the end; `hints` gets what to say
// after a failure, `written` what was written.
Status runReportOrList(const Options& options, std::istream& console,
                       std::ostream& out, std::ostream& talk, Hints& hints,
                       Written& written) {
  const bool listing = options.command == Command::kListPlayers;
  // Only a filter or a format other than the classic text needs the
  // matches one by one; a plain run keeps nothing per match.
  const bool perMatch =
      options.filter.any() || options.format != ReportFormat::kText;
  StatsRecords records;
  MatchLog matchLog;
  SessionLogReader reader(records);
  if (Status status = loadLogs(options, reader, perMatch ? &matchLog : nullptr,
                               listing ? std::nullopt : options.player, talk);
      !status.ok()) {
    return status;
  }
  if (listing) {
    // A name's control bytes would act on a terminal; a pipe or a file gets
    // them exactly.
    const ListNames names =
        options.reportFile == kStandardOutputName && standardOutputIsTerminal()
            ? ListNames::kEscaped
            : ListNames::kExact;
    if (perMatch) keepMatchesInWindow(matchLog, options.filter);
    std::size_t players = 0;
    Status status = writeReportTo(options, out, [&](std::ostream& stream) {
      players = perMatch ? writePlayerList(stream, records, matchLog, names)
                         : writePlayerList(stream, records, names);
    });
    written.counted =
        countOf(static_cast<std::int64_t>(players), "player", "players");
    return status;
  }

  // A name that --opponent takes from the command line and that the log does
  // not hold is most likely mistyped: saying so beats an empty report.
  const std::optional<std::string>& opponent = options.filter.opponent;
  if (opponent && records.findPlayer(*opponent) == nullptr) {
    hints =
        nameHints(records, *opponent, reader.resolveAlias(*opponent), false);
    return noPlayer(options, *opponent);
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
  if (record == nullptr) {
    hints =
        nameHints(records, *name, reader.resolveAlias(*name), !options.player);
    return noPlayer(options, *name);
  }
  std::int64_t counted = 0;
  Status status;
  if (perMatch) {
    status = writeHistoryReport(options, *record, matchLog,
                                reader.openSession(), out);
    // What is left of the log is what the report counts, once per side.
    for (const MatchEntry& entry : matchLog) {
      forEachSide(entry, *record, [&counted](const MatchSide&) { ++counted; });
    }
  } else {
    const PlayerStats player = buildPlayerStats(*record);
    counted = matchesOf(player);
    status = writeTextReport(options, player, out);
  }
  written.counted =
      quotedName(*name) + ", " + countOf(counted, "match", "matches");
  written.player = *name;
  return status;
}

// runSessionStats but for the lines said after it: `written` gets what was
// written when it went to a file.
int runAndTell(const Options& options, std::istream& console, std::ostream& out,
               std::ostream& err, Written& written) {
  // Standard output carries nothing but the report or the list when it
  // carries either.
  const bool data = options.reportFile == kStandardOutputName;
  if (data) useStandardOutputForData();
  std::ostream& talk = data ? err : out;
  Hints hints;
  for (const std::string& log : options.logFiles) {
    if (log != kStandardInputName && wouldOverwrite(options.reportFile, log)) {
      const bool listing = options.command == Command::kListPlayers;
      return finish(
          Status::usage(std::string(listing ? "the list" : "the report") +
                        " would overwrite the log " + log),
          hints, err);
    }
  }
  if (options.follow) {
    LiveReport live(options, out);
    const std::string& log = options.logFiles.front();
    Status status = followLog(log, live, err);
    if (status.kind() == Status::Kind::kNotFound) {
      status = logNotFound(log, status, talk);
    }
    return finish(status, hints, err);
  }
  Written done;
  const Status status =
      runReportOrList(options, console, out, talk, hints, done);
  if (status.ok() && !data) written = done;
  return finish(status, hints, err);
}

// The note of what was written ("session-stats: wrote k.html: Kestrel, 30
// matches").
std::string noteOf(const Options& options, const Written& written) {
  return std::string(kMessagePrefix) + "wrote " + options.reportFile + ": " +
         written.counted;
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
      case Command::kListPlayers: {
        const Options& options = parsed.options;
        Written written;
        const int exitStatus = runAndTell(options, console, out, err, written);
        if (written.counted.empty()) return exitStatus;
        // A note of what was written is for a person who gave options and
        // watches standard error; a script sees nothing new, and neither
        // does the classic run.
        if (argc > 1 && standardErrorIsTerminal()) {
          err << noteOf(options, written) << '\n';
        }
        if (summary != nullptr) {
          *summary = "Wrote " + options.reportFile +
                     (written.player.empty() ? "" : " for " + written.player) +
                     ".";
        }
        return exitStatus;
      }
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
  Written written;
  const int status = runAndTell(options, console, out, err, written);
  if (summary != nullptr && !written.counted.empty()) {
    *summary = noteOf(options, written);
  }
  return status;
}

}  // namespace sessionstats
