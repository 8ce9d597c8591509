// Runs arbitrary bytes through the same code as the program, from line
// splitting to the report, and checks what must hold for any log.
//
// Input layout: the first byte's low 5 bits give the length of the answer,
// which is taken from the end of the input; its top 3 bits choose the block
// size in which the log is fed to the line splitter. The bytes in between
// are the log.
#include "fuzz/fuzz_input.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "log/log_line_splitter.h"
#include "log/session_log_reader.h"
#include "report/csv_writer.h"
#include "report/json_report.h"
#include "report/report_writer.h"
#include "stats/match_filter.h"
#include "stats/stats_records.h"

namespace {

using sessionstats::PlayerStats;

constexpr std::size_t kBlockSizes[] = {1, 2, 3, 7, 64, 199, 200, 4096};

void require(bool condition) {
  if (!condition) __builtin_trap();
}

std::uint32_t sum(const auto& counts) {
  std::uint32_t total = 0;
  for (std::int32_t count : counts) total += static_cast<std::uint32_t>(count);
  return total;
}

// Every match adds exactly one win or loss and one length band to each side.
void checkCounts(const PlayerStats& player) {
  const std::uint32_t matches = static_cast<std::uint32_t>(player.matchWins) +
                                static_cast<std::uint32_t>(player.matchLosses);
  require(sum(player.lengthBuckets) == matches);
  require(sum(player.charWins) == static_cast<std::uint32_t>(player.matchWins));
  require(sum(player.matchupLosses) ==
          static_cast<std::uint32_t>(player.matchLosses));
}

// A report is CR LF lines only, and ends with its final empty line.
void checkReport(const std::string& report) {
  require(report.size() >= 4);
  require(report.compare(report.size() - 4, 4, "\r\n\r\n") == 0);
  for (std::size_t at = report.find('\n'); at != std::string::npos;
       at = report.find('\n', at + 1)) {
    require(at > 0 && report[at - 1] == '\r');
  }
}

}  // namespace

namespace sessionstats {

void runFuzzInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const std::size_t answerLength = data[0] & 0x1f;
  const std::size_t blockSize = kBlockSizes[data[0] >> 5];
  const char* bytes = reinterpret_cast<const char*>(data + 1);
  const std::size_t rest = size - 1;
  const std::size_t logSize = rest > answerLength ? rest - answerLength : 0;

  StatsRecords records;
  MatchLog matches;
  {
    sessionstats::SessionLogReader reader(records);
    reader.logMatches(matches, std::nullopt);
    sessionstats::splitLines(
        std::string_view(bytes, logSize), blockSize,
        [&reader](std::string_view line) {
          require(line.size() <= sessionstats::kMaxLineLength);
          require(line.find('\n') == std::string_view::npos);
          reader.processLine(line);
        });
  }

  std::istringstream console(std::string(bytes + logSize, rest - logSize));
  std::string answer;
  console >> answer;
  for (const PlayerRecord& record : records.players()) {
    const PlayerStats player = buildPlayerStats(record);
    checkCounts(player);
    std::ostringstream report;
    sessionstats::writeReport(report, player);
    checkReport(report.str());
    if (player.name == answer) require(!report.str().empty());

    // Counted again from the match log, the player's matches give the same
    // report; the other formats take any names.
    MatchLog own = matches;
    keepMatches(own, record, {});
    StatsRecords replayed;
    replayMatches(record, own, replayed);
    std::ostringstream again;
    writeReport(again, buildPlayerStats(*replayed.findPlayer(record.name)));
    require(again.str() == report.str());
    std::ostringstream other;
    writeMatchCsv(other, record, own);
    writeJsonReport(other, player, buildSessionHistory(record, own, {}));
  }
}

}  // namespace sessionstats
