#include "report/json_report.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "stats/character_roster.h"

namespace sessionstats {
namespace {

// Keys keep the order they are written in, which the schema documents.
using Json = nlohmann::ordered_json;

constexpr int kIndent = 2;

// Wins, losses, rounds and time, as the text report's totals lines show them.
void addTotals(Json& object, const Tally& tally) {
  object["seconds"] = tally.totalSeconds;
  object["matches"] = std::int64_t{tally.matchWins} + tally.matchLosses;
  object["wins"] = tally.matchWins;
  object["losses"] = tally.matchLosses;
  object["round_wins"] = tally.roundWins;
  object["round_losses"] = tally.roundLosses;
}

// The characters with a win or a loss, as the "by character" lines list them.
Json characterList(const CharacterCounts& wins, const CharacterCounts& losses,
                   const CharacterCounts& roundWins,
                   const CharacterCounts& roundLosses) {
  Json list = Json::array();
  for (int c = 0; c < kCharacterCount; ++c) {
    if (wins[c] == 0 && losses[c] == 0) continue;
    list.push_back({{"character", kRoster.longName[c]},
                    {"short_name", kRoster.shortName[c]},
                    {"wins", wins[c]},
                    {"losses", losses[c]},
                    {"round_wins", roundWins[c]},
                    {"round_losses", roundLosses[c]}});
  }
  return list;
}

// The grid cells with a win or a loss.
Json matchupList(const Tally& tally) {
  Json list = Json::array();
  for (int own = 0; own < kCharacterCount; ++own) {
    for (int opposing = 0; opposing < kCharacterCount; ++opposing) {
      const int cell = matchupIndex(own, opposing);
      if (tally.matchupWins[cell] == 0 && tally.matchupLosses[cell] == 0) {
        continue;
      }
      list.push_back({{"character", kRoster.longName[own]},
                      {"against", kRoster.longName[opposing]},
                      {"wins", tally.matchupWins[cell]},
                      {"losses", tally.matchupLosses[cell]}});
    }
  }
  return list;
}

Json lengthList(const LengthCounts& buckets) {
  Json list = Json::array();
  for (int bucket = 0; bucket < kLengthBucketCount; ++bucket) {
    if (buckets[bucket] <= 0) continue;
    const std::int32_t from = bucket * kLengthBandSeconds;
    Json band = {{"from_seconds", from},
                 {"to_seconds", nullptr},
                 {"matches", buckets[bucket]}};
    if (bucket + 1 < kLengthBucketCount) {
      band["to_seconds"] = from + kLengthBandSeconds - 1;
    }
    list.push_back(band);
  }
  return list;
}

Json opponentList(const PlayerStats& player) {
  Json list = Json::array();
  OpponentStats stats;
  for (const OpponentEntry& entry : player.opponents) {
    buildOpponentStats(entry, stats);
    if (stats.matchWins == 0 && stats.matchLosses == 0) continue;
    Json opponent = {{"name", std::string(stats.name)}};
    addTotals(opponent, stats);
    opponent["characters"] =
        characterList(stats.charWins, stats.charLosses, stats.charRoundWins,
                      stats.charRoundLosses);
    opponent["opponent_characters"] =
        characterList(stats.oppCharWins, stats.oppCharLosses,
                      stats.oppCharRoundWins, stats.oppCharRoundLosses);
    opponent["matchups"] = matchupList(stats);
    list.push_back(std::move(opponent));
  }
  return list;
}

Json sessionList(const SessionHistory& history) {
  Json list = Json::array();
  for (const SessionSummary& session : history.sessions) {
    list.push_back(
        {{"session", session.ordinal},
         {"date", session.date.empty() ? Json() : Json(session.date)},
         {"opponent", session.opponent},
         {"wins", session.matchWins},
         {"losses", session.matchLosses},
         {"round_wins", session.roundWins},
         {"round_losses", session.roundLosses},
         {"seconds", session.seconds}});
  }
  return list;
}

}  // namespace

void writeJsonReport(std::ostream& out, const PlayerStats& player,
                     const SessionHistory& history) {
  Json document;
  document["player"] = player.name;
  document["filters"] = history.filters;
  Json summary;
  addTotals(summary, player);
  const bool anyMatch = player.matchWins != 0 || player.matchLosses != 0;
  summary["shortest_seconds"] =
      anyMatch ? Json(player.shortestSeconds) : Json();
  summary["longest_seconds"] = anyMatch ? Json(player.longestSeconds) : Json();
  document["summary"] = summary;
  document["characters"] =
      characterList(player.charWins, player.charLosses, player.charRoundWins,
                    player.charRoundLosses);
  document["match_lengths"] = lengthList(player.lengthBuckets);
  document["matchups"] = matchupList(player);
  document["opponents"] = opponentList(player);
  document["sessions"] = sessionList(history);
  const Streaks& streaks = history.streaks;
  document["streaks"] = {{"longest_winning", streaks.longestWinning},
                         {"longest_losing", streaks.longestLosing},
                         {"current", streaks.current},
                         {"current_is_winning", streaks.currentIsWinning}};
  out << document.dump(kIndent, ' ', false, Json::error_handler_t::replace)
      << '\n';
}

}  // namespace sessionstats
