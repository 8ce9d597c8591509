#include "tools/log_generator.h"

#include <array>
#include <charconv>
#include <cstring>
#include <numeric>

#include "stats/character_roster.h"

namespace sessionstats {
namespace {

// The local player's other spellings; the client writes an alias line for
// each whenever it starts.
constexpr std::array<std::string_view, 3> kLocalAliases = {"Kes", "KestreI",
                                                           "Kestrel_jp"};

constexpr std::array<std::string_view, 16> kNamePrefixes = {
    "",      "Grey",  "Red",    "Little", "Old",  "Night", "Iron",   "Blue",
    "Swift", "Quiet", "Silver", "Wild",   "Dark", "Lucky", "Sleepy", "Mad"};
constexpr std::array<std::string_view, 32> kNameAnimals = {
    "Moth",   "Wren",   "Heron",  "Lynx",  "Otter",  "Raven",   "Fox",
    "Badger", "Stoat",  "Finch",  "Gecko", "Marten", "Shrike",  "Vole",
    "Ibis",   "Newt",   "Crane",  "Egret", "Ferret", "Jackdaw", "Kite",
    "Lark",   "Mink",   "Osprey", "Pika",  "Quail",  "Rook",    "Skink",
    "Tern",   "Urchin", "Viper",  "Weasel"};

// Character names the game does not use, as a confused client or a hand
// edit might write them: short names, wrong case, near misses.
constexpr std::array<std::string_view, 6> kUnknownCharacters = {
    "H&K", "N.A.Chaos", "sion", "Hisui & Kohaku", "Neco Arc", "Random"};

constexpr std::int64_t kSecondsPerDay = 86'400;

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
constexpr std::int64_t daysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear =
      (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra =
      yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// Writes `days` since 1970-01-01 as "YYYY-MM-DD" into `out` (11 bytes).
void formatDate(std::int64_t days, char* out) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear =
      dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shifted = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
  const int month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
  const int year =
      static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
  const auto digits = [](char* at, int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
      at[i] = static_cast<char>('0' + value % 10);
      value /= 10;
    }
  };
  digits(out, year, 4);
  out[4] = '-';
  digits(out + 5, month, 2);
  out[7] = '-';
  digits(out + 8, day, 2);
  out[10] = '\0';
}

}  // namespace

LogGenerator::LogGenerator(const LogGeneratorOptions& options)
    : options_(options),
      state_(options.seed),
      linesLeft_(options.lines),
      clock_(daysFromCivil(2019, 3, 1) * kSecondsPerDay +
             std::int64_t{19} * 3600) {
  if (options_.opponents < 1) options_.opponents = 1;
  localFavourite_ = below(kCharacterCount);
}

// splitmix64: small, fast and the same on every platform, unlike the
// distributions of <random>.
std::uint64_t LogGenerator::random() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int LogGenerator::below(int bound) {
  return static_cast<int>((random() >> 11) % static_cast<std::uint64_t>(bound));
}

bool LogGenerator::chance(int percent) { return below(1000) < percent * 10; }

std::string_view LogGenerator::nextLine() {
  if (linesLeft_ == 0) return {};
  if (cursor_ == session_.size()) {
    session_.clear();
    cursor_ = 0;
    generateSession();
  }
  const std::size_t begin = cursor_;
  cursor_ = session_.find('\n', begin) + 1;
  --linesLeft_;
  return std::string_view(session_).substr(begin, cursor_ - begin);
}

void LogGenerator::appendInt(std::int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  session_.append(digits, result.ptr);
}

void LogGenerator::appendStamp() {
  const std::int64_t day = clock_ / kSecondsPerDay;
  if (day != stampDay_) {
    stampDay_ = day;
    formatDate(day, stampDate_);
  }
  const int second = static_cast<int>(clock_ % kSecondsPerDay);
  const char time[] = {' ',
                       static_cast<char>('0' + second / 36000),
                       static_cast<char>('0' + second / 3600 % 10),
                       ':',
                       static_cast<char>('0' + second % 3600 / 600),
                       static_cast<char>('0' + second % 600 / 60),
                       ':',
                       static_cast<char>('0' + second % 60 / 10),
                       static_cast<char>('0' + second % 10),
                       ' '};
  session_.append(stampDate_, 10);
  session_.append(time, sizeof time);
}

std::string LogGenerator::opponentName(int index) {
  const int base =
      index % static_cast<int>(kNamePrefixes.size() * kNameAnimals.size());
  std::string name(
      kNamePrefixes[static_cast<std::size_t>(base) % kNamePrefixes.size()]);
  name += kNameAnimals[static_cast<std::size_t>(base) / kNamePrefixes.size()];
  const int generation =
      index / static_cast<int>(kNamePrefixes.size() * kNameAnimals.size());
  if (generation > 0) name += std::to_string(generation);
  // A few players put a region tag after a blank.
  if (index % 61 == 17) name += " jp";
  return name;
}

int LogGenerator::pickOpponent() {
  const int count = options_.opponents;
  // The first round meets everybody once, in a scrambled but fixed order
  // (step coprime to the count); after that a few regulars come back often.
  if (opponentSessions_ < count) {
    std::int64_t step = 7919;
    while (std::gcd(std::int64_t{count}, step) != 1) --step;
    return static_cast<int>(opponentSessions_ * step % count);
  }
  const int regulars = count / 20 + 1;
  return chance(40) ? below(regulars) : below(count);
}

void LogGenerator::appendClientStart() {
  appendStamp();
  session_ += "Netplay client started, version 2.4.1\n";
  for (std::string_view alias : kLocalAliases) {
    appendStamp();
    session_ += "alias \"";
    session_ += alias;
    session_ += "\" \"";
    session_ += kGeneratedLocalPlayer;
    session_ += "\"\n";
  }
}

void LogGenerator::appendResultLine(int winner, std::string_view name1,
                                    std::string_view name2, bool cutShort) {
  const bool lopsided = chance(45);
  const int rounds1 = winner == 1 ? 2 : (lopsided ? 0 : 1);
  const int rounds2 = winner == 2 ? 2 : (lopsided ? 0 : 1);
  int seconds = (rounds1 + rounds2) * (18 + below(45)) + below(15);
  if (below(250) == 0) seconds = 690 + below(240);
  clock_ += seconds;
  const std::size_t lineStart = session_.size();
  appendStamp();
  session_ += "Player ";
  appendInt(winner);
  session_ += " wins match ";
  appendInt(rounds1);
  session_ += '-';
  appendInt(rounds2);
  session_ += " : ";
  session_ += name1;
  session_ += " vs ";
  session_ += name2;
  session_ += " (";
  appendInt(seconds);
  session_ += " seconds)\n";
  if (cutShort) {
    // As by a crash while writing: the stamp and part of the line, never
    // the whole of it.
    const std::size_t length = session_.size() - lineStart - 1;
    session_.resize(
        lineStart + 20 +
        static_cast<std::size_t>(below(static_cast<int>(length) - 20)));
    session_ += '\n';
  }
}

void LogGenerator::appendOtherLine(std::string_view player1,
                                   std::string_view player2) {
  appendStamp();
  switch (below(6)) {
    case 0:
    case 1:
    case 2:
      session_ += "Rollback: ";
      appendInt(1 + below(9));
      session_ += " frames max, ";
      appendInt(below(4));
      session_ += " avg\n";
      break;
    case 3:
      session_ += "Chat <";
      session_ += chance(50) ? player1 : player2;
      session_ += chance(70) ? "> gg\n" : "> one more?\n";
      break;
    case 4:
      session_ += "Ping ";
      appendInt(20 + below(140));
      session_ += " ms, jitter ";
      appendInt(below(12));
      session_ += " ms\n";
      break;
    default:
      session_ += "Input delay set to ";
      appendInt(1 + below(4));
      session_ += " frames\n";
      break;
  }
}

void LogGenerator::appendMalformedLine(std::string_view player1,
                                       std::string_view player2) {
  appendStamp();
  if (chance(50)) {
    // Bytes of a damaged file: anything but a line end.
    const int length = 5 + below(80);
    for (int i = 0; i < length; ++i) {
      char byte = static_cast<char>(below(256));
      if (byte == '\n') byte = '?';
      session_ += byte;
    }
    session_ += '\n';
    return;
  }
  // A chat message far longer than any line the reader keeps.
  session_ += "Chat <";
  session_ += chance(50) ? player1 : player2;
  session_ += "> ";
  const int words = 60 + below(80);
  for (int i = 0; i < words; ++i) session_ += chance(50) ? "gg " : "wp ";
  session_ += '\n';
}

void LogGenerator::appendConnecting() {
  appendStamp();
  session_ += "Connecting to peer...\n";
  if (chance(5)) {
    clock_ += 10;
    appendStamp();
    session_ += "Connection failed: timed out\n";
    appendStamp();
    session_ += "Connecting to peer...\n";
  }
  clock_ += 2 + below(5);
}

int LogGenerator::appendMatches(std::string_view player1,
                                std::string_view player2, int favourite1,
                                int favourite2, bool localFirst) {
  const auto pickCharacter = [this](int favourite) {
    const int roll = below(100);
    if (roll < 75) return favourite;
    if (roll < 85) return (favourite + 7) % kCharacterCount;
    return below(kCharacterCount);
  };
  const int matches = 1 + below(15) + below(16);
  int played = 0;
  for (int match = 0; match < matches; ++match) {
    const int character1 = pickCharacter(favourite1);
    const int character2 = pickCharacter(favourite2);
    const bool localWins = chance(55);
    const int winner = (localWins == localFirst) ? 1 : 2;
    std::string_view name1 = kRoster.longName[character1];
    std::string_view name2 = kRoster.longName[character2];
    // About one result line in a hundred and fifty is damaged: cut short,
    // or naming a character the game does not have.
    const int damage = below(1000);
    const bool cutShort = damage < 3;
    if (damage >= 3 && damage < 7) {
      const std::string_view unknown =
          kUnknownCharacters[static_cast<std::size_t>(
              below(static_cast<int>(kUnknownCharacters.size())))];
      (damage % 2 == 0 ? name1 : name2) = unknown;
    }
    if (damage >= 7) ++played;
    appendResultLine(winner, name1, name2, cutShort);
    clock_ += 5 + below(25);
    if (chance(40)) appendOtherLine(player1, player2);
    if (below(1000) < 8) appendMalformedLine(player1, player2);
  }
  return played;
}

void LogGenerator::generateSession() {
  const bool newEvening = opponentSessions_ == 0 || chance(12);
  clock_ += newEvening ? 18 * 3600 + below(32 * 3600) : 60 + below(900);
  if (opponentSessions_ == 0 || (newEvening && chance(40))) {
    appendClientStart();
  }
  if (opponentSessions_ % 50 == 49) localFavourite_ = below(kCharacterCount);

  appendConnecting();

  // Who plays: now and then the local player trains alone.
  std::string opponent;
  int opponentFavourite = 0;
  const int kind = below(1000);
  if (kind < 25) {
    opponent = "Practice Dummy";
  } else if (kind < 30) {
    opponent = "Debug mode";
  } else {
    const int index = pickOpponent();
    opponent = opponentName(index);
    opponentFavourite = index % kCharacterCount;
    ++opponentSessions_;
  }
  const std::string_view local =
      chance(70) ? std::string_view(kGeneratedLocalPlayer)
                 : kLocalAliases[static_cast<std::size_t>(
                       below(static_cast<int>(kLocalAliases.size())))];
  // Excluded names are only ever second.
  const bool localFirst = kind < 30 || chance(50);
  const std::string_view player1 = localFirst ? local : opponent;
  const std::string_view player2 =
      localFirst ? std::string_view(opponent) : local;
  appendStamp();
  session_ += "Session start. Players: ";
  session_ += player1;
  if (below(300) != 0) {  // else cut short: no session follows
    session_ += " vs ";
    session_ += player2;
  }
  session_ += '\n';
  appendOtherLine(player1, player2);

  const int favourite1 = localFirst ? localFavourite_ : opponentFavourite;
  const int favourite2 = localFirst ? opponentFavourite : localFavourite_;
  const int played =
      appendMatches(player1, player2, favourite1, favourite2, localFirst);

  clock_ += 5 + below(20);
  appendStamp();
  if (chance(4)) {
    session_ += "Disconnected.\n";
    return;
  }
  session_ += "Session results: ";
  session_ += player1;
  session_ += " vs ";
  session_ += player2;
  session_ += ", ";
  appendInt(played);
  session_ += " matches\n";
}

std::string generateLog(const LogGeneratorOptions& options) {
  LogGenerator generator(options);
  std::string log;
  for (std::string_view line = generator.nextLine(); !line.empty();
       line = generator.nextLine()) {
    log += line;
  }
  return log;
}

}  // namespace sessionstats
