#ifndef SESSION_STATS_STATS_CHARACTER_ROSTER_H_
#define SESSION_STATS_STATS_CHARACTER_ROSTER_H_

#include <array>
#include <string_view>

namespace sessionstats {

/// The game's fixed cast. Index 0..22 addresses every per-character array;
/// kCharacterCount itself is what lookup returns for an unknown name.
inline constexpr int kCharacterCount = 23;

/// Entries of a character-by-character matrix (see matchupIndex).
inline constexpr int kMatchupCount = kCharacterCount * kCharacterCount;

/// Two parallel tables in index order. Long names are how the log spells a
/// character; short names (at most 9 bytes) label the report.
struct CharacterRoster {
  std::array<std::string_view, kCharacterCount> longName;
  std::array<std::string_view, kCharacterCount> shortName;
};

extern const CharacterRoster kRoster;

/// Index 0..22 of the character whose long name equals `name` exactly (whole
/// string, case-sensitive), or kCharacterCount when there is none.
int findCharacter(std::string_view name);

/// Short name of `index`. REQUIRES: 0 <= index < kCharacterCount.
inline std::string_view shortName(int index) {
  return kRoster.shortName[index];
}

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_CHARACTER_ROSTER_H_
