#ifndef SESSION_STATS_STATS_CHARACTER_ROSTER_H_
#define SESSION_STATS_STATS_CHARACTER_ROSTER_H_

#include <array>
#include <cstdint>
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

/// The character a person means by `name` (on a command line, say).
struct CharacterChoice {
  int index = kCharacterCount;  // kCharacterCount when none or several fit
  /// With several fitting, bit i set for each fitting character i.
  std::uint32_t candidates = 0;
};

/// A long or short name in any letter case (a hyphen and a blank alike), else
/// the start of the names of only one character: "sion", "h&k", "neco arc
/// chaos", "N.A", "warc". A whole name wins over a start ("Hisui" is Hisui, not
/// the start of "Hisui and Kohaku"); a start that several fit gives them in
/// `candidates`; an empty name fits none.
CharacterChoice chooseCharacter(std::string_view name);

}  // namespace sessionstats

#endif  // SESSION_STATS_STATS_CHARACTER_ROSTER_H_
