#include "report/html_escape.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "report/utf8.h"

namespace sessionstats {
namespace {

// The characters that could be read as markup, and their references.
constexpr std::array<std::pair<char, std::string_view>, 5> kReferences{{
    {'&', "&amp;"},
    {'<', "&lt;"},
    {'>', "&gt;"},
    {'"', "&quot;"},
    {'\'', "&#39;"},
}};

bool isForbiddenControl(char c) {
  const auto byte = static_cast<std::uint8_t>(c);
  return (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') || byte == 0x7F;
}

}  // namespace

void appendHtmlEscaped(std::string& out, std::string_view text) {
  while (!text.empty()) {
    const int length = utf8SequenceLength(text);
    if (length < 0) {
      out += kReplacementCharacter;
      text.remove_prefix(static_cast<std::size_t>(-length));
      continue;
    }
    if (length > 1) {
      out += text.substr(0, static_cast<std::size_t>(length));
      text.remove_prefix(static_cast<std::size_t>(length));
      continue;
    }
    const char c = text.front();
    text.remove_prefix(1);
    const auto* const reference =
        std::find_if(kReferences.begin(), kReferences.end(),
                     [c](const auto& markup) { return markup.first == c; });
    if (reference != kReferences.end()) {
      out += reference->second;
    } else if (isForbiddenControl(c)) {
      out += kReplacementCharacter;
    } else {
      out += c;
    }
  }
}

void appendIsolatedName(std::string& out, std::string_view name) {
  constexpr std::string_view kFirstStrongIsolate = "\xE2\x81\xA8";
  constexpr std::string_view kPopDirectionalIsolate = "\xE2\x81\xA9";
  out += kFirstStrongIsolate;
  appendHtmlEscaped(out, name);
  out += kPopDirectionalIsolate;
}

void appendNameElement(std::string& out, std::string_view name) {
  out += "<bdi>";
  appendHtmlEscaped(out, name);
  out += "</bdi>";
}

}  // namespace sessionstats
