#include "report/utf8.h"

#include <cstddef>
#include <cstdint>

namespace sessionstats {

// The second byte's range depends on the lead byte (Unicode table
// 3-7): that rules out overlong forms, surrogates and code points past
// U+10FFFF.
int utf8SequenceLength(std::string_view text) {
  const auto byte = [&text](std::size_t i) {
    return static_cast<std::uint8_t>(text[i]);
  };
  const std::uint8_t lead = byte(0);
  if (lead < 0x80) return 1;
  int length = 0;
  std::uint8_t low = 0x80;
  std::uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return -1;
  }
  for (int i = 1; i < length; ++i) {
    const auto at = static_cast<std::size_t>(i);
    if (at >= text.size()) return -i;
    const std::uint8_t next = byte(at);
    if (i == 1 ? next < low || next > high : next < 0x80 || next > 0xBF) {
      return -i;
    }
  }
  return length;
}

}  // namespace sessionstats
