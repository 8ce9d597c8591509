#include "app/driver.h"

#include <cerrno>
#include <cstdio>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/answer.h"
#include "app/desktop_steps.h"
#include "app/log_reading.h"
#include "app/name_hints.h"
#include "app/options.h"
#include "app/remembered_player.h"
#include "app/version.h"
#include "live/live_report.h"
#include "live/log_follower.h"
#include "os/console.h"
#include "os/interrupt.h"
#include "os/settings_folder.h"
#include "os/status.h"
#include "report/player_list.h"
#include "report/report_file.h"
#include "report/terminal_escape.h"
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
  if (out || standardOutputReaderGone(errno)) return Status();
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

// How often the prompt asks at a terminal before the run fails.
constexpr int kPromptTries = 3;

Status noPlayer(const Options& options, std::string_view name) {
  return Status::failed(logsLabel(options) + " " +
                        (options.logFiles.size() > 1 ? "name" : "names") +
                        " no player " + quotedName(name));
}

// How the hints are worded: a name's control bytes would act on the
// terminal that shows standard error.
HintStyle hintStyle() {
  HintStyle style;
  if (standardErrorIsTerminal()) style.names = ListNames::kEscaped;
  // A double click gives no command line to add an option to.
  style.options = !consoleWindowIsOwn();
  return style;
}

// Says what went wrong, if anything, with `hints` after it, and gives the
// exit status.
int finish(const Status& status, const Hints& hints, std::ostream& err) {
  if (status.ok()) return 0;
  writeErrorLine(err, status);
  for (const std::string& hint : hints) err << kMessagePrefix << hint << '\n';
  return status.exitStatus();
}

// The report file of `options`, or `out` for "-".
OutputSink outputOf(const Options& options, std::ostream& out) {
  // The log's names in a report would act on a terminal; a list escapes its
  // own.
  const bool escape = options.reportFile == kStandardOutputName &&
                      !options.request.listing && standardOutputIsTerminal();
  return [&options, &out,
          escape](const std::function<void(std::ostream&)>& write) {
    if (escape) {
      return writeOutput(out, [&write](std::ostream& stream) {
        writeTerminalEscaped(stream, write);
      });
    }
    if (options.reportFile == kStandardOutputName) {
      return writeOutput(out, write);
    }
    return replaceReportFile(options.reportFile, write);
  };
}

// What `options` ask to write, with the names of a list escaped for a
// terminal.
ReportRequest requestOf(const Options& options) {
  ReportRequest request = options.request;
  // A name's control bytes would act on a terminal; a pipe or a file gets
  // them exactly.
  if (options.reportFile == kStandardOutputName && standardOutputIsTerminal()) {
    request.names = ListNames::kEscaped;
  }
  return request;
}

// What a follow says as it starts: the log, the player, where the output
// goes and how to stop.
std::string followingLine(const Options& options) {
  std::string line = "following " + logsLabel(options);
  if (options.request.player) {
    line += " for " + quotedName(*options.request.player);
  }
  line += ": ";
  if (options.reportFile == kStandardOutputName) {
    line += options.request.listing ? "the list" : "the report";
    line += " is written to standard output";
  } else {
    line += options.reportFile + " is rewritten";
  }
  return line + " after each result; Ctrl-C to stop";
}

// What a follow hands on to its report: first, once the log names players,
// a check that the names of `options` are among them. A name close to one
// (another letter case, an alias, a slip) ends the follow as a plain run
// ends, with `hints`; any other is a player still to come, which `err` is
// told once.
class CheckedFollow final : public FollowTarget {
 public:
  CheckedFollow(const Options& options, LiveReport& live, std::ostream& err,
                Hints& hints)
      : options_(options), live_(live), err_(err), hints_(hints) {}

  void restart() override { live_.restart(); }
  void line(std::string_view line) override { live_.line(line); }
  bool changed() override { return live_.changed(); }
  Status write() override {
    if (!checked_ && !live_.records().players().empty()) {
      checked_ = true;
      for (const std::optional<std::string>& name :
           {options_.request.filter.opponent, options_.request.player}) {
        if (Status status = check(name); !status.ok()) return status;
      }
    }
    return live_.write();
  }

 private:
  Status check(const std::optional<std::string>& name) {
    if (!name || live_.records().findPlayer(*name) != nullptr) return Status();
    // Hints without advice are those that lead to a player.
    HintStyle leads = hintStyle();
    leads.options = false;
    if (!nameHints(live_.records(), live_.reader(), *name, false, leads)
             .empty()) {
      hints_ =
          nameHints(live_.records(), live_.reader(), *name, false, hintStyle());
      return noPlayer(options_, *name);
    }
    err_ << kMessagePrefix << logsLabel(options_) << " has no match of "
         << quotedName(*name) << " yet\n";
    return Status();
  }

  const Options& options_;
  LiveReport& live_;
  std::ostream& err_;
  Hints& hints_;
  bool checked_ = false;
};

// Follows the log of `options` into `live` until an interrupt, a failure
// or, with the output on standard output, the end of its reader. Standard
// error says where the output goes once it is first written, and after each
// later write, for a person watching a terminal, what it holds.
Status follow(const Options& options, LiveReport& live, std::ostream& err,
              Hints& hints) {
  const bool data = options.reportFile == kStandardOutputName;
  bool started = false;
  const bool eachWrite = standardErrorIsTerminal();
  const auto noteWrite = [&] {
    if (!std::exchange(started, true)) {
      err << kMessagePrefix << followingLine(options) << '\n';
      if (options.open) openFile(options.reportFile, err);
    } else if (eachWrite) {
      err << kMessagePrefix << "wrote "
          << (data ? kStandardOutputLabel : options.reportFile) << ": "
          << live.counted() << '\n';
    }
  };
  CheckedFollow target(options, live, err, hints);
  return followLog(options.logFiles.front(), target, err,
                   data ? OutputWatch::kStandardOutput : OutputWatch::kNone,
                   noteWrite);
}

// The player remembered from the last report at a terminal, offered at
// the prompt while he is a player of the log.
std::optional<std::string> rememberedOffer(const StatsRecords& records) {
  std::optional<std::string> offer = readRememberedPlayer(settingsFolder());
  if (offer && records.findPlayer(*offer) == nullptr) offer.reset();
  return offer;
}

// " [Kestrel]" after "for who" when the prompt offers a name, escaped for
// the terminal it is shown on; else empty.
std::string offered(const std::optional<std::string>& offer) {
  if (!offer) return "";
  std::string text = " [";
  appendTerminalEscaped(text, *offer);
  return text + "]";
}

// The report or list of `options`, read once into `live` and written once;
// `hints` gets what to say after a failure, `written` what was written.
Status runReportOrList(const Options& options, LiveReport& live,
                       std::istream& console, std::ostream& talk,
                       std::ostream& err, Hints& hints, Written& written) {
  if (Status status = loadLogs(options, live.reader(), talk); !status.ok()) {
    return status;
  }
  if (options.request.listing) {
    Status status = live.write();
    written.counted = live.counted();
    return status;
  }
  const StatsRecords& records = live.records();
  // A name that --opponent takes from the command line and that the log does
  // not hold is most likely mistyped: saying so beats an empty report.
  const std::optional<std::string>& opponent = options.request.filter.opponent;
  if (opponent && records.findPlayer(*opponent) == nullptr) {
    hints = nameHints(records, live.reader(), *opponent, false, hintStyle());
    return noPlayer(options, *opponent);
  }
  std::optional<std::string> name = options.request.player;
  // A person at a terminal answers a line at a time and types a mistyped
  // name again; a piped answer is the only one, its first word.
  const bool terminal = !name && standardInputIsTerminal();
  const int tries = terminal ? kPromptTries : 1;
  const std::optional<std::string> offer =
      terminal ? rememberedOffer(records) : std::nullopt;
  for (int tried = 1;; ++tried) {
    if (!options.request.player) {
      talk << "Generate "
           << (options.reportFile == kStandardOutputName
                   ? std::string_view("the report")
                   : options.reportFile)
           << " for who" << offered(offer) << ": " << std::flush;
      name = terminal
                 ? askAtTerminal(console, talk, records, live.reader(), offer)
                 : readAnswer(console);
      if (!name) return Status();
      live.choosePlayer(*name);
    }
    if (records.findPlayer(*name) != nullptr) break;
    hints = nameHints(records, live.reader(), *name,
                      !options.request.player && !terminal, hintStyle());
    if (tried == tries) return noPlayer(options, *name);
    finish(noPlayer(options, *name), hints, err);
  }
  Status status = live.write();
  written.counted = live.counted();
  written.player = *name;
  return status;
}

// A report or list as `options` ask, and what to say after it: `written`
// gets what was written when it went to a file.
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
      return finish(
          Status::usage(
              std::string(options.request.listing ? "the list" : "the report") +
              " would overwrite the log " + log),
          hints, err);
    }
  }
  if (Status status = checkLogFiles(options); !status.ok()) {
    return finish(status, hints, err);
  }
  LiveReport live(requestOf(options), outputOf(options, out));
  if (options.request.follow) {
    Status status = follow(options, live, err, hints);
    if (status.kind() == Status::Kind::kNotFound) {
      status = logNotFound(options.logFiles.front(), status, talk);
    }
    return finish(status, hints, err);
  }
  const Status status =
      runReportOrList(options, live, console, talk, err, hints, written);
  if (status.ok() && !data) {
    written.file = options.reportFile;
  } else {
    written = {};
  }
  return finish(status, hints, err);
}

// What a person gets besides the report: the player remembered after a
// report at a terminal (a failure to is no error: the next prompt offers
// nothing), the page beside the report after a double click (which starts
// the tool with no option), and with --open the file opened.
void forThePerson(const Options& options, bool noOptions, Written& done,
                  std::ostream& err) {
  if (done.file.empty()) return;
  if (!done.player.empty() && standardInputIsTerminal()) {
    (void)rememberPlayer(settingsFolder(), done.player);
  }
  if (!done.player.empty() && noOptions && consoleWindowIsOwn()) {
    const Status status =
        writePageBeside(kLogFileName, done.player, kPageFileName);
    if (status.ok()) {
      done.page = kPageFileName;
    } else {
      writeErrorLine(err, status);
    }
  }
  if (options.open) openFile(done.file, err);
}

}  // namespace

int runCommandLine(int argc, char* argv[], std::istream& console,
                   std::ostream& out, std::ostream& err, Written* written) {
  // An interrupt while the report is written removes its temporary file.
  handleInterrupts(InterruptAction::kEnd);
  try {
    const ParsedOptions parsed = parseOptions(argc, argv);
    if (!parsed.status.ok()) {
      writeErrorLine(err, parsed.status);
      if (!parsed.hint.empty()) err << kMessagePrefix << parsed.hint << '\n';
      err << kTryHelpLine << '\n';
      return parsed.status.exitStatus();
    }
    if (parsed.options.command == Command::kHelp) {
      return finish(writeOutput(out, writeHelp), {}, err);
    }
    if (parsed.options.command == Command::kVersion) {
      const auto version = [](std::ostream& stream) {
        stream << kVersionLine << '\n';
      };
      return finish(writeOutput(out, version), {}, err);
    }
    Written done;
    const int exitStatus = runAndTell(parsed.options, console, out, err, done);
    if (exitStatus == 0) forThePerson(parsed.options, argc == 1, done, err);
    // A note of what was written is for a person who gave options and
    // watches standard error; a script sees nothing new, and neither does
    // a run without options.
    if (!done.file.empty() && argc > 1 && standardErrorIsTerminal()) {
      err << kMessagePrefix << "wrote " << done.file << ": " << done.counted
          << '\n';
    }
    if (written != nullptr) *written = std::move(done);
    return exitStatus;
  } catch (const std::bad_alloc&) {
    // Whatever was being built is dropped on the way here; a report being
    // written is abandoned and the old one kept.
    return finish(Status::failed("out of memory"), {}, err);
  }
}

std::string closingLine(const Written& written) {
  if (written.file.empty()) return "";
  return "Wrote " + written.file +
         (written.page.empty() ? "" : " and " + written.page) +
         (written.player.empty() ? "" : " for " + written.player) + ".";
}

}  // namespace sessionstats
