#include "report/report_writer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "report/report_format.h"
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

// Builds one line at a time in a buffer reused from line to line, then hands
// it to the stream whole: one write with its CR LF, never a flush, so the
// stream's own buffer gathers many lines per system call. The formatters
// write straight into the buffer, so a line costs no allocation; the buffer
// grows only for a name longer than any before it.
class LineWriter {
 public:
  explicit LineWriter(std::ostream& out) : out_(out), buffer_(1024) {}

  // Space for `length` more bytes; commit() then takes what was written.
  char* reserve(std::size_t length) {
    if (buffer_.size() - used_ < length) grow(length);
    return buffer_.data() + used_;
  }

  void commit(const char* end) {
    used_ = static_cast<std::size_t>(end - buffer_.data());
  }

  LineWriter& text(std::string_view text) {
    std::memcpy(reserve(text.size()), text.data(), text.size());
    used_ += text.size();
    return *this;
  }

  // Appends what `format` writes given room for `maxLength` bytes.
  template <typename Format, typename... Args>
  LineWriter& put(std::size_t maxLength, Format format, Args... args) {
    commit(format(reserve(maxLength), args...));
    return *this;
  }

  void end() {
    text("\r\n");
    out_.write(buffer_.data(), static_cast<std::streamsize>(used_));
    used_ = 0;
  }

 private:
  void grow(std::size_t length) {
    buffer_.resize(std::max(2 * buffer_.size(), used_ + length));
  }

  std::ostream& out_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
};

bool hasResults(const OpponentStats& opponent) {
  return opponent.matchWins != 0 || opponent.matchLosses != 0;
}

void writeCharacterLines(LineWriter& line, const CharacterCounts& wins,
                         const CharacterCounts& losses,
                         const CharacterCounts& roundWins,
                         const CharacterCounts& roundLosses) {
  for (int c = 0; c < kCharacterCount; ++c) {
    if (wins[c] == 0 && losses[c] == 0) continue;
    line.put(kShortNameWidth, formatRightAligned, shortName(c), kShortNameWidth)
        .text(" wins/losses: ")
        .put(kMaxRatioLength, formatRatio, wins[c], losses[c], roundWins[c],
             roundLosses[c])
        .end();
  }
}

void writeMatchupGrid(LineWriter& line, const MatchupCounts& wins,
                      const MatchupCounts& losses) {
  char* out = line.reserve(kMaxGridLineLength);
  out = formatRightAligned(out, "", kShortNameWidth);
  for (int column = 0; column < kCharacterCount; ++column) {
    *out++ = '|';
    out = formatRightAligned(out, shortName(column), kShortNameWidth);
  }
  line.commit(out);
  line.end();
  for (int row = 0; row < kCharacterCount; ++row) {
    out = line.reserve(kMaxGridLineLength);
    out = formatRightAligned(out, shortName(row), kShortNameWidth);
    for (int column = 0; column < kCharacterCount; ++column) {
      const int cell = matchupIndex(row, column);
      out = formatGridCell(out, wins[cell], losses[cell]);
    }
    line.commit(out);
    line.end();
  }
}

// Time played, match count and average: the first lines of the summary and
// of every opponent section alike.
void writeTotals(LineWriter& line, const Tally& record) {
  // Summed in 64 bits: two wrapped-around counters must not overflow here.
  const std::int64_t matches =
      std::int64_t{record.matchWins} + record.matchLosses;
  line.text("    Total time played: ")
      .put(kMaxTimeSplitLength, formatTimeSplit, record.totalSeconds)
      .end();
  line.text("        Total matches: ")
      .put(kMaxInt64Length, formatInteger, matches)
      .end();
  line.text("   Avg time per match: ")
      .put(kMaxAverageLength, formatAverage, record.totalSeconds, matches)
      .text("s")
      .end();
}

void writeWinsLosses(LineWriter& line, const Tally& record) {
  line.text("    Total wins/losses: ")
      .put(kMaxRatioLength, formatRatio, record.matchWins, record.matchLosses,
           record.roundWins, record.roundLosses)
      .end();
}

void writeSummary(LineWriter& line, const PlayerStats& player) {
  line.text(kRuleText).end();
  line.text("Stats for: ").text(player.name).end();
  writeTotals(line, player);
  line.text("       Shortest match: ")
      .put(kMaxInt64Length, formatInteger, player.shortestSeconds)
      .text("s")
      .end();
  line.text("        Longest match: ")
      .put(kMaxInt64Length, formatInteger, player.longestSeconds)
      .text("s")
      .end();
  writeWinsLosses(line, player);
  line.end();
  line.text("By character: ").end();
  writeCharacterLines(line, player.charWins, player.charLosses,
                      player.charRoundWins, player.charRoundLosses);
  line.end();
  line.text("Matchup length distribution: ").end();
  for (int bucket = 0; bucket < kLengthBucketCount; ++bucket) {
    const std::int32_t count = player.lengthBuckets[bucket];
    if (count <= 0) continue;
    line.put(kLengthLabelLength, formatLengthLabel, bucket)
        .put(kMaxInt64Length, formatInteger, count)
        .end();
  }
  line.end();
}

void writeOpponentSection(LineWriter& line, const PlayerStats& player,
                          const OpponentStats& opponent) {
  line.text("********** Matchup vs: ").text(opponent.name).end();
  writeTotals(line, opponent);
  writeWinsLosses(line, opponent);
  line.end();
  line.text(player.name).text(" by character:").end();
  writeCharacterLines(line, opponent.charWins, opponent.charLosses,
                      opponent.charRoundWins, opponent.charRoundLosses);
  line.end();
  line.text(opponent.name).text(" by character:").end();
  writeCharacterLines(line, opponent.oppCharWins, opponent.oppCharLosses,
                      opponent.oppCharRoundWins, opponent.oppCharRoundLosses);
  line.end();
}

void writeDetailedTables(LineWriter& line, const PlayerStats& player,
                         OpponentStats& opponent) {
  line.end();
  line.text(kRuleText).end();
  line.text("Detailed tables").end();
  line.end();
  line.text("Playing as down, playing against right").end();
  line.end();
  line.text("Total matchups for ").text(player.name).text(":").end();
  writeMatchupGrid(line, player.matchupWins, player.matchupLosses);
  line.end();
  for (const OpponentEntry& entry : player.opponents) {
    buildOpponentStats(entry, opponent);
    if (!hasResults(opponent)) continue;
    line.text("* Detailed matchup vs: ").text(opponent.name).end();
    writeMatchupGrid(line, opponent.matchupWins, opponent.matchupLosses);
    line.end();
  }
}

}  // namespace

// The opponent entries are built one at a time, each twice (for its section,
// then for its grid), into one OpponentStats: a player with thousands of
// opponents needs no memory for their counts. Building each once and reading
// his grid straight from the pair measured no faster: a build costs little
// beyond reading the pair's cells, which the grid needs either way.
void writeReport(std::ostream& out, const PlayerStats& player) {
  LineWriter line(out);
  writeSummary(line, player);
  OpponentStats opponent;
  for (const OpponentEntry& entry : player.opponents) {
    buildOpponentStats(entry, opponent);
    if (hasResults(opponent)) writeOpponentSection(line, player, opponent);
  }
  writeDetailedTables(line, player, opponent);
}

void writeCharacterLines(std::ostream& out, const CharacterCounts& wins,
                         const CharacterCounts& losses,
                         const CharacterCounts& roundWins,
                         const CharacterCounts& roundLosses) {
  LineWriter line(out);
  writeCharacterLines(line, wins, losses, roundWins, roundLosses);
}

void writeMatchupGrid(std::ostream& out, const MatchupCounts& wins,
                      const MatchupCounts& losses) {
  LineWriter line(out);
  writeMatchupGrid(line, wins, losses);
}

}  // namespace sessionstats
