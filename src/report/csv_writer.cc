#include "report/csv_writer.h"

#include <string>

#include "stats/character_roster.h"

namespace sessionstats {
namespace {

constexpr std::string_view kHeader =
    "session,date,time,player,opponent,player_character,opponent_character,"
    "result,player_rounds,opponent_rounds,seconds";
constexpr std::string_view kRowEnd = "\r\n";

void appendNumber(std::string& row, long long number) {
  row += std::to_string(number);
  row += ',';
}

}  // namespace

void appendCsvField(std::string& row, std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    row += field;
    return;
  }
  row += '"';
  for (const char byte : field) {
    if (byte == '"') row += '"';
    row += byte;
  }
  row += '"';
}

void writeMatchCsv(std::ostream& out, const PlayerRecord& player,
                   const std::vector<const MatchEntry*>& matches) {
  out << kHeader << kRowEnd;
  std::string row;  // reused: a row costs no allocation once it is big enough
  for (const MatchEntry* entry : matches) {
    forEachSide(*entry, player, [&](const MatchSide& side) {
      row.clear();
      appendNumber(row, entry->session);
      row += formatDate(entry->date);
      row += ',';
      row += formatTime(entry->time);
      row += ',';
      appendCsvField(row, player.name);
      row += ',';
      appendCsvField(row, side.opponent->name);
      row += ',';
      appendCsvField(row, kRoster.longName[side.ownCharacter]);
      row += ',';
      appendCsvField(row, kRoster.longName[side.opposingCharacter]);
      row += side.won ? ",win," : ",loss,";
      appendNumber(row, side.ownRounds);
      appendNumber(row, side.opposingRounds);
      row += std::to_string(entry->seconds);
      row += kRowEnd;
      out.write(row.data(), static_cast<std::streamsize>(row.size()));
    });
  }
}

}  // namespace sessionstats
