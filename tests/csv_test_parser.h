#ifndef SESSION_STATS_TESTS_CSV_TEST_PARSER_H_
#define SESSION_STATS_TESTS_CSV_TEST_PARSER_H_

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sessionstats::testing {

using CsvRows = std::vector<std::vector<std::string>>;

/// Reads the field that starts at `at` and moves `at` past it: a quoted one
/// with its doubled quotes, or a plain one up to a comma or CR. nullopt when
/// it breaks RFC 4180 (a quote or LF in a plain field, an unclosed quote).
inline std::optional<std::string> parseCsvField(std::string_view text,
                                                std::size_t& at) {
  std::string field;
  if (at >= text.size() || text[at] != '"') {
    while (at < text.size() && text[at] != ',' && text[at] != '\r') {
      if (text[at] == '"' || text[at] == '\n') return std::nullopt;
      field += text[at++];
    }
    return field;
  }
  for (++at; at < text.size(); ++at) {
    if (text[at] != '"') {
      field += text[at];
    } else if (text.substr(at, 2) == "\"\"") {
      field += '"';
      ++at;
    } else {
      ++at;
      return field;
    }
  }
  return std::nullopt;
}

/// The rows of strict RFC 4180 text whose every row ends in CR LF, or
/// nullopt when the text breaks the format (see parseCsvField; a byte after
/// a closing quote, a row without its CR LF).
inline std::optional<CsvRows> parseCsv(std::string_view text) {
  CsvRows rows;
  std::size_t at = 0;
  while (at < text.size()) {
    std::vector<std::string>& row = rows.emplace_back();
    for (;;) {
      std::optional<std::string> field = parseCsvField(text, at);
      if (!field) return std::nullopt;
      row.push_back(std::move(*field));
      if (at < text.size() && text[at] == ',') {
        ++at;
        continue;
      }
      if (text.substr(at, 2) != "\r\n") return std::nullopt;
      at += 2;
      break;
    }
  }
  return rows;
}

}  // namespace sessionstats::testing

#endif  // SESSION_STATS_TESTS_CSV_TEST_PARSER_H_
