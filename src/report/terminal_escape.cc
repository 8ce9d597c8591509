#include "report/terminal_escape.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <sstream>

#include "report/utf8.h"

namespace sessionstats {
namespace {

// The letters of the escapes that C and ls give bytes 7 to 13 (\a to \r).
constexpr std::string_view kNamedEscapes = "abtnvfr";
constexpr std::uint8_t kFirstNamedEscape = 0x07;
constexpr std::uint8_t kDelete = 0x7F;
// U+0080 to U+009F, the C1 controls, are C2 80 to C2 9F in UTF-8.
constexpr std::uint8_t kC1Lead = 0xC2;
constexpr std::uint8_t kLastC1Trail = 0x9F;

void appendOctal(std::string& out, std::uint8_t byte) {
  out += '\\';
  out += static_cast<char>('0' + (byte >> 6));
  out += static_cast<char>('0' + ((byte >> 3) & 7));
  out += static_cast<char>('0' + (byte & 7));
}

}  // namespace

void appendTerminalEscaped(std::string& out, std::string_view text) {
  while (!text.empty()) {
    const int length = utf8SequenceLength(text);
    const auto lead = static_cast<std::uint8_t>(text.front());
    const bool c1Control = length == 2 && lead == kC1Lead &&
                           static_cast<std::uint8_t>(text[1]) <= kLastC1Trail;
    if (length < 0 || c1Control) {
      const std::size_t bytes =
          c1Control ? 2 : static_cast<std::size_t>(-length);
      for (std::size_t i = 0; i < bytes; ++i) {
        appendOctal(out, static_cast<std::uint8_t>(text[i]));
      }
      text.remove_prefix(bytes);
      continue;
    }
    if (length > 1) {
      out += text.substr(0, static_cast<std::size_t>(length));
      text.remove_prefix(static_cast<std::size_t>(length));
      continue;
    }
    text.remove_prefix(1);
    if (lead == '\\') {
      out += "\\\\";
    } else if (lead >= kFirstNamedEscape &&
               lead < kFirstNamedEscape + kNamedEscapes.size()) {
      out += '\\';
      out += kNamedEscapes[lead - kFirstNamedEscape];
    } else if (lead < ' ' || lead == kDelete) {
      appendOctal(out, lead);
    } else {
      out += static_cast<char>(lead);
    }
  }
}

void writeTerminalEscaped(std::ostream& out,
                          const std::function<void(std::ostream&)>& write) {
  std::ostringstream written;
  write(written);
  std::string_view text = written.view();
  std::string shown;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    const bool crLf = end != std::string_view::npos && line.ends_with('\r');
    if (crLf) line.remove_suffix(1);
    appendTerminalEscaped(shown, line);
    if (end == std::string_view::npos) break;
    shown += crLf ? "\r\n" : "\n";
    text.remove_prefix(end + 1);
  }
  out.write(shown.data(), static_cast<std::streamsize>(shown.size()));
}

}  // namespace sessionstats
