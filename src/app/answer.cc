#include "app/answer.h"

#include <streambuf>

namespace sessionstats {
namespace {

using Traits = std::char_traits<char>;

bool isWhiteSpace(Traits::int_type byte) {
  return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

}  // namespace

std::optional<std::string> readAnswer(std::istream& in) {
  std::streambuf* const source = in.rdbuf();
  if (source == nullptr || !in) return std::nullopt;
  Traits::int_type byte = source->sbumpc();
  while (isWhiteSpace(byte)) byte = source->sbumpc();
  if (Traits::eq_int_type(byte, Traits::eof())) {
    in.setstate(std::ios::eofbit | std::ios::failbit);
    return std::nullopt;
  }
  std::string word;
  while (!Traits::eq_int_type(byte, Traits::eof()) && !isWhiteSpace(byte)) {
    if (word.size() < kMaxAnswerLength) word += Traits::to_char_type(byte);
    byte = source->sbumpc();
  }
  if (Traits::eq_int_type(byte, Traits::eof())) in.setstate(std::ios::eofbit);
  return word;
}

}  // namespace sessionstats
