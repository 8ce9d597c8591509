#include "tools/log_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "stats/character_roster.h"

namespace sessionstats {
namespace {

std::vector<std::string_view> splitLines(std::string_view log) {
  std::vector<std::string_view> lines;
  while (!log.empty()) {
    const std::size_t end = log.find('\n');
    lines.push_back(log.substr(0, end));
    log.remove_prefix(end == std::string_view::npos ? log.size() : end + 1);
  }
  return lines;
}

bool startsWithStamp(std::string_view line) {
  constexpr std::string_view kShape = "dddd-dd-dd dd:dd:dd ";
  if (line.size() < kShape.size()) return false;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    const bool digit = std::isdigit(static_cast<unsigned char>(line[i]));
    if (kShape[i] == 'd' ? !digit : line[i] != kShape[i]) return false;
  }
  return true;
}

TEST(LogGenerator, SameSeedGivesSameBytesAndExactlyTheLinesAskedFor) {
  const LogGeneratorOptions options{.lines = 5'000, .opponents = 40, .seed = 7};
  const std::string log = generateLog(options);
  EXPECT_EQ(log, generateLog(options));
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 5'000);
  EXPECT_EQ(log.back(), '\n');

  LogGeneratorOptions otherSeed = options;
  otherSeed.seed = 8;
  EXPECT_NE(log, generateLog(otherSeed));

  EXPECT_EQ(generateLog({.lines = 0, .opponents = 1, .seed = 1}), "");
}

TEST(LogGenerator, EveryLineIsStampedAndEveryOpponentAndCharacterTakesPart) {
  constexpr int kOpponents = 50;
  const std::string log =
      generateLog({.lines = 20'000, .opponents = kOpponents, .seed = 3});
  const std::set<std::string_view> local = {"Kestrel", "Kes", "KestreI",
                                            "Kestrel_jp"};
  std::set<std::string_view> opponents;
  std::set<std::string_view> characters;
  std::size_t malformed = 0;
  for (std::string_view line : splitLines(log)) {
    ASSERT_TRUE(startsWithStamp(line)) << line;
    const std::string_view rest = line.substr(20);
    if (rest.starts_with("Session start. Players: ")) {
      const std::string_view names = rest.substr(24);
      const std::size_t vs = names.find(" vs ");
      if (vs == std::string_view::npos) continue;
      for (std::string_view name :
           {names.substr(0, vs), names.substr(vs + 4)}) {
        if (!local.contains(name) && name != "Practice Dummy" &&
            name != "Debug mode") {
          opponents.insert(name);
        }
      }
    } else if (rest.starts_with("Player ")) {
      const std::size_t colon = rest.find(" : ");
      const std::size_t vs = rest.find(" vs ", colon);
      const std::size_t paren = rest.find(" (", vs);
      if (paren == std::string_view::npos) {
        ++malformed;
        continue;
      }
      characters.insert(rest.substr(colon + 3, vs - colon - 3));
      characters.insert(rest.substr(vs + 4, paren - vs - 4));
    }
  }
  EXPECT_EQ(opponents.size(), std::size_t{kOpponents});
  for (std::string_view name : kRoster.longName) {
    EXPECT_TRUE(characters.contains(name)) << name;
  }
  EXPECT_TRUE(characters.contains("H&K") || characters.contains("N.A.Chaos") ||
              characters.contains("sion") || characters.contains("Random"));
  EXPECT_GT(malformed, 0u);
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](char byte) {
    return byte != '\n' && !std::isprint(static_cast<unsigned char>(byte));
  }));
}

}  // namespace
}  // namespace sessionstats
