// Runs arbitrary bytes through the same code as the program, from line
// splitting to the report, and checks what must hold for any log.
//
// Input layout: the first byte's low 5 bits give the length of the answer,
// which is taken from the end of the input; its top 3 bits choose the block
// size in which the log is fed to the line splitter. The bytes in between
// are the log.
#include "fuzz/fuzz_input.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>

#include "log/log_file_reader.h"
#include "log/session_log_reader.h"
#include "memory_file.h"
#include "report/csv_writer.h"
#include "report/html_page.h"
#include "report/html_report.h"
#include "report/json_report.h"
#include "report/report_writer.h"
#include "split_lines.h"
#include "stats/insights.h"
#include "stats/match_filter.h"
#include "stats/session_history.h"
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

// Length of the well-formed multi-byte UTF-8 sequence at the start of
// `text` (no overlong form, surrogate or code point past U+10FFFF), or 0.
std::size_t multiByteLength(std::string_view text) {
  const auto lead = static_cast<std::uint8_t>(text[0]);
  if (lead < 0xC2 || lead > 0xF4) return 0;
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (length > text.size()) return 0;
  std::uint32_t code = lead & (0x7FU >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<std::uint8_t>(text[i]);
    if ((next & 0xC0) != 0x80) return 0;
    code = code << 6 | (next & 0x3FU);
  }
  constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  return code < kSmallest[length] || code > 0x10FFFF || surrogate ? 0 : length;
}

// Well-formed UTF-8 with no C0 control other than tab, LF and CR and no DEL:
// text that a browser reads without repairing it.
bool isCleanUtf8(std::string_view text) {
  while (!text.empty()) {
    const auto lead = static_cast<std::uint8_t>(text[0]);
    std::size_t length = 1;
    if (lead >= 0x80) {
      length = multiByteLength(text);
      if (length == 0) return false;
    } else if ((lead < 0x20 && lead != '\t' && lead != '\n' && lead != '\r') ||
               lead == 0x7F) {
      return false;
    }
    text.remove_prefix(length);
  }
  return true;
}

// The page is clean UTF-8 whatever the names hold, and the name shows
// escaped and isolated where it belongs.
void checkHtmlPage(const PlayerStats& player,
                   const sessionstats::SessionHistory& history,
                   const sessionstats::Insights& insights) {
  std::ostringstream page;
  sessionstats::writeHtmlReportStart(page, player, history);
  sessionstats::writeHtmlReportEnd(page, player, history, insights);
  require(isCleanUtf8(page.str()));
  std::ostringstream heading;
  sessionstats::HtmlPage(heading)
      .raw("<h1>")
      .name(player.name)
      .raw("</h1>")
      .flush();
  require(page.str().find(heading.str()) != std::string::npos);
}

// Whatever the log, the fit gives finite values, each inside its interval
// (the form within 0..1), an effect exactly where a level has matches, and
// counts every match it fits once by month and once by stage.
void checkInsights(const sessionstats::Insights& insights) {
  const auto ordered = [](double low, double value, double high) {
    return std::isfinite(low) && std::isfinite(high) && low <= value &&
           value <= high;
  };
  std::int64_t byMonth = 0;
  for (const sessionstats::MonthForm& month : insights.form) {
    require(ordered(0, month.formLow, month.form) &&
            ordered(month.form, month.formHigh, 1));
    byMonth += month.matches;
  }
  const auto check = [&](const sessionstats::ConditionEffect& level) {
    require(level.logit.has_value() == (level.matches > 0));
    if (level.logit) {
      require(ordered(level.logitLow, *level.logit, level.logitHigh));
    }
  };
  check(insights.afterLoss);
  std::int64_t byStage = 0;
  for (const sessionstats::ConditionEffect& stage : insights.sessionStage) {
    check(stage);
    byStage += stage.matches;
  }
  for (const sessionstats::ConditionEffect& band : insights.timeOfDay) {
    check(band);
  }
  require(byStage == byMonth);
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
        std::string_view(bytes, logSize),
        [&reader](std::string_view line) {
          require(line.size() <= sessionstats::kMaxLineLength);
          require(line.find('\n') == std::string_view::npos);
          reader.read(parseLine(line));
        },
        blockSize);
  }

  // Read from a file, with a second thread parsing ahead of the counting,
  // the same log gives the same players with the same reports.
  StatsRecords piped;
  if (logSize > 0) {
    std::string copy(bytes, logSize);
    std::FILE* file = testing::openBytes(copy);
    require(file != nullptr);
    SessionLogReader reader(piped);
    require(readSessionLog(file, "log", reader).ok());
    std::fclose(file);
  }
  require(piped.players().size() == records.players().size());

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
    const PlayerRecord* twin = piped.findPlayer(record.name);
    require(twin != nullptr);
    // ... and written by one thread instead of two, the same report.
    std::ostringstream twinReport;
    writeReport(twinReport, buildPlayerStats(*twin), PipelineThreads::kOne);
    require(twinReport.str() == report.str());

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
    const SessionHistory history = buildSessionHistory(record, own, {}, {});
    const Insights insights = fitInsights(record, own);
    checkInsights(insights);
    writeJsonReportStart(other, player, history);
    writeJsonReportEnd(other, insights);
    checkHtmlPage(player, history, insights);
  }
}

}  // namespace sessionstats
