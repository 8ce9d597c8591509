#include "app/driver.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "log/log_line_splitter.h"
#include "log/session_log_reader.h"
#include "report/player_list.h"
#include "report/report_writer.h"
#include "stats/stats_records.h"

namespace sessionstats {
namespace {

constexpr std::size_t kBlockSize = std::size_t{1} << 18;

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

// Flushes what was written to standard output; 1 with a message when any of
// it was lost (a full disk, a closed pipe).
int finishOutput(std::ostream& out, std::ostream& err) {
  errno = 0;
  out.flush();
  if (out) return 0;
  return reportFailure(err, "write", kStandardOutputLabel,
                       errno != 0 ? errno : EIO);
}

}  // namespace

LogReadOutcome readSessionLog(std::FILE* log, SessionLogReader& reader,
                              int& error) {
  const std::unique_ptr<char[]> block(new char[kBlockSize]);
  LogLineSplitter splitter;
  const auto sink = [&reader](std::string_view line) {
    reader.processLine(line);
  };
  bool readAnything = false;
  for (;;) {
    const std::size_t got = std::fread(block.get(), 1, kBlockSize, log);
    if (got > 0) {
      splitter.feed(block.get(), got, sink);
      readAnything = true;
    }
    if (got == kBlockSize) continue;
    if (std::ferror(log)) {
      error = errno;
      // A log that fails before its first byte (a directory opened as a file,
      // for one) is as good as a missing log.
      return readAnything ? LogReadOutcome::kFailedPartWay
                          : LogReadOutcome::kUnreadable;
    }
    if (std::feof(log)) break;
  }
  splitter.finish(sink);
  return LogReadOutcome::kComplete;
}

int runCommandLine(int argc, char* argv[], std::istream& console,
                   std::ostream& out, std::ostream& err) {
  const ParsedOptions parsed = parseOptions(argc, argv);
  if (!parsed.error.empty()) {
    err << parsed.error << '\n' << kTryHelpLine << '\n';
    return 2;
  }
  switch (parsed.options.command) {
    case Command::kHelp:
      writeHelp(out);
      return finishOutput(out, err);
    case Command::kVersion:
      out << versionLine() << '\n';
      return finishOutput(out, err);
    case Command::kReport:
    case Command::kListPlayers:
      break;
  }
  return runSessionStats(parsed.options, console, out, err);
}

int runSessionStats(const Options& options, std::istream& console,
                    std::ostream& out, std::ostream& err) {
  const bool listing = options.command == Command::kListPlayers;
  const bool reportToOut = options.reportFile == kStandardOutputName;
  // Standard output carries nothing but the report or the list when it
  // carries either.
  std::ostream& talk = listing || reportToOut ? err : out;
  const std::string& logFile = options.logFile;

  PlayerList players;
  {
    const FilePtr log(std::fopen(logFile.c_str(), "rb"));
    int error = 0;
    LogReadOutcome outcome = LogReadOutcome::kUnreadable;
    if (log) {
      SessionLogReader reader(players);
      outcome = readSessionLog(log.get(), reader, error);
    }
    if (outcome == LogReadOutcome::kUnreadable) {
      talk << "Could not find " << logFile << '\n';
      return 0;
    }
    if (outcome == LogReadOutcome::kFailedPartWay) {
      return reportFailure(err, "read", logFile, error);
    }
  }

  if (listing) {
    writePlayerList(out, players);
    return finishOutput(out, err);
  }

  std::string name;
  if (options.player) {
    name = *options.player;
  } else {
    talk << "Generate "
         << (reportToOut ? std::string_view("the report") : options.reportFile)
         << " for who: " << std::flush;
    if (!(console >> name)) return 0;
  }

  if (reportToOut) {
    for (const PlayerStats& player : players) {
      if (player.name == name) writeReport(out, player);
    }
    return finishOutput(out, err);
  }
  const std::string& reportFile = options.reportFile;
  // Binary mode: the report spells out its own CR LF line ends.
  std::ofstream report(reportFile, std::ios::binary | std::ios::trunc);
  if (!report) return reportFailure(err, "write", reportFile, errno);
  for (const PlayerStats& player : players) {
    if (player.name == name) writeReport(report, player);
  }
  if (report) report.close();
  if (!report) return reportFailure(err, "write", reportFile, errno);
  return 0;
}

}  // namespace sessionstats
