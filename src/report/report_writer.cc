#include "report/report_writer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/ordered_pipeline.h"
#include "report/report_format.h"
#include "report/text_buffer.h"
#include "stats/character_roster.h"

namespace sessionstats {
namespace {

// The rule that opens a report and its detailed tables: 76 asterisks.
constexpr std::array<char, 76> kRule = [] {
  std::array<char, 76> rule{};
  rule.fill('*');
  return rule;
}();
constexpr std::string_view kRuleText(kRule.data(), kRule.size());

constexpr std::size_t kShortNameWidth = 9;
constexpr std::size_t kMaxGridLineLength =
    kShortNameWidth + kCharacterCount * kMaxGridCellLength;

// The report's lines, each whole with its CR LF. A piece of the report is
// gathered and handed to the stream in one write (flush), so the stream sees
// whole lines.
class ReportLines final : public TextBuffer<ReportLines> {
 public:
  using TextBuffer::TextBuffer;

  void end() { raw("\r\n"); }
};

// One line per character with a win or a loss, in roster order: round
// counts alone give no line.
void writeCharacterLines(ReportLines& line, const CharacterCounts& wins,
                         const CharacterCounts& losses,
                         const CharacterCounts& roundWins,
                         const CharacterCounts& roundLosses) {
  for (int c = 0; c < kCharacterCount; ++c) {
    if (wins[c] == 0 && losses[c] == 0) continue;
    line.put(kShortNameWidth, formatRightAligned, kRoster.shortName[c],
             kShortNameWidth)
        .raw(" wins/losses: ")
        .put(kMaxRatioLength, formatRatio, wins[c], losses[c], roundWins[c],
             roundLosses[c])
        .end();
  }
}

// A 23 x 23 grid in 24 lines: a header of short names, then a row per own
// character with a cell per opposing one, which `cell(own, opposing)` gives;
// a cell with neither wins nor losses stays blank.
template <typename Cell>
void writeMatchupGrid(ReportLines& line, const Cell& cell) {
  line.put(kMaxGridLineLength,
           [](char* out) {
             out = formatRightAligned(out, "", kShortNameWidth);
             for (int column = 0; column < kCharacterCount; ++column) {
               *out++ = '|';
               out = formatRightAligned(out, kRoster.shortName[column],
                                        kShortNameWidth);
             }
             return out;
           })
      .end();
  for (int row = 0; row < kCharacterCount; ++row) {
    line.put(kMaxGridLineLength,
             [&](char* out) {
               out = formatRightAligned(out, kRoster.shortName[row],
                                        kShortNameWidth);
               for (int column = 0; column < kCharacterCount; ++column) {
                 const CellCounts counts = cell(row, column);
                 out = formatGridCell(out, counts.wins, counts.losses);
               }
               return out;
             })
        .end();
  }
}

// Time played, match count and average: the first lines of the summary and
// of every opponent section alike.
void writeTotals(ReportLines& line, const Tally& record) {
  const std::int64_t matches = record.matches();
  line.raw("    Total time played: ")
      .put(kMaxTimeSplitLength, formatTimeSplit, record.totalSeconds)
      .end();
  line.raw("        Total matches: ").number(matches).end();
  line.raw("   Avg time per match: ")
      .put(kMaxAverageLength, formatAverage, record.totalSeconds, matches)
      .raw("s")
      .end();
}

void writeWinsLosses(ReportLines& line, const Tally& record) {
  line.raw("    Total wins/losses: ")
      .put(kMaxRatioLength, formatRatio, record.matchWins, record.matchLosses,
           record.roundWins, record.roundLosses)
      .end();
}

void writeSummary(ReportLines& line, const PlayerStats& player,
                  std::span<const std::string> filters) {
  line.raw(kRuleText).end();
  line.raw("Stats for: ").raw(player.name).end();
  if (!filters.empty()) {
    line.raw("Filters: ");
    for (std::size_t i = 0; i < filters.size(); ++i) {
      if (i > 0) line.raw("; ");
      line.raw(filters[i]);
    }
    line.end();
  }
  writeTotals(line, player);
  line.raw("       Shortest match: ")
      .number(player.shortestSeconds)
      .raw("s")
      .end();
  line.raw("        Longest match: ")
      .number(player.longestSeconds)
      .raw("s")
      .end();
  writeWinsLosses(line, player);
  line.end();
  line.raw("By character: ").end();
  writeCharacterLines(line, player.charWins, player.charLosses,
                      player.charRoundWins, player.charRoundLosses);
  line.end();
  line.raw("Matchup length distribution: ").end();
  for (int bucket = 0; bucket < kLengthBucketCount; ++bucket) {
    const std::int32_t count = player.lengthBuckets[bucket];
    if (count <= 0) continue;
    line.put(kLengthLabelLength, formatLengthLabel, bucket).number(count).end();
  }
  line.end();
}

void writeOpponentSection(ReportLines& line, const PlayerStats& player,
                          const OpponentStats& opponent) {
  line.raw("********** Matchup vs: ").raw(opponent.name).end();
  writeTotals(line, opponent);
  writeWinsLosses(line, opponent);
  line.end();
  line.raw(player.name).raw(" by character:").end();
  writeCharacterLines(line, opponent.charWins, opponent.charLosses,
                      opponent.charRoundWins, opponent.charRoundLosses);
  line.end();
  line.raw(opponent.name).raw(" by character:").end();
  writeCharacterLines(line, opponent.oppCharWins, opponent.oppCharLosses,
                      opponent.oppCharRoundWins, opponent.oppCharRoundLosses);
  line.end();
}

void writeTablesHead(ReportLines& line, const PlayerStats& player) {
  line.end();
  line.raw(kRuleText).end();
  line.raw("Detailed tables").end();
  line.end();
  line.raw("Playing as down, playing against right").end();
  line.end();
  line.raw("Total matchups for ").raw(player.name).raw(":").end();
  writeMatchupGrid(line, [&](int own, int opposing) {
    const int index = matchupIndex(own, opposing);
    return CellCounts{player.matchupWins[index], player.matchupLosses[index]};
  });
  line.end();
}

// The grid is read straight from the pair, so an opponent's counts are
// summed once in a report, for his section.
void writeOpponentGrid(ReportLines& line, const OpponentEntry& opponent) {
  line.raw("* Detailed matchup vs: ").raw(opponentName(opponent)).end();
  writeMatchupGrid(line, [&](int own, int opposing) {
    return matchupCell(opponent, own, opposing);
  });
  line.end();
}

// A stretch of the report that can be formatted on its own: the report is
// the pieces of reportPieces() one after another.
struct ReportPiece {
  enum class Kind { kSummary, kSections, kTablesHead, kGrids };
  Kind kind = Kind::kSummary;
  std::size_t first = 0;  // the opponent entries of kSections and kGrids
  std::size_t last = 0;
  std::span<const std::string> filters = {};  // kSummary: those in force
};

// Opponents per piece: small enough that the pieces in flight between two
// threads stay well under a megabyte (a section is about 3 KB, a grid 6 KB),
// large enough that the threads meet only a few hundred times in a report of
// thousands of opponents.
constexpr std::size_t kOpponentsPerPiece = 16;

// Pieces formatted ahead of the writing at most, on two threads.
constexpr std::size_t kPiecesAhead = 8;

std::vector<ReportPiece> reportPieces(const PlayerStats& player,
                                      std::span<const std::string> filters) {
  std::vector<ReportPiece> pieces;
  pieces.push_back({ReportPiece::Kind::kSummary, 0, 0, filters});
  const auto addRanges = [&](ReportPiece::Kind kind) {
    const std::size_t count = player.opponents.size();
    for (std::size_t first = 0; first < count; first += kOpponentsPerPiece) {
      pieces.push_back(
          {kind, first, std::min(first + kOpponentsPerPiece, count)});
    }
  };
  addRanges(ReportPiece::Kind::kSections);
  pieces.push_back({ReportPiece::Kind::kTablesHead});
  addRanges(ReportPiece::Kind::kGrids);
  return pieces;
}

// Appends `piece` to `line`; `opponent` is room to build a section's entry
// in, so that a player with thousands of opponents needs no memory for their
// counts.
void writePiece(ReportLines& line, const PlayerStats& player,
                const ReportPiece& piece, OpponentStats& opponent) {
  switch (piece.kind) {
    case ReportPiece::Kind::kSummary:
      writeSummary(line, player, piece.filters);
      return;
    case ReportPiece::Kind::kTablesHead:
      writeTablesHead(line, player);
      return;
    case ReportPiece::Kind::kSections:
    case ReportPiece::Kind::kGrids:
      break;
  }
  for (std::size_t index = piece.first; index < piece.last; ++index) {
    const OpponentEntry& entry = player.opponents[index];
    if (!hasMatches(entry)) continue;
    if (piece.kind == ReportPiece::Kind::kSections) {
      buildOpponentStats(entry, opponent);
      writeOpponentSection(line, player, opponent);
    } else {
      writeOpponentGrid(line, entry);
    }
  }
}

// The report's pieces through an ordered pipeline (see writeReport). The
// writing thread has the writes to do as well, so the pieces go to whichever
// thread is free rather than in strict turns.
class ReportStages final : public PipelineStages {
 public:
  ReportStages(std::ostream& out, const PlayerStats& player,
               const std::vector<ReportPiece>& pieces, std::size_t slots)
      : player_(player), pieces_(pieces), slots_(slots, Slot(out)) {}

  bool take(std::size_t item, std::size_t slot) override {
    if (item == pieces_.size()) return false;
    slots_[slot].piece = item;
    return true;
  }
  void make(std::size_t slot) override {
    Slot& made = slots_[slot];
    writePiece(made.line, player_, pieces_[made.piece], made.opponent);
  }
  void use(std::size_t slot) override { slots_[slot].line.flush(); }

 private:
  struct Slot {
    explicit Slot(std::ostream& out) : line(out) {}

    std::size_t piece = 0;
    ReportLines line;        // only the writing thread flushes it
    OpponentStats opponent;  // room to build an opponent's counts in
  };

  const PlayerStats& player_;
  const std::vector<ReportPiece>& pieces_;
  std::vector<Slot> slots_;
};

}  // namespace

void writeReport(std::ostream& out, const PlayerStats& player,
                 PipelineThreads threads,
                 std::span<const std::string> filters) {
  // A thread costs more than a report of a few opponents.
  if (player.opponents.size() <= kOpponentsPerPiece) {
    threads = PipelineThreads::kOne;
  }
  const std::size_t slots = threads == PipelineThreads::kOne ? 1 : kPiecesAhead;
  const std::vector<ReportPiece> pieces = reportPieces(player, filters);
  ReportStages stages(out, player, pieces, slots);
  runOrderedPipeline(stages, slots, threads);
}

}  // namespace sessionstats
