#include "report/json_report.h"

#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "stats/character_roster.h"
#include "stats/win_rate_interval.h"

namespace sessionstats {
namespace {

// Keys keep the order they are written in, which the schema documents.
using Json = nlohmann::ordered_json;

// The 95% Wilson interval of the win rate, in percent to three decimals as
// the text report rounds its rates.
Json winRateInterval(std::int64_t wins, std::int64_t losses) {
  const WinRateInterval interval = wilsonInterval(wins, losses);
  const auto rounded = [](double percent) {
    return std::round(percent * 1000) / 1000;
  };
  return Json::array({rounded(interval.low), rounded(interval.high)});
}

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
      list.push_back(
          {{"character", kRoster.longName[own]},
           {"against", kRoster.longName[opposing]},
           {"wins", tally.matchupWins[cell]},
           {"losses", tally.matchupLosses[cell]},
           {"win_rate_95", winRateInterval(tally.matchupWins[cell],
                                           tally.matchupLosses[cell])}});
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

// Writes the document a member at a time, each on its own line, and the
// members that are lists an element a line: the opponents and sessions of a
// long log are never all held as JSON values at once. The values
// themselves, and so every string in the document, are written by the
// library, so the document is what dumping it as one value would give.
class DocumentWriter {
 public:
  explicit DocumentWriter(std::ostream& out) : out_(out) { out_ << '{'; }

  void member(std::string_view key, const Json& value) {
    open(key);
    out_ << dump(value);
  }

  // Calls each(add) where add(const Json&) writes one element of the list.
  template <typename Each>
  void list(std::string_view key, const Each& each) {
    open(key);
    out_ << '[';
    bool any = false;
    each([this, &any](const Json& element) {
      out_ << (any ? ",\n    " : "\n    ") << dump(element);
      any = true;
    });
    out_ << (any ? "\n  ]" : "]");
  }

  void list(std::string_view key, const Json& elements) {
    list(key, [&elements](const auto& add) {
      for (const Json& element : elements) add(element);
    });
  }

  void finish() { out_ << "\n}\n"; }

 private:
  static std::string dump(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
  }

  void open(std::string_view key) {
    out_ << (first_ ? "\n  \"" : ",\n  \"") << key << "\": ";
    first_ = false;
  }

  std::ostream& out_;
  bool first_ = true;
};

template <typename Add>
void addOpponents(const PlayerStats& player, const Add& add) {
  OpponentStats stats;
  for (const OpponentEntry& entry : player.opponents) {
    if (!hasMatches(entry)) continue;
    buildOpponentStats(entry, stats);
    Json opponent = {{"name", std::string(stats.name)}};
    addTotals(opponent, stats);
    opponent["win_rate_95"] =
        winRateInterval(stats.matchWins, stats.matchLosses);
    opponent["characters"] =
        characterList(stats.charWins, stats.charLosses, stats.charRoundWins,
                      stats.charRoundLosses);
    opponent["opponent_characters"] =
        characterList(stats.oppCharWins, stats.oppCharLosses,
                      stats.oppCharRoundWins, stats.oppCharRoundLosses);
    opponent["matchups"] = matchupList(stats);
    add(opponent);
  }
}

template <typename Add>
void addSessions(const SessionHistory& history, const Add& add) {
  for (const SessionSummary& session : history.sessions) {
    add(Json{{"session", session.ordinal},
             {"date", session.date.empty() ? Json() : Json(session.date)},
             {"opponent", session.opponent},
             {"wins", session.matchWins},
             {"losses", session.matchLosses},
             {"round_wins", session.roundWins},
             {"round_losses", session.roundLosses},
             {"seconds", session.seconds}});
  }
}

Json currentSession(const CurrentSession& current) {
  Json characters = Json::array();
  for (const int character : current.characters) {
    characters.push_back(kRoster.longName[character]);
  }
  Json lastResults = Json::array();
  for (const bool won : current.lastResults) {
    lastResults.push_back(won ? "W" : "L");
  }
  return {{"opponent", current.opponent},
          {"wins", current.matchWins},
          {"losses", current.matchLosses},
          {"round_wins", current.roundWins},
          {"round_losses", current.roundLosses},
          {"characters", characters},
          {"record_wins", current.recordWins},
          {"record_losses", current.recordLosses},
          {"streak", current.streak},
          {"streak_is_winning", current.streakIsWinning},
          {"last_results", lastResults}};
}

}  // namespace

void writeJsonReport(std::ostream& out, const PlayerStats& player,
                     const SessionHistory& history) {
  DocumentWriter document(out);
  document.member("player", player.name);
  document.member("filters", history.filters);
  Json summary;
  addTotals(summary, player);
  const bool anyMatch = player.matchWins != 0 || player.matchLosses != 0;
  summary["shortest_seconds"] =
      anyMatch ? Json(player.shortestSeconds) : Json();
  summary["longest_seconds"] = anyMatch ? Json(player.longestSeconds) : Json();
  document.member("summary", summary);
  document.list("characters",
                characterList(player.charWins, player.charLosses,
                              player.charRoundWins, player.charRoundLosses));
  document.list("match_lengths", lengthList(player.lengthBuckets));
  document.list("matchups", matchupList(player));
  document.list("opponents",
                [&player](const auto& add) { addOpponents(player, add); });
  document.list("sessions",
                [&history](const auto& add) { addSessions(history, add); });
  const Streaks& streaks = history.streaks;
  document.member("streaks",
                  {{"longest_winning", streaks.longestWinning},
                   {"longest_losing", streaks.longestLosing},
                   {"current", streaks.current},
                   {"current_is_winning", streaks.currentIsWinning}});
  if (history.current) {
    document.member("current_session", currentSession(*history.current));
  }
  document.finish();
}

}  // namespace sessionstats
