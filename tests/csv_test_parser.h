#ifndef SESSION_STATS_TESTS_CSV_TEST_PARSER_H_
#define SESSION_STATS_TESTS_CSV_TEST_PARSER_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sessionstats::testing {

using CsvRows = std::vector<std::vector<std::string>>;

/// The rows of strict RFC 4180 text whose every row ends in CR LF, or
/// nullopt when the text breaks the format (a bare quote inside an unquoted
/// field, a byte after a closing quote, an unterminated quote or row).
inline std::optional<CsvRows> parseCsv(std::string_view text) {
  CsvRows rows;
  std::size_t at = 0;
  while (at < text.size()) {
    std::vector<std::string>& row = rows.emplace_back();
    for (;;) {
      std::string field;
      if (at < text.size() && text[at] == '"') {
        for (++at;; ++at) {
          if (at >= text.size()) return std::nullopt;
          if (text[at] != '"') {
            field += text[at];
          } else if (at + 1 < text.size() && text[at + 1] == '"') {
            field += '"';
            ++at;
          } else {
            ++at;
            break;
          }
        }
      } else {
        while (at < text.size() && text[at] != ',' && text[at] != '\r') {
          if (text[at] == '"' || text[at] == '\n') return std::nullopt;
          field += text[at++];
        }
      }
      row.push_back(field);
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
