#include "report/json_report.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "report/json_writer.h"
#include "stats/character_roster.h"
#include "stats/win_rate_interval.h"

namespace sessionstats {
namespace {

// The elements of an array: each on a line of its own below a member of the
// document (kLines) or of an object member of it (kNestedLines), the closing
// bracket two blanks left of them, or packed inside a value (kPacked).
constexpr std::string_view kLines = "\n    ";
constexpr std::string_view kNestedLines = "\n      ";
constexpr std::string_view kPacked;

class ArrayWriter {
 public:
  ArrayWriter(JsonWriter& json, std::string_view layout)
      : json_(json), layout_(layout) {
    json_.raw("[");
  }

  // Begins the next element, which the caller then writes.
  JsonWriter& next() {
    json_.raw(any_ ? "," : "").raw(layout_);
    any_ = true;
    return json_;
  }

  void close() {
    if (any_ && !layout_.empty()) {
      json_.raw(layout_.substr(0, layout_.size() - 2));
    }
    json_.raw("]");
  }

 private:
  JsonWriter& json_;
  std::string_view layout_;
  bool any_ = false;
};

// The 95% Wilson interval of the win rate, in percent to three decimals as
// the text report rounds its rates.
void writeInterval(JsonWriter& json, std::int64_t wins, std::int64_t losses) {
  const WinRateInterval interval = wilsonInterval(wins, losses);
  const auto rounded = [](double percent) {
    return std::round(percent * 1000) / 1000;
  };
  json.raw("[").decimal(rounded(interval.low)).raw(",");
  json.decimal(rounded(interval.high)).raw("]");
}

// The members of `score`, each after a comma.
void writeScore(JsonWriter& json, const Score& score) {
  json.raw(",\"wins\":").number(score.matchWins);
  json.raw(",\"losses\":").number(score.matchLosses);
  json.raw(",\"round_wins\":").number(score.roundWins);
  json.raw(",\"round_losses\":").number(score.roundLosses);
}

// Wins, losses, rounds and time, as the text report's totals lines show
// them: the members without the braces around them.
void writeTotals(JsonWriter& json, const Tally& tally) {
  json.raw("\"seconds\":").number(tally.totalSeconds);
  json.raw(",\"matches\":").number(tally.matches());
  writeScore(json, tally);
}

// The characters with a win or a loss, as the "by character" lines list them.
void writeCharacters(JsonWriter& json, std::string_view layout,
                     const CharacterCounts& wins, const CharacterCounts& losses,
                     const CharacterCounts& roundWins,
                     const CharacterCounts& roundLosses) {
  ArrayWriter list(json, layout);
  for (int c = 0; c < kCharacterCount; ++c) {
    if (wins[c] == 0 && losses[c] == 0) continue;
    list.next().raw("{\"character\":").string(kRoster.longName[c]);
    json.raw(",\"short_name\":").string(kRoster.shortName[c]);
    json.raw(",\"wins\":").number(wins[c]);
    json.raw(",\"losses\":").number(losses[c]);
    json.raw(",\"round_wins\":").number(roundWins[c]);
    json.raw(",\"round_losses\":").number(roundLosses[c]).raw("}");
  }
  list.close();
}

// The grid cells with a win or a loss.
void writeMatchups(JsonWriter& json, std::string_view layout,
                   const Tally& tally) {
  ArrayWriter list(json, layout);
  for (int own = 0; own < kCharacterCount; ++own) {
    for (int opposing = 0; opposing < kCharacterCount; ++opposing) {
      const int cell = matchupIndex(own, opposing);
      const std::int32_t wins = tally.matchupWins[cell];
      const std::int32_t losses = tally.matchupLosses[cell];
      if (wins == 0 && losses == 0) continue;
      list.next().raw("{\"character\":").string(kRoster.longName[own]);
      json.raw(",\"against\":").string(kRoster.longName[opposing]);
      json.raw(",\"wins\":").number(wins);
      json.raw(",\"losses\":").number(losses);
      json.raw(",\"win_rate_95\":");
      writeInterval(json, wins, losses);
      json.raw("}");
    }
  }
  list.close();
}

void writeLengths(JsonWriter& json, const LengthCounts& buckets) {
  ArrayWriter list(json, kLines);
  for (int bucket = 0; bucket < kLengthBucketCount; ++bucket) {
    if (buckets[bucket] <= 0) continue;
    const std::int32_t from = bucket * kLengthBandSeconds;
    list.next().raw("{\"from_seconds\":").number(from).raw(",\"to_seconds\":");
    if (bucket + 1 < kLengthBucketCount) {
      json.number(from + kLengthBandSeconds - 1);
    } else {
      json.null();
    }
    json.raw(",\"matches\":").number(buckets[bucket]).raw("}");
  }
  list.close();
}

// Each opponent is summed into one OpponentStats, written and overwritten
// by the next, and the text handed on a chunk at a time: a player with
// thousands of opponents needs no more memory for them than one.
void writeOpponents(JsonWriter& json, const PlayerStats& player) {
  ArrayWriter list(json, kLines);
  OpponentStats stats;
  for (const OpponentEntry& entry : player.opponents) {
    if (!hasMatches(entry)) continue;
    buildOpponentStats(entry, stats);
    list.next().raw("{\"name\":").string(stats.name).raw(",");
    writeTotals(json, stats);
    json.raw(",\"win_rate_95\":");
    writeInterval(json, stats.matchWins, stats.matchLosses);
    json.raw(",\"characters\":");
    writeCharacters(json, kPacked, stats.charWins, stats.charLosses,
                    stats.charRoundWins, stats.charRoundLosses);
    json.raw(",\"opponent_characters\":");
    writeCharacters(json, kPacked, stats.oppCharWins, stats.oppCharLosses,
                    stats.oppCharRoundWins, stats.oppCharRoundLosses);
    json.raw(",\"matchups\":");
    writeMatchups(json, kPacked, stats);
    json.raw("}").mayFlush();
  }
  list.close();
}

void writeSessions(JsonWriter& json, const SessionHistory& history) {
  ArrayWriter list(json, kLines);
  for (const SessionSummary& session : history.sessions) {
    list.next().raw("{\"session\":").number(session.ordinal);
    json.raw(",\"date\":");
    if (session.date == kNoDate) {
      json.null();
    } else {
      char date[kMaxStampLength];
      json.string({date, writeDate(date, session.date)});
    }
    json.raw(",\"opponent\":").string(session.opponent);
    writeScore(json, session);
    json.raw(",\"seconds\":").number(session.seconds).raw("}").mayFlush();
  }
  list.close();
}

// A fitted value to four decimals: a probability to a hundredth of a
// percent. Rounding keeps tiny values out of the exponent notation that
// decimal() does not write, and +0.0 turns -0.0 into 0.0.
void writeFitted(JsonWriter& json, double value) {
  if (!std::isfinite(value)) {
    json.null();
    return;
  }
  json.decimal(std::round(value * 1e4) / 1e4 + 0.0);
}

void writeFittedRange(JsonWriter& json, double low, double high) {
  json.raw("[");
  writeFitted(json, low);
  json.raw(",");
  writeFitted(json, high);
  json.raw("]");
}

// "YYYY-MM" of a month packed as YYYYMM.
void writeMonth(JsonWriter& json, std::uint32_t month) {
  char date[kMaxStampLength];
  writeDate(date, month * 100 + 1);
  json.string({date, 7});
}

void writeMonthForm(JsonWriter& json, const MonthForm& month) {
  json.raw("{\"month\":");
  writeMonth(json, month.month);
  json.raw(",\"matches\":").number(month.matches);
  json.raw(",\"wins\":").number(month.wins);
  json.raw(",\"losses\":").number(month.losses);
  json.raw(",\"form\":");
  writeFitted(json, month.form);
  json.raw(",\"form_95\":");
  writeFittedRange(json, month.formLow, month.formHigh);
  json.raw("}");
}

double logistic(double logit) { return 1 / (1 + std::exp(-logit)); }

// The counts and the effect of one condition, without the braces around
// them; the win probability and the points are those of an even match
// under it.
void writeEffect(JsonWriter& json, const ConditionEffect& effect) {
  json.raw("\"matches\":").number(effect.matches);
  json.raw(",\"wins\":").number(effect.wins);
  json.raw(",\"losses\":").number(effect.losses);
  if (!effect.logit) {
    json.raw(",\"logit\":null,\"logit_95\":null,\"win_probability\":null");
    json.raw(",\"win_probability_95\":null,\"points\":null");
    json.raw(",\"points_95\":null,\"clear\":false");
    return;
  }
  json.raw(",\"logit\":");
  writeFitted(json, *effect.logit);
  json.raw(",\"logit_95\":");
  writeFittedRange(json, effect.logitLow, effect.logitHigh);
  json.raw(",\"win_probability\":");
  writeFitted(json, logistic(*effect.logit));
  json.raw(",\"win_probability_95\":");
  writeFittedRange(json, logistic(effect.logitLow), logistic(effect.logitHigh));
  json.raw(",\"points\":");
  writeFitted(json, effect.points);
  json.raw(",\"points_95\":");
  writeFittedRange(json, effect.pointsLow, effect.pointsHigh);
  json.raw(",\"clear\":").boolean(effect.clear);
}

void writeFormChange(JsonWriter& json, const FormChange& change) {
  json.raw("{\"from_month\":");
  writeMonth(json, change.fromMonth);
  json.raw(",\"to_month\":");
  writeMonth(json, change.toMonth);
  json.raw(",\"points\":");
  writeFitted(json, change.points);
  json.raw(",\"points_95\":");
  writeFittedRange(json, change.pointsLow, change.pointsHigh);
  json.raw(",\"clear\":").boolean(change.clear).raw("}");
}

// The levels of a condition, each with its range (`from` and `to` the names
// of its bounds); an open end is null.
template <std::size_t N>
void writeLevels(JsonWriter& json, const std::array<ConditionEffect, N>& levels,
                 std::string_view from, std::string_view to) {
  ArrayWriter list(json, kNestedLines);
  for (const ConditionEffect& level : levels) {
    list.next().raw("{\"").raw(from).raw("\":").number(level.from);
    json.raw(",\"").raw(to).raw("\":");
    if (level.to == 0) {
      json.null();
    } else {
      json.number(level.to);
    }
    json.raw(",");
    writeEffect(json, level);
    json.raw("}");
  }
  list.close();
}

// An object of its own lines: the form grows with the months, and the
// conditions are read level by level.
void writeInsights(JsonWriter& json, const Insights& insights) {
  json.raw("{\n    \"form\": ");
  ArrayWriter form(json, kNestedLines);
  for (const MonthForm& month : insights.form) {
    writeMonthForm(form.next(), month);
  }
  form.close();
  json.raw(",\n    \"form_change\": ");
  ArrayWriter changes(json, kNestedLines);
  for (const FormChange& change : insights.formChange) {
    writeFormChange(changes.next(), change);
  }
  changes.close();
  json.raw(",\n    \"opponent_spread\": {\"sd\":");
  writeFitted(json, insights.opponentSpread);
  json.raw("},\n    \"after_loss\": {");
  writeEffect(json, insights.afterLoss);
  json.raw("},\n    \"session_stage\": ");
  writeLevels(json, insights.sessionStage, "from_match", "to_match");
  json.raw(",\n    \"time_of_day\": ");
  writeLevels(json, insights.timeOfDay, "from_hour", "to_hour");
  json.raw(",\n    \"characters\": ");
  ArrayWriter characters(json, kNestedLines);
  for (const ConditionEffect& character : insights.characters) {
    characters.next().raw("{\"character\":");
    json.string(kRoster.longName[character.from]).raw(",");
    writeEffect(json, character);
    json.raw("}");
  }
  characters.close();
  json.raw("\n  }");
}

void writeCurrentSession(JsonWriter& json, const CurrentSession& current) {
  json.raw("{\"opponent\":").string(current.opponent);
  writeScore(json, current);
  json.raw(",\"characters\":");
  ArrayWriter characters(json, kPacked);
  for (const int character : current.characters) {
    characters.next().string(kRoster.longName[character]);
  }
  characters.close();
  json.raw(",\"record_wins\":").number(current.recordWins);
  json.raw(",\"record_losses\":").number(current.recordLosses);
  json.raw(",\"streak\":").number(current.streak);
  json.raw(",\"streak_is_winning\":").boolean(current.streakIsWinning);
  json.raw(",\"last_results\":");
  ArrayWriter results(json, kPacked);
  for (const bool won : current.lastResults) {
    results.next().string(won ? "W" : "L");
  }
  results.close();
  json.raw("}");
}

}  // namespace

void writeJsonReportStart(std::ostream& out, const PlayerStats& player,
                          const SessionHistory& history) {
  JsonWriter json(out);
  json.raw("{\n  \"player\": ").string(player.name);
  json.raw(",\n  \"filters\": ");
  ArrayWriter filters(json, kPacked);
  for (const std::string& filter : history.filters)
    filters.next().string(filter);
  filters.close();

  json.raw(",\n  \"summary\": {");
  writeTotals(json, player);
  // A player without a match has no shortest or longest one.
  if (player.matchWins != 0 || player.matchLosses != 0) {
    json.raw(",\"shortest_seconds\":").number(player.shortestSeconds);
    json.raw(",\"longest_seconds\":").number(player.longestSeconds);
  } else {
    json.raw(",\"shortest_seconds\":null,\"longest_seconds\":null");
  }
  json.raw("}");

  json.raw(",\n  \"characters\": ");
  writeCharacters(json, kLines, player.charWins, player.charLosses,
                  player.charRoundWins, player.charRoundLosses);
  json.raw(",\n  \"match_lengths\": ");
  writeLengths(json, player.lengthBuckets);
  json.raw(",\n  \"matchups\": ");
  writeMatchups(json, kLines, player);
  json.raw(",\n  \"opponents\": ");
  writeOpponents(json, player);
  json.raw(",\n  \"sessions\": ");
  writeSessions(json, history);

  const Streaks& streaks = history.streaks;
  json.raw(",\n  \"streaks\": {\"longest_winning\":")
      .number(streaks.longestWinning);
  json.raw(",\"longest_losing\":").number(streaks.longestLosing);
  json.raw(",\"current\":").number(streaks.current);
  json.raw(",\"current_is_winning\":").boolean(streaks.currentIsWinning);
  json.raw("}");
  if (history.current) {
    json.raw(",\n  \"current_session\": ");
    writeCurrentSession(json, *history.current);
  }
  json.flush();
}

void writeJsonReportEnd(std::ostream& out, const Insights& insights) {
  JsonWriter json(out);
  json.raw(",\n  \"insights\": ");
  writeInsights(json, insights);
  json.raw("\n}\n").flush();
}

}  // namespace sessionstats
