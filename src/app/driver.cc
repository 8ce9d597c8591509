#include "app/driver.h"

#include <cerrno>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/answer.h"
#include "app/console.h"
#include "app/report_file.h"
#include "app/status.h"
#include "log/session_log_reader.h"
#include "report/csv_writer.h"
#include "report/html_report.h"
#include "report/json_report.h"
#include "report/player_list.h"
#include "report/report_writer.h"
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

// Reads the log at `path` into `records`, and its matches into `matchLog`
// when given: those of `onlyPlayer` when known, else all.
Status loadLog(const std::string& path, StatsRecords& records,
               MatchLog* matchLog,
               const std::optional<std::string>& onlyPlayer) {
  SessionLogReader reader(records);
  if (matchLog != nullptr) reader.logMatches(*matchLog, onlyPlayer);
  return readSessionLog(path, reader);
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

// The report of `player` in the format of `options`, over his matches in
// `matches` that pass its filter (the rest are dropped).
Status writeHistoryReport(const Options& options, const PlayerRecord& player,
                          MatchLog& matches, std::ostream& out) {
  keepMatches(matches, player, options.filter);
  if (options.format == ReportFormat::kCsv) {
    return writeReportTo(options, out, [&](std::ostream& stream) {
      writeMatchCsv(stream, player, matches);
    });
  }
  StatsRecords passing;
  replayMatches(player, matches, passing);
  const PlayerStats stats = buildPlayerStats(*passing.findPlayer(player.name));
  if (options.format == ReportFormat::kText) {
    const std::vector<std::string> filters = describeFilter(options.filter);
    return writeReportTo(options, out, [&](std::ostream& stream) {
      writeReport(stream, stats, ReportThreads::kTwo, filters);
    });
  }
  const SessionHistory history =
      buildSessionHistory(player, matches, options.filter);
  return writeReportTo(options, out, [&](std::ostream& stream) {
    if (options.format == ReportFormat::kHtml) {
      writeHtmlReport(stream, stats, history);
    } else {
      writeJsonReport(stream, stats, history);
    }
  });
}

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
  if (Status status = loadLog(options.logFile, records,
                              perMatch ? &matchLog : nullptr, options.player);
      !status.ok()) {
    return status;
  }
  if (listing) {
    return writeOutput(out, [&records](std::ostream& stream) {
      writePlayerList(stream, records);
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
    status = writeHistoryReport(options, *record, matchLog, out);
  } else {
    const PlayerStats player = buildPlayerStats(*record);
    status = writeReportTo(options, out, [&player](std::ostream& stream) {
      writeReport(stream, player);
    });
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
  return finish(runReportOrList(options, console, out, talk, summary), options,
                talk, err);
}

}  // namespace sessionstats
