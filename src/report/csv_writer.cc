#include "report/csv_writer.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "report/report_format.h"
#include "stats/character_roster.h"

namespace sessionstats {
namespace {

constexpr std::string_view kHeader =
    "session,date,time,player,opponent,player_character,opponent_character,"
    "result,player_rounds,opponent_rounds,seconds";
constexpr std::string_view kRowEnd = "\r\n";
// The first bytes that make a spreadsheet read a text field as a formula, and
// what goes before them so that it reads as text.
constexpr std::string_view kFormulaStarts = "=+-@\t\r";
constexpr char kFormulaGuard = '\'';

// Integers through formatInteger and dates through writeDate, into a row
// reused from row to row, rather than std::to_string and snprintf: a log's
// CSV has a row per match of the player. They write the same digits in any
// locale.
void appendNumber(std::string& row, std::int64_t number) {
  char text[kMaxInt64Length];
  row.append(text, formatInteger(text, number));
}

// Appends `field` to `row` quoted where it must be, and neutralised where
// a spreadsheet would read a formula (see writeMatchCsv).
void appendCsvField(std::string& row, std::string_view field) {
  const bool formula = !field.empty() && kFormulaStarts.find(field.front()) !=
                                             std::string_view::npos;
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    if (formula) row += kFormulaGuard;
    row += field;
    return;
  }
  row += '"';
  if (formula) row += kFormulaGuard;
  for (const char byte : field) {
    if (byte == '"') row += '"';
    row += byte;
  }
  row += '"';
}

}  // namespace

void writeMatchCsv(std::ostream& out, const PlayerRecord& player,
                   const MatchLog& matches) {
  out << kHeader << kRowEnd;
  std::string row;  // reused: a row costs no allocation once it is big enough
  for (const MatchEntry& entry : matches) {
    forEachSide(entry, player, [&](const MatchSide& side) {
      row.clear();
      appendNumber(row, entry.session);
      char stamp[kMaxStampLength];
      row += ',';
      row.append(stamp, writeDate(stamp, entry.date));
      row += ',';
      row.append(stamp, writeTime(stamp, entry.time));
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
      row += ',';
      appendNumber(row, side.opposingRounds);
      row += ',';
      appendNumber(row, entry.seconds);
      row += kRowEnd;
      out.write(row.data(), static_cast<std::streamsize>(row.size()));
    });
  }
}

}  // namespace sessionstats
