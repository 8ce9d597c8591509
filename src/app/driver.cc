#include "app/driver.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "app/answer.h"
#include "app/report_file.h"
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

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

constexpr std::string_view kStandardOutputLabel = "standard output";

int reportFailure(std::ostream& err, std::string_view what,
                  std::string_view file, int error) {
  err << "session-stats: could not " << what << ' ' << file << ": "
      << std::strerror(error) << '\n';
  return 1;
}

// Runs `write` on standard output and flushes it; 1 with a message when any
// of it was lost (a full disk, a reader that has gone). A failed write leaves
// its errno and the stream writes nothing more, so errno still tells why.
template <typename Write>
int writeOutput(std::ostream& out, std::ostream& err, const Write& write) {
  errno = 0;
  write(out);
  out.flush();
  if (out) return 0;
  return reportFailure(err, "write", kStandardOutputLabel,
                       errno != 0 ? errno : EIO);
}

// Reads the log at `path` into `records`, and its matches into `matchLog`
// when given: those of `onlyPlayer` when known, else all. nullopt when it was
// read to its end; else the exit status, after saying what went wrong.
std::optional<int> loadLog(const std::string& path, StatsRecords& records,
                           MatchLog* matchLog,
                           const std::optional<std::string>& onlyPlayer,
                           std::ostream& out, std::ostream& err) {
  const FilePtr log(std::fopen(path.c_str(), "rb"));
  int error = log ? 0 : errno;
  LogReadOutcome outcome = LogReadOutcome::kUnreadable;
  if (log) {
    SessionLogReader reader(records);
    if (matchLog != nullptr) reader.logMatches(*matchLog, onlyPlayer);
    outcome = readSessionLog(log.get(), reader, error);
  }
  switch (outcome) {
    case LogReadOutcome::kComplete:
      return std::nullopt;
    case LogReadOutcome::kFailedPartWay:
      return reportFailure(err, "read", path, error);
    case LogReadOutcome::kUnreadable:
      break;
  }
  out << "Could not find " << path << '\n';
  // A log that is there but cannot be read (no permission, a directory, a
  // symlink loop, a failing disk) also says why.
  if (error == ENOENT || error == ENOTDIR) return 1;
  return reportFailure(err, "read", path, error);
}

int reportNoPlayer(std::ostream& err, std::string_view log,
                   std::string_view name) {
  err << "session-stats: " << log << " names no player " << name << '\n';
  return 1;
}

// Runs `write` on the report file of `options`, or on `out` for "-".
template <typename Write>
int writeReportTo(const Options& options, std::ostream& out, std::ostream& err,
                  const Write& write) {
  if (options.reportFile == kStandardOutputName) {
    return writeOutput(out, err, write);
  }
  const int error = replaceReportFile(options.reportFile, write);
  return error == 0 ? 0
                    : reportFailure(err, "write", options.reportFile, error);
}

// The report of `player` in the format of `options`, over his matches in
// `matches` that pass its filter (the rest are dropped).
int writeHistoryReport(const Options& options, const PlayerRecord& player,
                       MatchLog& matches, std::ostream& out,
                       std::ostream& err) {
  keepMatches(matches, player, options.filter);
  if (options.format == ReportFormat::kCsv) {
    return writeReportTo(options, out, err, [&](std::ostream& stream) {
      writeMatchCsv(stream, player, matches);
    });
  }
  StatsRecords passing;
  replayMatches(player, matches, passing);
  const PlayerStats stats = buildPlayerStats(*passing.findPlayer(player.name));
  if (options.format == ReportFormat::kText) {
    return writeReportTo(options, out, err, [&stats](std::ostream& stream) {
      writeReport(stream, stats);
    });
  }
  const SessionHistory history =
      buildSessionHistory(player, matches, options.filter);
  return writeReportTo(options, out, err, [&](std::ostream& stream) {
    if (options.format == ReportFormat::kHtml) {
      writeHtmlReport(stream, stats, history);
    } else {
      writeJsonReport(stream, stats, history);
    }
  });
}

}  // namespace

int runCommandLine(int argc, char* argv[], std::istream& console,
                   std::ostream& out, std::ostream& err) {
  // A reader of standard output that has gone away makes a write fail
  // instead of ending the run; a file size limit makes the report's write
  // fail with EFBIG, so its temporary file is removed, instead of killing
  // the run.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    const ParsedOptions parsed = parseOptions(argc, argv);
    if (!parsed.error.empty()) {
      err << parsed.error << '\n' << kTryHelpLine << '\n';
      return 2;
    }
    switch (parsed.options.command) {
      case Command::kHelp:
        return writeOutput(out, err, writeHelp);
      case Command::kVersion:
        return writeOutput(out, err, [](std::ostream& stream) {
          stream << versionLine() << '\n';
        });
      case Command::kReport:
      case Command::kListPlayers:
        break;
    }
    return runSessionStats(parsed.options, console, out, err);
  } catch (const std::bad_alloc&) {
    // Whatever was being built is dropped on the way here; a report being
    // written is abandoned and the old one kept.
    err << "session-stats: out of memory\n";
    return 1;
  }
}

int runSessionStats(const Options& options, std::istream& console,
                    std::ostream& out, std::ostream& err) {
  const bool listing = options.command == Command::kListPlayers;
  const bool reportToOut = options.reportFile == kStandardOutputName;
  // Standard output carries nothing but the report or the list when it
  // carries either.
  std::ostream& talk = listing || reportToOut ? err : out;

  // Only a filter or a format other than the classic text needs the
  // matches one by one; a plain run keeps nothing per match.
  const bool perMatch =
      options.filter.any() || options.format != ReportFormat::kText;
  StatsRecords records;
  MatchLog matchLog;
  if (const std::optional<int> status =
          loadLog(options.logFile, records, perMatch ? &matchLog : nullptr,
                  options.player, talk, err)) {
    return *status;
  }
  if (listing) {
    return writeOutput(out, err, [&records](std::ostream& stream) {
      writePlayerList(stream, records);
    });
  }

  // A name that --opponent takes from the command line and that the log does
  // not hold is most likely mistyped: saying so beats an empty report.
  const std::optional<std::string>& opponent = options.filter.opponent;
  if (opponent && records.findPlayer(*opponent) == nullptr) {
    return reportNoPlayer(err, options.logFile, *opponent);
  }
  std::optional<std::string> name = options.player;
  if (!name) {
    talk << "Generate "
         << (reportToOut ? std::string_view("the report") : options.reportFile)
         << " for who: " << std::flush;
    name = readAnswer(console);
    if (!name) return 0;
  }
  const PlayerRecord* const record = records.findPlayer(*name);
  if (record == nullptr) return reportNoPlayer(err, options.logFile, *name);
  if (perMatch) return writeHistoryReport(options, *record, matchLog, out, err);
  const PlayerStats player = buildPlayerStats(*record);
  return writeReportTo(options, out, err, [&player](std::ostream& stream) {
    writeReport(stream, player);
  });
}

}  // namespace sessionstats
