#include "report/player_list.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "report/report_format.h"
#include "report/terminal_escape.h"
#include "stats/tally.h"

namespace sessionstats {
namespace {

constexpr std::array<std::string_view, 3> kCountHeaders = {"Matches", "Wins",
                                                           "Losses"};
constexpr std::string_view kNameHeader = "Player";
constexpr std::string_view kGap = "  ";
// The list reaches its stream in writes of about this many bytes, not one
// per row.
constexpr std::size_t kChunkSize = std::size_t{1} << 16;

using Row = std::array<std::string, kCountHeaders.size()>;

struct ListEntry {
  std::int64_t matches = 0;
  Row counts;  // matches, wins, losses in decimal
  std::string_view name;
};

std::string decimal(std::int64_t value) {
  std::array<char, kMaxInt64Length> digits{};
  return {digits.data(), formatInteger(digits.data(), value)};
}

void appendRow(std::string& line, const Row& counts,
               const std::array<std::size_t, kCountHeaders.size()>& widths,
               std::string_view name, ListNames names) {
  for (std::size_t column = 0; column < counts.size(); ++column) {
    line.append(widths[column] - counts[column].size(), ' ');
    line += counts[column];
    line += kGap;
  }
  if (names == ListNames::kEscaped) {
    appendTerminalEscaped(line, name);
  } else {
    line += name;
  }
  line += '\n';
}

}  // namespace

void writePlayerList(std::ostream& out,
                     std::span<const PlayerListEntry> players,
                     ListNames names) {
  std::vector<ListEntry> entries;
  entries.reserve(players.size());
  for (const PlayerListEntry& player : players) {
    const std::int64_t matches = player.matches();
    entries.push_back({matches,
                       {decimal(matches), decimal(player.matchWins),
                        decimal(player.matchLosses)},
                       player.name});
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const ListEntry& a, const ListEntry& b) {
                     return a.matches > b.matches;
                   });

  const Row header = {std::string(kCountHeaders[0]),
                      std::string(kCountHeaders[1]),
                      std::string(kCountHeaders[2])};
  std::array<std::size_t, kCountHeaders.size()> widths{};
  for (std::size_t column = 0; column < widths.size(); ++column) {
    widths[column] = header[column].size();
    for (const ListEntry& entry : entries) {
      widths[column] = std::max(widths[column], entry.counts[column].size());
    }
  }
  std::string text;
  appendRow(text, header, widths, kNameHeader, ListNames::kExact);
  for (const ListEntry& entry : entries) {
    appendRow(text, entry.counts, widths, entry.name, names);
    if (text.size() >= kChunkSize) {
      out << text;
      text.clear();
    }
  }
  out << text;
}

std::size_t writePlayerList(std::ostream& out, const StatsRecords& records,
                            ListNames names) {
  std::vector<PlayerListEntry> players;
  players.reserve(records.players().size());
  for (const PlayerRecord& record : records.players()) {
    const PlayerStats stats = buildPlayerStats(record);
    players.push_back({stats, record.name});
  }
  writePlayerList(out, players, names);
  return players.size();
}

std::size_t writePlayerList(std::ostream& out, const StatsRecords& records,
                            const MatchLog& matches, ListNames names) {
  std::unordered_map<const PlayerRecord*, Score> counts;
  for (const MatchEntry& entry : matches) {
    for (const PlayerRecord* player : entry.pair->players) {
      Score& own = counts[player];
      // Both sides of a match against himself are his.
      forEachSide(entry, *player, [&](const MatchSide& side) {
        addWrapping(side.won ? own.matchWins : own.matchLosses, 1);
      });
      if (entry.pair->players[0] == entry.pair->players[1]) break;
    }
  }
  std::vector<PlayerListEntry> players;
  for (const PlayerRecord& record : records.players()) {
    const auto found = counts.find(&record);
    if (found == counts.end()) continue;
    players.push_back({found->second, record.name});
  }
  writePlayerList(out, players, names);
  return players.size();
}

}  // namespace sessionstats
