#include "app/options.h"

#include <getopt.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/name_hints.h"
#include "stats/character_roster.h"
#include "stats/match_log.h"

namespace sessionstats {
namespace {

// --list has no short form; its getopt_long code lies outside the characters.
// Neither has any of the options below.
constexpr int kListCode = 256;
constexpr int kFormatCode = 257;
constexpr int kOpponentCode = 258;
constexpr int kCharacterCode = 259;
constexpr int kAgainstCode = 260;
constexpr int kSinceCode = 261;
constexpr int kUntilCode = 262;
constexpr int kLastSessionsCode = 263;
constexpr int kFollowCode = 264;
constexpr int kOpenCode = 265;

constexpr std::array<option, 16> kLongOptions{{
    {"player", required_argument, nullptr, 'p'},
    {"log", required_argument, nullptr, 'l'},
    {"output", required_argument, nullptr, 'o'},
    {"list", no_argument, nullptr, kListCode},
    {"format", required_argument, nullptr, kFormatCode},
    {"opponent", required_argument, nullptr, kOpponentCode},
    {"character", required_argument, nullptr, kCharacterCode},
    {"against", required_argument, nullptr, kAgainstCode},
    {"since", required_argument, nullptr, kSinceCode},
    {"until", required_argument, nullptr, kUntilCode},
    {"last-sessions", required_argument, nullptr, kLastSessionsCode},
    {"follow", no_argument, nullptr, kFollowCode},
    {"open", no_argument, nullptr, kOpenCode},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
}};

// For each ReportFormat, the value of --format, taken in any letter case,
// and the file written when no --output names one: a CSV or JSON report
// never replaces the text report.
struct FormatName {
  std::string_view name;
  const char* file;
};
constexpr std::array<FormatName, 5> kFormats{
    {{"text", kReportFileName},
     {"csv", "session_stats.csv"},
     {"json", "session_stats.json"},
     {"html", "session_stats.html"},
     {"overlay", "session_overlay.html"}}};

// The leading ':' makes getopt_long tell a missing value (':') from an
// unknown option ('?').
constexpr char kShortOptions[] = ":p:l:o:hV";

constexpr std::string_view kHelp =
    "Usage: session-stats [OPTION]...\n"
    "Read a netplay session log and write one player's statistics report.\n"
    "With no option: read sessionlog.txt, ask for a player name and write\n"
    "that player's report to session_stats.txt, all in the current folder.\n"
    "\n"
    "  -p, --player=NAME   report on NAME: no prompt is printed and standard\n"
    "                        input is not read; NAME may hold blanks\n"
    "  -l, --log=FILE      read FILE instead of sessionlog.txt; '-' reads\n"
    "                        standard input (with -p or --list); several\n"
    "                        -l read their logs in order as one history\n"
    "  -o, --output=FILE   write the report to FILE instead of\n"
    "                        session_stats.txt; '-' writes it to standard\n"
    "                        output\n"
    "      --list          list the players that the log counts, most matches\n"
    "                        first, instead of writing a report: to standard\n"
    "                        output, or to the file -o names; with --since,\n"
    "                        --until or --last-sessions, those with matches\n"
    "                        then\n"
    "      --format=FMT    text (the classic report, the default), csv (one\n"
    "                        row per match), json (one document), html\n"
    "                        (one page for a browser) or overlay (the\n"
    "                        session in progress, for a stream); without -o\n"
    "                        they go to session_stats.csv, .json, .html or\n"
    "                        session_overlay.html\n"
    "      --follow        after writing, keep reading the log as it grows\n"
    "                        and rewrite the report or list after each\n"
    "                        result, until Ctrl-C (needs -p or --list)\n"
    "      --open          open the file written, as a double click does\n"
    "\n"
    "Filters: the report counts only the player's matches that pass them all.\n"
    "      --opponent=NAME     against the opponent NAME (after aliases)\n"
    "      --character=NAME    played as the character NAME (as in the log\n"
    "                            or as in the report, any case, or a start\n"
    "                            that fits one: h&k, neco-arc c, warc)\n"
    "      --against=NAME      played against the character NAME\n"
    "      --since=YYYY-MM-DD  on that day or later (undated matches drop)\n"
    "      --until=YYYY-MM-DD  on that day or earlier (undated matches drop)\n"
    "      --last-sessions=N   in the player's last N sessions that have a\n"
    "                            match passing the other filters\n"
    "\n"
    "  -h, --help          show this help and exit\n"
    "  -V, --version       show the version and exit\n"
    "\n"
    "Exit status: 0 on success; 1 when the log cannot be read, the name\n"
    "names no player, no match of his passes the filters or the output\n"
    "cannot be written; 2 for a wrong command line or a report that would\n"
    "overwrite the log. See session-stats(1) for the rest.\n";

// The long option `name` ("na" of "--na=value") stands for, when it is a
// prefix of exactly one, else nullptr; several give `ambiguous`.
const option* findLongOption(std::string_view name, bool& ambiguous) {
  const option* found = nullptr;
  int matches = 0;
  for (const option& candidate : kLongOptions) {
    if (candidate.name == nullptr) break;
    const std::string_view full = candidate.name;
    if (full == name) return &candidate;
    if (full.starts_with(name)) {
      found = &candidate;
      ++matches;
    }
  }
  ambiguous = matches > 1;
  return matches == 1 ? found : nullptr;
}

// "did you mean --NAME?" for the long option near enough to `name` to be a
// slip, or for --format=NAME when `name` is a format (--csv); else empty.
std::string closestOptionHint(std::string_view name) {
  for (const FormatName& format : kFormats) {
    if (sameIgnoringCase(format.name, name)) {
      return "did you mean --format=" + std::string(format.name) + "?";
    }
  }
  std::vector<std::string_view> names;
  for (const option& candidate : kLongOptions) {
    if (candidate.name != nullptr) names.emplace_back(candidate.name);
  }
  const std::string_view closest = closestName(name, names);
  return closest.empty() ? "" : "did you mean --" + std::string(closest) + "?";
}

// Describes the option that getopt_long has just refused with `code`, and
// sets `hint` to what may have been meant.
std::string describeRefusal(int code, int argc, char* argv[],
                            std::string& hint) {
  std::string error;
  // A short option may be refused inside a cluster ("-xV"), where optind
  // has not moved on yet; optopt alone names it. A refused long option has
  // always been stepped over, so it is the element before optind: optopt is
  // 0 for an unknown name and the option's code for a value where none
  // belongs; a missing value is the last element either way.
  const std::string_view element =
      optind > 0 && optind <= argc ? argv[optind - 1] : "";
  const bool isLong = element.starts_with("--");
  std::string_view name = isLong ? element.substr(2) : "";
  name = name.substr(0, name.find('='));
  bool ambiguous = false;
  const option* known = isLong ? findLongOption(name, ambiguous) : nullptr;
  const bool longRefused =
      code == ':' ? known != nullptr
                  : optopt == 0 || (known != nullptr && known->val == optopt);
  if (!longRefused) {
    error += code == ':' ? "option requires an argument -- '"
                         : "invalid option -- '";
    return error + static_cast<char>(optopt) + '\'';
  }
  if (known == nullptr) {
    if (!ambiguous) hint = closestOptionHint(name);
    error += ambiguous ? "option '" : "unrecognized option '";
    error += element;
    return error + (ambiguous ? "' is ambiguous" : "'");
  }
  error += "option '--";
  error += known->name;
  // glibc refuses a value where none belongs with '?', the BSD getopt_long
  // of MinGW-w64 with ':' as a missing value: the option tells them apart.
  return error + (code == ':' && known->has_arg != no_argument
                      ? "' requires an argument"
                      : "' doesn't allow an argument");
}

// Reads the value of one of the options that take more than a name into
// `options`; what is wrong with the value, else ok.
Status readValue(int code, std::string_view value, Options& options) {
  MatchFilter& filter = options.request.filter;
  switch (code) {
    case kFormatCode: {
      const auto* const format = std::find_if(
          kFormats.begin(), kFormats.end(), [value](const FormatName& known) {
            return sameIgnoringCase(known.name, value);
          });
      if (format == kFormats.end()) {
        return Status::usage("unknown format '" + std::string(value) +
                             "' (text, csv, json, html or overlay)");
      }
      options.request.format =
          static_cast<ReportFormat>(format - kFormats.begin());
      return Status();
    }
    case kCharacterCode:
      return readCharacter(value, filter.character);
    case kAgainstCode:
      return readCharacter(value, filter.against);
    case kSinceCode:
    case kUntilCode: {
      const std::uint32_t date = parseDate(value);
      if (date == kNoDate) {
        return Status::usage("invalid date '" + std::string(value) +
                             "' (a real date as YYYY-MM-DD)");
      }
      (code == kSinceCode ? filter.since : filter.until) = date;
      return Status();
    }
    default: {  // kLastSessionsCode
      // Digits only, no sign or blank; no session at all would leave nothing
      // to report.
      std::uint32_t count = 0;
      const char* const end = value.data() + value.size();
      const auto [stop, error] = std::from_chars(value.data(), end, count);
      if (error != std::errc() || stop != end || count == 0) {
        return Status::usage("invalid session count '" + std::string(value) +
                             "' (a whole number from 1 to 4294967295)");
      }
      filter.lastSessions = count;
      return Status();
    }
  }
}

// What is wrong with options that are each right on their own, else ok; sets
// the output's default when -o gave none.
Status checkCombination(Options& options, bool outputGiven) {
  const ReportRequest& request = options.request;
  const auto isEmpty = [](const std::string& file) { return file.empty(); };
  const auto fromInput = std::count(options.logFiles.begin(),
                                    options.logFiles.end(), kStandardInputName);
  if (options.reportFile.empty() ||
      std::any_of(options.logFiles.begin(), options.logFiles.end(), isEmpty)) {
    return Status::usage("a file name cannot be empty");
  }
  if (fromInput > 1) {
    return Status::usage("standard input can be read as a log only once");
  }
  // The prompt would read its answer from the log.
  if (fromInput == 1 && !request.listing && !request.player) {
    return Status::usage(
        "-l - reads the log from standard input: name the "
        "player with -p, or use --list");
  }
  // A follow watches one file for what is appended.
  if (request.follow && (options.logFiles.size() > 1 || fromInput > 0)) {
    return Status::usage("--follow reads one log file: give one -l FILE");
  }
  if (request.follow && !request.listing && !request.player) {
    return Status::usage(
        "--follow needs --player (or --list): it cannot prompt");
  }
  const MatchFilter& filter = request.filter;
  if (filter.since != kNoDate && filter.until != kNoDate &&
      filter.since > filter.until) {
    return Status::usage("--since " + formatDate(filter.since) +
                         " is after --until " + formatDate(filter.until) +
                         ": no day passes both");
  }
  if (request.listing && request.player) {
    return Status::usage("--list writes no report: it takes no --player");
  }
  if (request.listing &&
      (filter.opponent || filter.character != kAnyCharacter ||
       filter.against != kAnyCharacter ||
       request.format != ReportFormat::kText)) {
    return Status::usage(
        "--list takes no --format, --opponent, --character or --against");
  }
  if (!outputGiven) {
    options.reportFile =
        request.listing
            ? kStandardOutputName
            : kFormats[static_cast<std::size_t>(request.format)].file;
  }
  return options.open && options.reportFile == kStandardOutputName
             ? Status::usage("--open opens a file: give -o FILE")
             : Status();
}

}  // namespace

ParsedOptions parseOptions(int argc, char* argv[]) {
  ParsedOptions parsed;
  Options& options = parsed.options;
  opterr = 0;
  optind = 0;  // 0, not 1: glibc then starts a new scan from scratch
  bool outputGiven = false;
  bool logGiven = false;
  for (;;) {
    const int code =
        getopt_long(argc, argv, kShortOptions, kLongOptions.data(), nullptr);
    if (code == -1) break;
    switch (code) {
      case 'p':
        options.request.player = optarg;
        break;
      case 'l':
        if (!logGiven) options.logFiles.clear();
        logGiven = true;
        options.logFiles.emplace_back(optarg);
        break;
      case 'o':
        options.reportFile = optarg;
        outputGiven = true;
        break;
      case kListCode:
        options.request.listing = true;
        break;
      case kFollowCode:
        options.request.follow = true;
        break;
      case kOpenCode:
        options.open = true;
        break;
      case kOpponentCode:
        options.request.filter.opponent = optarg;
        break;
      case 'h':
        options.command = Command::kHelp;
        return parsed;
      case 'V':
        options.command = Command::kVersion;
        return parsed;
      case ':':
      case '?':
        parsed.status =
            Status::usage(describeRefusal(code, argc, argv, parsed.hint));
        return parsed;
      default:  // an option that takes more than a name
        parsed.status = readValue(code, optarg, options);
        if (!parsed.status.ok()) return parsed;
    }
  }
  if (optind < argc) {
    const std::string word = argv[optind];
    parsed.status = Status::usage("unexpected argument '" + word + '\'');
    // A bare word is a log or, without -p, a name given without its option.
    std::error_code failed;
    if (std::filesystem::is_regular_file(word, failed)) {
      parsed.hint = "did you mean -l " + quotedName(word) + "?";
    } else if (asksForHelp(word)) {
      parsed.hint = "did you mean --help?";
    } else if (!options.request.player && word != kStandardInputName) {
      parsed.hint = "did you mean -p " + quotedName(word) + "?";
    }
  } else {
    parsed.status = checkCombination(options, outputGiven);
  }
  return parsed;
}

void writeHelp(std::ostream& out) { out << kHelp; }

}  // namespace sessionstats
