#include "app/answer.h"

#include <streambuf>

#include "base/ascii.h"

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

}  // namespace sessionstats
