#include "stats/character_roster.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/ascii.h"

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
// byte, so that pair picks the one long name a name can equal, of the same
// length, and a single comparison of the bytes decides; a static_assert below
// holds the table to that.
constexpr std::size_t kLongestName = 16;  // two words of sameBytes
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

template <typename Word>
Word loadWord(const char* at) {
  Word word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// Whether two texts of the same `length`, at most 2 * 8 bytes, hold the same
// bytes: two overlapping words from each, 8 or 4 bytes wide, in place of a
// call to memcmp, which costs more than comparing names this short.
bool sameBytes(const char* a, const char* b, std::size_t length) {
  if (length >= 8) {
    return loadWord<std::uint64_t>(a) == loadWord<std::uint64_t>(b) &&
           loadWord<std::uint64_t>(a + length - 8) ==
               loadWord<std::uint64_t>(b + length - 8);
  }
  if (length >= 4) {
    return loadWord<std::uint32_t>(a) == loadWord<std::uint32_t>(b) &&
           loadWord<std::uint32_t>(a + length - 4) ==
               loadWord<std::uint32_t>(b + length - 4);
  }
  for (std::size_t i = 0; i < length; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

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

// Names of the roster are ASCII: folding the letters of both sides is all
// that letter case needs. A hyphen folds to a blank, since people write
// "Neco Arc" as often as the game's "Neco-Arc".
constexpr char foldForChoice(char byte) {
  return byte == '-' ? ' ' : toLowerAscii(byte);
}

// Whether `full` begins with `start`, both folded.
bool startsLooselyWith(std::string_view full, std::string_view start) {
  if (start.size() > full.size()) return false;
  for (std::size_t i = 0; i < start.size(); ++i) {
    if (foldForChoice(full[i]) != foldForChoice(start[i])) return false;
  }
  return true;
}

}  // namespace

constinit const CharacterRoster kRoster = {kLongNames, kShortNames};

int findCharacter(std::string_view name) {
  if (name.empty() || name.size() > kLongestName) return kCharacterCount;
  const int index = kCandidates[name.size()][firstByteSlot(name.front())];
  if (index < kCharacterCount &&
      sameBytes(kLongNames[index].data(), name.data(), name.size())) {
    return index;
  }
  return kCharacterCount;
}

CharacterChoice chooseCharacter(std::string_view name) {
  CharacterChoice choice;
  if (name.empty()) return choice;
  int fitting = 0;
  for (int index = 0; index < kCharacterCount; ++index) {
    for (const std::string_view full :
         {kLongNames[index], kShortNames[index]}) {
      if (!startsLooselyWith(full, name)) continue;
      if (full.size() == name.size()) return {index, 0};
      if ((choice.candidates & (1U << index)) == 0) ++fitting;
      choice.candidates |= 1U << index;
      choice.index = index;
    }
  }
  if (fitting == 1) return {choice.index, 0};
  choice.index = kCharacterCount;
  return choice;
}

}  // namespace sessionstats
