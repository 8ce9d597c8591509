#ifndef SESSION_STATS_TESTS_SPLIT_LINES_H_
#define SESSION_STATS_TESTS_SPLIT_LINES_H_

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "log/log_line_splitter.h"

namespace sessionstats {

/// Calls sink(std::string_view) for every line of `text`, the last one
/// included: `text` is one whole stream, fed to a LogLineSplitter in blocks
/// of `blockSize` bytes (the last block may be shorter), by default as one
/// block, and then finished. The lines do not depend on the block size.
/// REQUIRES: blockSize > 0.
template <typename Sink>
void splitLines(std::string_view text, Sink&& sink,
                std::size_t blockSize = std::string_view::npos) {
  LogLineSplitter splitter;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t size = std::min(blockSize, text.size() - at);
    splitter.feed(text.data() + at, size, sink);
    at += size;
  }
  splitter.finish(sink);
}

}  // namespace sessionstats

#endif  // SESSION_STATS_TESTS_SPLIT_LINES_H_
