#include "stats/character_roster.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace sessionstats {
namespace {

TEST(CharacterRoster, LongNamesAreFoundAndNothingElse) {
  EXPECT_EQ(findCharacter("Sion"), 0);
  EXPECT_EQ(findCharacter("Hisui and Kohaku"), 4);
  EXPECT_EQ(findCharacter("Hisui"), 5);
  EXPECT_EQ(findCharacter("Kohaku"), 6);
  EXPECT_EQ(findCharacter("Neco-Arc Chaos"), 21);
  EXPECT_EQ(findCharacter("Neco-Arc"), 22);

  // Short forms, case, blanks and prefixes are not names.
  // Nor are names that only share a long name's length and first letter.
  for (const char* name :
       {"H&K", "N.A.Chaos", "sion", "Sion ", " Sion", "", "Neco-Arc Chao",
        "Neco-Arc ", "Sioz", "Neco-Arc Chaoz", "\x93ion", "Hisui and Kohaku!",
        "Hisui and Kohaku and Len"}) {
    EXPECT_EQ(findCharacter(name), kCharacterCount) << '"' << name << '"';
  }
}

TEST(CharacterRoster, EveryLongNameFindsItsOwnIndex) {
  std::set<std::string_view> shortNames;
  for (int index = 0; index < kCharacterCount; ++index) {
    EXPECT_EQ(findCharacter(kRoster.longName[index]), index);
    EXPECT_LE(kRoster.shortName[index].size(), 9u);
    shortNames.insert(kRoster.shortName[index]);
  }
  EXPECT_EQ(shortNames.size(), static_cast<std::size_t>(kCharacterCount));
}

TEST(CharacterRoster, EveryByteOfALongNameCounts) {
  for (int index = 0; index < kCharacterCount; ++index) {
    const std::string name(kRoster.longName[index]);
    for (std::size_t at = 0; at < name.size(); ++at) {
      for (char flip : {'\x01', '\x20', '\x80'}) {
        std::string changed = name;
        changed[at] = static_cast<char>(changed[at] ^ flip);
        EXPECT_EQ(findCharacter(changed), kCharacterCount)
            << name << " changed at " << at;
      }
    }
  }
}

TEST(CharacterRoster, NameWithEmbeddedNulIsNotARosterName) {
  EXPECT_EQ(findCharacter(std::string_view("Sion\0x", 6)), kCharacterCount);
}

TEST(CharacterRoster, ChoiceTakesEitherNameAnyCaseOrAUniqueStart) {
  const struct {
    const char* name;
    int index;
  } kChosen[] = {
      {"Sion", 0},
      {"sion", 0},
      {"SION", 0},
      {"Hisui and Kohaku", 4},
      {"h&k", 4},
      {"H&", 4},
      {"hisui and", 4},
      {"Hisui", 5},
      {"hisui", 5},
      {"Neco-Arc", 22},
      {"neco-arc chaos", 21},
      {"Neco Arc Chaos", 21},
      {"neco arc", 22},
      {"n.a.chaos", 21},
      {"N.A", 21},
      {"warc", 12},
      {"Neco-Arc ", 21},
      {"koh", 6},
      {"Kouma", 20},
  };
  for (const auto& [name, index] : kChosen) {
    const CharacterChoice choice = chooseCharacter(name);
    EXPECT_EQ(choice.index, index) << name;
    EXPECT_EQ(choice.candidates, 0U) << name;
  }
  EXPECT_EQ(chooseCharacter("h").candidates, (1U << 4) | (1U << 5));
  EXPECT_EQ(chooseCharacter("ne").candidates, (1U << 21) | (1U << 22));
  for (const char* none : {"", "Zelda", "Sion ", "Hisui and Kohaku!"}) {
    const CharacterChoice choice = chooseCharacter(none);
    EXPECT_EQ(choice.index, kCharacterCount) << none;
    EXPECT_EQ(choice.candidates, 0U) << none;
  }
}

}  // namespace
}  // namespace sessionstats
