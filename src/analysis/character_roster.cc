#include "analysis/character_roster.h"

namespace sessionstats {

constinit const CharacterRoster kRoster = {
    {"Sion",    "Arcueid",        "Ciel",     "Akiha",   "Hisui and Kohaku",
     "Hisui",   "Kohaku",         "Shiki",    "Miyako",  "Warakia",
     "Nrvnqsr", "V.Sion",         "Warcueid", "V.Akiha", "M.Hisui",
     "Nanaya",  "Satsuki",        "Len",      "Aoko",    "W.Len",
     "Kouma",   "Neco-Arc Chaos", "Neco-Arc"},
    {"Sion",     "Arcueid", "Ciel",    "Akiha",     "H&K",     "Hisui",
     "Kohaku",   "Shiki",   "Miyako",  "Warakia",   "Nrvnqsr", "V.Sion",
     "Warcueid", "V.Akiha", "M.Hisui", "Nanaya",    "Satsuki", "Len",
     "Aoko",     "W.Len",   "Kouma",   "N.A.Chaos", "Neco-Arc"},
};

int findCharacter(std::string_view name) {
  // string_view equality compares lengths before bytes, so most entries are
  // rejected without touching their text.
  for (int index = 0; index < kCharacterCount; ++index) {
    if (kRoster.longName[index] == name) return index;
  }
  return kCharacterCount;
}

}  // namespace sessionstats
