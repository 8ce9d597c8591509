#include "stats/character_roster.h"

#include <cstddef>
#include <cstdint>

namespace sessionstats {
namespace {

constexpr std::array<std::string_view, kCharacterCount> kLongNames = {
    "Sion",    "Arcueid",        "Ciel",     "Akiha",   "Hisui and Kohaku",
    "Hisui",   "Kohaku",         "Shiki",    "Miyako",  "Warakia",
    "Nrvnqsr", "V.Sion",         "Warcueid", "V.Akiha", "M.Hisui",
    "Nanaya",  "Satsuki",        "Len",      "Aoko",    "W.Len",
    "Kouma",   "Neco-Arc Chaos", "Neco-Arc"};

constexpr std::array<std::string_view, kCharacterCount> kShortNames = {
    "Sion",     "Arcueid", "Ciel",    "Akiha",     "H&K",     "Hisui",
    "Kohaku",   "Shiki",   "Miyako",  "Warakia",   "Nrvnqsr", "V.Sion",
    "Warcueid", "V.Akiha", "M.Hisui", "Nanaya",    "Satsuki", "Len",
    "Aoko",     "W.Len",   "Kouma",   "N.A.Chaos", "Neco-Arc"};

// Every result line names two characters, so lookup must be quick. No two
// long names share both their length and the low five bits of their first
// byte, so that pair picks the one long name a name can equal, and a single
// comparison decides. Against a scan of the 23 names: 0.198 s vs 0.227 s
// CPU for reading the 1M-line log with 2,000 opponents, 0.369 s vs 0.398 s
// for the full run.
constexpr std::size_t kLongestName = 16;
constexpr std::size_t kFirstByteSlots = 32;

constexpr std::size_t firstByteSlot(char first) {
  return static_cast<unsigned char>(first) % kFirstByteSlots;
}

using CandidateTable =
    std::array<std::array<std::uint8_t, kFirstByteSlots>, kLongestName + 1>;

// The long name for each length and first byte slot; kCharacterCount where
// there is none.
constexpr CandidateTable makeCandidates() {
  CandidateTable table{};
  for (auto& row : table) row.fill(kCharacterCount);
  for (int index = 0; index < kCharacterCount; ++index) {
    const std::string_view name = kLongNames[index];
    table[name.size()][firstByteSlot(name.front())] =
        static_cast<std::uint8_t>(index);
  }
  return table;
}

constexpr CandidateTable kCandidates = makeCandidates();

constexpr bool everyNameHasItsOwnSlot() {
  for (int index = 0; index < kCharacterCount; ++index) {
    const std::string_view name = kLongNames[index];
    if (name.empty() || name.size() > kLongestName ||
        kCandidates[name.size()][firstByteSlot(name.front())] != index) {
      return false;
    }
  }
  return true;
}
// Fails when two long names share a slot: the later would hide the earlier.
static_assert(everyNameHasItsOwnSlot(),
              "long names must differ in length or first byte");

}  // namespace

constinit const CharacterRoster kRoster = {kLongNames, kShortNames};

int findCharacter(std::string_view name) {
  if (name.empty() || name.size() > kLongestName) return kCharacterCount;
  const int index = kCandidates[name.size()][firstByteSlot(name.front())];
  if (index < kCharacterCount && kLongNames[index] == name) {
    return index;
  }
  return kCharacterCount;
}

}  // namespace sessionstats
