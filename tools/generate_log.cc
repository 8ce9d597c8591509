// Writes a synthetic session log for benchmarks and experiments:
//   generate_log [--lines N] [--opponents P] [--seed S] [--out FILE]
// Defaults: 1000000 lines, 2000 opponents, seed 1, sessionlog.txt.

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "tools/log_generator.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

int usage(std::string_view problem) {
  std::fprintf(stderr,
               "generate_log: %.*s\n"
               "usage: generate_log [--lines N] [--opponents P] [--seed S] "
               "[--out FILE]\n",
               static_cast<int>(problem.size()), problem.data());
  return 2;
}

template <typename Number>
bool parseNumber(std::string_view text, Number& value) {
  const char* const end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

}  // namespace

int main(int argc, char** argv) {
  sessionstats::LogGeneratorOptions options;
  std::string out = "sessionlog.txt";
  for (int i = 1; i < argc; ++i) {
    const std::string_view flag = argv[i];
    if (i + 1 == argc) return usage("missing value after " + std::string(flag));
    const std::string_view value = argv[++i];
    bool ok = true;
    if (flag == "--lines") {
      ok = parseNumber(value, options.lines);
    } else if (flag == "--opponents") {
      ok = parseNumber(value, options.opponents) && options.opponents >= 1;
    } else if (flag == "--seed") {
      ok = parseNumber(value, options.seed);
    } else if (flag == "--out") {
      out = value;
    } else {
      return usage("unknown option " + std::string(flag));
    }
    if (!ok) return usage("bad value for " + std::string(flag));
  }

  const std::unique_ptr<std::FILE, FileCloser> file(
      std::fopen(out.c_str(), "wb"));
  if (!file) {
    std::fprintf(stderr, "generate_log: cannot create %s: %s\n", out.c_str(),
                 std::strerror(errno));
    return 1;
  }
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
      written = written && std::fwrite(block.data(), 1, block.size(),
                                       file.get()) == block.size();
      block.clear();
    }
  }
  written = written && std::fwrite(block.data(), 1, block.size(), file.get()) ==
                           block.size();
  if (!written || std::fflush(file.get()) != 0) {
    std::fprintf(stderr, "generate_log: cannot write %s: %s\n", out.c_str(),
                 std::strerror(errno));
    return 1;
  }
  return 0;
}
