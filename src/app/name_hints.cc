#include "app/name_hints.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "base/ascii.h"
#include "os/command_line_word.h"
#include "os/status.h"
#include "report/terminal_escape.h"
#include "stats/character_roster.h"

namespace sessionstats {
namespace {

constexpr char kSeeList[] = "see --list for every player of the log";

// The longest "/help" that reads as a switch of another system rather than
// a path.
constexpr std::size_t kMaxSwitchLength = 5;

// The most close names, and names with blanks, that nameHints offers.
constexpr std::size_t kMaxCloseNames = 3;

// The most edits that still read as a slip of `length` characters: one per
// three characters, at least one and at most three.
std::size_t slipLimit(std::size_t length) {
  return std::clamp<std::size_t>((length + 2) / 3, 1, 3);
}

// The edit distance of `a` and `b` with letter case folded, counting an
// insertion, a deletion, a change and a swap of two neighbours as one each
// (optimal string alignment); any value above `limit` stands for "too far".
// A cell (i, j) with |i - j| > limit is at least that far, so only the band
// of 2 * limit + 1 cells around the diagonal is computed: the cost grows
// with the names' length, not its square, however long a prefix they share.
// The rows stop as soon as every cell of the band is too far. `cells` is
// scratch space, kept between calls so that each name costs no allocation.
std::size_t editDistance(std::string_view a, std::string_view b,
                         std::size_t limit, std::vector<std::size_t>& cells) {
  const std::size_t tooFar = limit + 1;
  if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) >
      limit) {
    return tooFar;
  }
  const std::size_t width = b.size() + 1;
  // A cell right of the band is never written after row 0 and must read as
  // too far.
  cells.assign(3 * width, tooFar);
  std::size_t* before = cells.data();  // row i - 2
  std::size_t* last = before + width;  // row i - 1
  std::size_t* row = last + width;
  for (std::size_t j = 0; j <= b.size(); ++j) last[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    const std::size_t first = i > limit ? i - limit : 1;
    const std::size_t end = std::min(b.size(), i + limit);
    // The cell left of the band holds a value of row i - 3.
    row[first - 1] = first == 1 ? i : tooFar;
    std::size_t best = row[first - 1];
    for (std::size_t j = first; j <= end; ++j) {
      const bool same = toLowerAscii(a[i - 1]) == toLowerAscii(b[j - 1]);
      row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + !same});
      if (i > 1 && j > 1 && toLowerAscii(a[i - 1]) == toLowerAscii(b[j - 2]) &&
          toLowerAscii(a[i - 2]) == toLowerAscii(b[j - 1])) {
        row[j] = std::min(row[j], before[j - 2] + 1);
      }
      best = std::min(best, row[j]);
    }
    if (best > limit) return tooFar;
    std::swap(before, last);
    std::swap(last, row);
  }
  return std::min(last[b.size()], tooFar);
}

// `text` as a hint shows it: escaped for a terminal with kEscaped.
std::string shown(std::string_view text, ListNames names) {
  if (names == ListNames::kExact) return std::string(text);
  std::string escaped;
  appendTerminalEscaped(escaped, text);
  return escaped;
}

std::string joined(const std::vector<std::string_view>& list, ListNames names) {
  std::string text;
  for (const std::string_view name : list) {
    if (!text.empty()) text += ", ";
    text += shown(quotedName(name), names);
  }
  return text;
}

// A name of the log's alias lines and the target of its newest alias line.
struct AliasMatch {
  std::string_view alias;
  std::string_view target;
};

// The alias that `name` may mean: itself when the log gives it as an alias,
// else the first in byte order of those differing from it in letter case
// only; empty views when there is none.
AliasMatch aliasOf(const SessionLogReader& reader, std::string_view name) {
  AliasMatch match;
  reader.forEachAlias([&](std::string_view alias, std::string_view target) {
    if (alias == name ||
        (match.alias != name && sameIgnoringCase(alias, name) &&
         (match.alias.empty() || alias < match.alias))) {
      match = {alias, target};
    }
  });
  return match;
}

// The names of the characters whose bits `characters` sets, in roster
// order, each long name with its short one where they differ: "Sion, Hisui
// and Kohaku (H&K)".
std::string characterNames(std::uint32_t characters) {
  std::string names;
  for (int index = 0; index < kCharacterCount; ++index) {
    if ((characters & (1U << index)) == 0) continue;
    if (!names.empty()) names += ", ";
    names += kRoster.longName[index];
    if (kRoster.shortName[index] != kRoster.longName[index]) {
      names.append(" (").append(kRoster.shortName[index]).append(")");
    }
  }
  return names;
}

}  // namespace

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return toLowerAscii(x) == toLowerAscii(y);
         });
}

std::string_view closestName(std::string_view word,
                             const std::vector<std::string_view>& candidates) {
  const std::size_t limit = slipLimit(word.size());
  std::size_t best = limit + 1;
  std::string_view closest;
  std::vector<std::size_t> cells;
  for (const std::string_view candidate : candidates) {
    const std::size_t distance = editDistance(word, candidate, limit, cells);
    if (distance < best) {
      best = distance;
      closest = candidate;
    }
  }
  return closest;
}

std::string_view closestCharacter(std::string_view name) {
  std::vector<std::string_view> names(kRoster.longName.begin(),
                                      kRoster.longName.end());
  names.insert(names.end(), kRoster.shortName.begin(), kRoster.shortName.end());
  return closestName(name, names);
}

Status readCharacter(std::string_view value, int& character) {
  const CharacterChoice choice = chooseCharacter(value);
  if (choice.candidates != 0) {
    return Status::usage("character '" + std::string(value) + "' could be " +
                         characterNames(choice.candidates));
  }
  if (choice.index == kCharacterCount) {
    constexpr std::uint32_t kEveryCharacter = (1U << kCharacterCount) - 1;
    const std::string_view closest = closestCharacter(value);
    return Status::usage(
        "unknown character '" + std::string(value) + "'; " +
        (closest.empty()
             ? "the characters are " + characterNames(kEveryCharacter)
             : "did you mean " + std::string(closest) + "?"));
  }
  character = choice.index;
  return Status();
}

bool asksForHelp(std::string_view word) {
  if (sameIgnoringCase(word, "help") || word == "?") return true;
  if (word.size() < 2 || word.size() > kMaxSwitchLength || word[0] != '/') {
    return false;
  }
  return std::all_of(word.begin() + 1, word.end(), [](char byte) {
    const char lower = toLowerAscii(byte);
    return byte == '?' || (lower >= 'a' && lower <= 'z');
  });
}

std::vector<std::string> nameHints(const StatsRecords& records,
                                   const SessionLogReader& reader,
                                   std::string_view name, bool fromPrompt,
                                   const HintStyle& style) {
  const ListNames names = style.names;
  const auto [alias, target] = aliasOf(reader, name);
  std::vector<std::string> hints;
  std::vector<std::string_view> caseTwins;
  std::vector<std::string_view> withBlank;
  // (distance, list position) orders the close names: nearest first, then
  // in the order the log met them.
  std::vector<std::pair<std::size_t, std::string_view>> close;
  const std::size_t limit = slipLimit(name.size());
  const bool aliased = !alias.empty() && records.findPlayer(target) != nullptr;
  std::vector<std::size_t> cells;
  for (const PlayerRecord& player : records.players()) {
    const std::string_view candidate = player.name;
    if (sameIgnoringCase(candidate, name)) {
      caseTwins.push_back(candidate);
      continue;
    }
    if (aliased && candidate == target) continue;
    if (fromPrompt && candidate.size() > name.size() &&
        candidate.starts_with(name) && isBlank(candidate[name.size()])) {
      withBlank.push_back(candidate);
      continue;
    }
    const std::size_t distance = editDistance(name, candidate, limit, cells);
    if (distance <= limit) close.emplace_back(distance, candidate);
  }
  if (!caseTwins.empty()) {
    hints.push_back("letter case counts: did you mean " +
                    joined(caseTwins, names) + "?");
  }
  if (aliased) {
    hints.push_back((alias == name ? "" : "letter case counts: ") +
                    shown(quotedName(alias), names) + " is an alias of " +
                    shown(quotedName(target), names));
  }
  if (!close.empty()) {
    std::stable_sort(
        close.begin(), close.end(),
        [](const auto& a, const auto& b) { return a.first < b.first; });
    if (close.size() > kMaxCloseNames) close.resize(kMaxCloseNames);
    std::vector<std::string_view> list;
    list.reserve(close.size());
    for (const auto& entry : close) list.push_back(entry.second);
    hints.push_back("close names: " + joined(list, names));
  }
  if (!style.options) return hints;
  for (std::size_t i = 0; i < withBlank.size() && i < kMaxCloseNames; ++i) {
    hints.push_back("a name with blanks is given with -p: -p " +
                    shown(commandLineWord(withBlank[i]), names));
  }
  hints.emplace_back(kSeeList);
  return hints;
}

}  // namespace sessionstats
