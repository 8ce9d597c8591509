#include "app/answer.h"

#include <streambuf>

#include "app/name_hints.h"
#include "base/ascii.h"
#include "report/terminal_escape.h"

namespace sessionstats {

std::optional<std::string> readAnswer(std::istream& in) {
  using Traits = std::char_traits<char>;
  std::streambuf* const source = in.rdbuf();
  if (source == nullptr || !in) return std::nullopt;
  // The end of input, -1, is no byte of the isspace set.
  Traits::int_type byte = source->sbumpc();
  while (isSpace(Traits::to_char_type(byte))) byte = source->sbumpc();
  if (Traits::eq_int_type(byte, Traits::eof())) {
    in.setstate(std::ios::eofbit | std::ios::failbit);
    return std::nullopt;
  }
  std::string word;
  while (!Traits::eq_int_type(byte, Traits::eof()) &&
         !isSpace(Traits::to_char_type(byte))) {
    if (word.size() < kMaxAnswerLength) word += Traits::to_char_type(byte);
    byte = source->sbumpc();
  }
  if (Traits::eq_int_type(byte, Traits::eof())) in.setstate(std::ios::eofbit);
  return word;
}

std::optional<std::string> readAnswerLine(std::istream& in) {
  using Traits = std::char_traits<char>;
  std::streambuf* const source = in.rdbuf();
  if (source == nullptr || !in) return std::nullopt;
  Traits::int_type byte = source->sbumpc();
  if (Traits::eq_int_type(byte, Traits::eof())) {
    in.setstate(std::ios::eofbit | std::ios::failbit);
    return std::nullopt;
  }
  std::string line;
  bool cut = false;
  while (!Traits::eq_int_type(byte, Traits::eof()) && byte != '\n') {
    if (line.size() < kMaxAnswerLength) {
      line += Traits::to_char_type(byte);
    } else {
      cut = true;
    }
    byte = source->sbumpc();
  }
  if (Traits::eq_int_type(byte, Traits::eof())) in.setstate(std::ios::eofbit);
  if (!cut && line.ends_with('\r')) line.pop_back();
  return line;
}

std::string_view trimmedAnswer(std::string_view answer) {
  while (!answer.empty() && isBlank(answer.front())) answer.remove_prefix(1);
  while (!answer.empty() && isBlank(answer.back())) answer.remove_suffix(1);
  return answer;
}

std::string_view meantPlayer(const StatsRecords& records,
                             const SessionLogReader& reader,
                             std::string_view answer) {
  const std::string_view typed = trimmedAnswer(answer);
  std::string_view meant;
  bool several = false;
  const auto consider = [&](std::string_view player) {
    if (meant.empty()) {
      meant = player;
    } else if (meant != player) {
      several = true;
    }
  };
  for (const PlayerRecord& player : records.players()) {
    if (sameIgnoringCase(player.name, typed)) consider(player.name);
  }
  reader.forEachAlias([&](std::string_view alias, std::string_view target) {
    const PlayerRecord* player = records.findPlayer(target);
    if (player != nullptr && sameIgnoringCase(alias, typed)) {
      consider(player->name);
    }
  });
  return several ? std::string_view() : meant;
}

std::optional<std::string> askAtTerminal(
    std::istream& console, std::ostream& talk, const StatsRecords& records,
    const SessionLogReader& reader, const std::optional<std::string>& offer) {
  std::optional<std::string> line = readAnswerLine(console);
  while (line && trimmedAnswer(*line).empty()) {
    if (offer) return offer;
    line = readAnswerLine(console);
  }
  if (!line || records.findPlayer(*line) != nullptr) return line;
  const std::string_view meant = meantPlayer(records, reader, *line);
  if (meant.empty()) return line;
  std::string question;
  appendTerminalEscaped(question, meant);
  talk << question << "? [Y/n] " << std::flush;
  const std::optional<std::string> reply = readAnswerLine(console);
  if (!reply) return std::nullopt;
  return isYes(*reply) ? std::string(meant) : *line;
}

bool isYes(std::string_view reply) {
  const std::string_view word = trimmedAnswer(reply);
  return word.empty() || sameIgnoringCase(word, "y") ||
         sameIgnoringCase(word, "yes");
}

}  // namespace sessionstats
