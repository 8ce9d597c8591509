// Writes a synthetic session log for benchmarks and experiments; see kUsage.

#include <getopt.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "tools/log_generator.h"

namespace {

constexpr char kUsage[] =
    "Usage: generate_log [OPTION]...\n"
    "Write a synthetic session log to standard output, or to FILE with -o.\n"
    "\n"
    "  -o, --output=FILE   write the log to FILE; an existing FILE is kept\n"
    "                        unless --force is given\n"
    "  -f, --force         replace FILE when it exists\n"
    "  -n, --lines=N       write N lines (default 1000000)\n"
    "      --opponents=P   P distinct opponents, at least 1 (default 2000)\n"
    "      --seed=S        the same seed gives the same bytes (default 1)\n"
    "  -h, --help          show this help and exit\n";

constexpr int kOpponentsCode = 256;
constexpr int kSeedCode = 257;

constexpr std::array<option, 7> kLongOptions{{
    {"output", required_argument, nullptr, 'o'},
    {"force", no_argument, nullptr, 'f'},
    {"lines", required_argument, nullptr, 'n'},
    {"opponents", required_argument, nullptr, kOpponentsCode},
    {"seed", required_argument, nullptr, kSeedCode},
    {"help", no_argument, nullptr, 'h'},
    {nullptr, 0, nullptr, 0},
}};

struct FileCloser {
  void operator()(std::FILE* file) const {
    if (file != stdout) std::fclose(file);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The long name of the option whose getopt_long code is `code`.
std::string optionName(int code) {
  for (const option& candidate : kLongOptions) {
    if (candidate.name != nullptr && candidate.val == code) {
      return std::string("--") + candidate.name;
    }
  }
  return "an option";
}

int usageError(const std::string& problem) {
  std::fprintf(stderr,
               "generate_log: %s\nTry 'generate_log --help' for more "
               "information.\n",
               problem.c_str());
  return 2;
}

template <typename Number>
bool parseNumber(std::string_view text, Number& value) {
  const char* const end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

// What the command line asks for.
struct CommandLine {
  sessionstats::LogGeneratorOptions options;
  std::string out;  // empty: standard output
  bool force = false;
  bool help = false;
};

// Reads the command line into `command`; 0, else the exit status after
// saying what is wrong.
int parseCommandLine(int argc, char** argv, CommandLine& command) {
  opterr = 0;
  for (;;) {
    const int code =
        getopt_long(argc, argv, ":o:fn:h", kLongOptions.data(), nullptr);
    if (code == -1) break;
    bool ok = true;
    switch (code) {
      case 'o':
        command.out = optarg;
        ok = !command.out.empty();
        break;
      case 'f':
        command.force = true;
        break;
      case 'n':
        ok = parseNumber(std::string_view(optarg), command.options.lines);
        break;
      case kOpponentsCode:
        ok = parseNumber(std::string_view(optarg), command.options.opponents) &&
             command.options.opponents >= 1;
        break;
      case kSeedCode:
        ok = parseNumber(std::string_view(optarg), command.options.seed);
        break;
      case 'h':
        command.help = true;
        return 0;
      case ':':
        return usageError("missing value for " + optionName(optopt));
      default:
        return usageError("unknown option " +
                          (optopt != 0
                               ? std::string{'-', static_cast<char>(optopt)}
                               : std::string(argv[optind - 1])));
    }
    if (!ok) {
      return usageError(std::string("bad value '") + optarg + "' for " +
                        optionName(code));
    }
  }
  if (optind < argc) {
    return usageError(std::string("unexpected argument ") + argv[optind]);
  }
  return 0;
}

// Writes the log of `options` to `file`, named `name` in messages; 0, else
// 1 after saying why.
int writeLog(const sessionstats::LogGeneratorOptions& options, std::FILE* file,
             const char* name) {
  // Lines are gathered into large blocks: one write per block, not per line.
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  std::string block;
  block.reserve(kBlock + 1024);
  sessionstats::LogGenerator generator(options);
  bool written = true;
  for (std::string_view line = generator.nextLine(); !line.empty();
       line = generator.nextLine()) {
    block += line;
    if (block.size() >= kBlock) {
      written = written && std::fwrite(block.data(), 1, block.size(), file) ==
                               block.size();
      block.clear();
    }
  }
  written = written &&
            std::fwrite(block.data(), 1, block.size(), file) == block.size();
  if (!written || std::fflush(file) != 0) {
    std::fprintf(stderr, "generate_log: cannot write %s: %s\n", name,
                 std::strerror(errno));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine command;
  if (const int status = parseCommandLine(argc, argv, command)) return status;
  if (command.help) {
    std::fputs(kUsage, stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  const std::string& out = command.out;
  // "x" opens only a file that does not exist yet, in the same step as the
  // check, so a log that appears meanwhile is not replaced either.
  const FilePtr file(out.empty()     ? stdout
                     : command.force ? std::fopen(out.c_str(), "wb")
                                     : std::fopen(out.c_str(), "wbx"));
  if (!file) {
    if (errno == EEXIST) {
      std::fprintf(stderr, "generate_log: %s exists; --force replaces it\n",
                   out.c_str());
    } else {
      std::fprintf(stderr, "generate_log: cannot create %s: %s\n", out.c_str(),
                   std::strerror(errno));
    }
    return 1;
  }
  const int status = writeLog(command.options, file.get(),
                              out.empty() ? "standard output" : out.c_str());
  // A cut log would read as a whole one.
  if (status != 0 && !out.empty()) std::remove(out.c_str());
  return status;
}
