#include "report/csv_writer.h"

#include <string_view>

#include "report/text_buffer.h"
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

// The document gathered in a TextBuffer: the numbers, dates and times go
// through the report's formatters straight into it, rather than through
// std::to_string and snprintf (a log's CSV has a row per match of the
// player), and write the same digits in any locale.
class CsvText final : public TextBuffer<CsvText> {
 public:
  using TextBuffer::TextBuffer;

  // Appends `text` quoted where it must be, and neutralised where a
  // spreadsheet would read a formula (see writeMatchCsv).
  CsvText& field(std::string_view text) {
    const bool formula = !text.empty() && kFormulaStarts.find(text.front()) !=
                                              std::string_view::npos;
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
      if (formula) raw(kFormulaGuard);
      return raw(text);
    }
    raw('"');
    if (formula) raw(kFormulaGuard);
    for (const char byte : text) {
      if (byte == '"') raw('"');
      raw(byte);
    }
    return raw('"');
  }
};

}  // namespace

void writeMatchCsv(std::ostream& out, const PlayerRecord& player,
                   const MatchLog& matches) {
  CsvText csv(out);
  csv.raw(kHeader).raw(kRowEnd);
  for (const MatchEntry& entry : matches) {
    forEachSide(entry, player, [&](const MatchSide& side) {
      csv.number(entry.session)
          .raw(',')
          .put(kMaxStampLength, writeDate, entry.date)
          .raw(',')
          .put(kMaxStampLength, writeTime, entry.time)
          .raw(',')
          .field(player.name)
          .raw(',')
          .field(side.opponent->name)
          .raw(',')
          .field(kRoster.longName[side.ownCharacter])
          .raw(',')
          .field(kRoster.longName[side.opposingCharacter])
          .raw(side.won ? ",win," : ",loss,")
          .number(side.ownRounds)
          .raw(',')
          .number(side.opposingRounds)
          .raw(',')
          .number(entry.seconds)
          .raw(kRowEnd)
          .mayFlush();
    });
  }
  csv.flush();
}

}  // namespace sessionstats
