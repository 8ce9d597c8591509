#include "log/log_file_reader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/ordered_pipeline.h"
#include "log/log_line_splitter.h"

namespace sessionstats {
namespace {

// Small enough that the kernel copies each block into cache and the reader
// finds it still there.
constexpr std::size_t kBlockSize = std::size_t{1} << 15;

// Blocks of log per item of the pipeline: few, so that an item's bytes are
// still in cache when its lines are parsed on the thread that read them.
constexpr std::size_t kBlocksPerItem = 2;

// Items read ahead of the counting at most, so memory stays bounded.
constexpr std::size_t kSlots = 8;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string readFailure(std::string_view name) {
  return "could not read " + std::string(name);
}

// The log through an ordered pipeline: take reads the next blocks of the
// file and ends the item at its last line end, carrying what follows into
// the next item; make cuts the item into lines and parses them; use gives
// them to the reader in order. Only take must go in file order; the parsing,
// which needs no session state, runs ahead of the counting on either thread.
class LogStages final : public PipelineStages {
 public:
  LogStages(std::FILE* log, std::string_view name, SessionLogReader& reader)
      : log_(log), name_(name), reader_(reader), slots_(kSlots) {}

  bool take(std::size_t /*item*/, std::size_t slot) override {
    if (ended_) return false;
    Slot& taken = slots_[slot];
    char* const bytes = taken.bytes.get();
    std::copy(tail_.begin(), tail_.begin() + tailSize_, bytes);
    std::size_t size = tailSize_;
    const std::size_t full = tailSize_ + kItemBytes;
    taken.last = false;
    while (size < full) {
      const std::size_t got =
          std::fread(bytes + size, 1, std::min(kBlockSize, full - size), log_);
      size += got;
      readAnything_ = readAnything_ || got > 0;
      if (got == kBlockSize) continue;
      if (std::ferror(log_)) {
        // A log that fails before its first byte (a directory opened as a
        // file, for one) gets the missing log's line before its reason; one
        // that fails later has counted some lines already.
        outcome_ = readAnything_ ? Status::failed(readFailure(name_), errno)
                                 : Status::notFound(readFailure(name_), errno);
        ended_ = true;
        break;
      }
      if (std::feof(log_)) {
        taken.last = true;
        ended_ = true;
        break;
      }
    }
    // The last line of the log is handed over whole; of any other unfinished
    // line, the bytes that matter (kKeptBytes) wait for the next item.
    taken.size = size;
    if (!taken.last) {
      while (taken.size > 0 && bytes[taken.size - 1] != '\n') --taken.size;
      tailSize_ = std::min(size - taken.size, LogLineSplitter::kKeptBytes);
      std::copy(bytes + taken.size, bytes + taken.size + tailSize_,
                tail_.begin());
    }
    return true;
  }

  void make(std::size_t slot) override {
    Slot& made = slots_[slot];
    made.lines.clear();
    const auto parse = [&made](std::string_view text) {
      const LogLine line = parseLine(text);
      // A line that says nothing and has no stamp matters to no reader.
      if (line.kind != LogLine::Kind::kNothing || !line.stamp.empty()) {
        made.lines.push_back(line);
      }
    };
    made.splitter = LogLineSplitter();
    made.splitter.feed(made.bytes.get(), made.size, parse);
    if (made.last) made.splitter.finish(parse);
  }

  void use(std::size_t slot) override {
    for (const LogLine& line : slots_[slot].lines) reader_.read(line);
  }

  // How the reading ended; see readSessionLog.
  Status&& outcome() { return std::move(outcome_); }

 private:
  static constexpr std::size_t kItemBytes = kBlocksPerItem * kBlockSize;

  struct Slot {
    // The carried line, then the bytes read.
    std::unique_ptr<char[]> bytes{
        new char[LogLineSplitter::kKeptBytes + kItemBytes]};
    std::size_t size = 0;  // of the item's lines in `bytes`
    bool last = false;     // the log ends after them
    // The log's last line, which no LF ends, comes from the splitter's copy.
    LogLineSplitter splitter;
    std::vector<LogLine> lines;  // parsed by make
  };

  std::FILE* const log_;
  const std::string_view name_;
  SessionLogReader& reader_;
  std::vector<Slot> slots_;
  // Only take touches these, one call at a time; they are read once the
  // pipeline has finished.
  std::array<char, LogLineSplitter::kKeptBytes> tail_{};
  std::size_t tailSize_ = 0;
  bool readAnything_ = false;
  bool ended_ = false;
  Status outcome_;
};

}  // namespace

Status readSessionLog(std::FILE* log, std::string_view name,
                      SessionLogReader& reader) {
  LogStages stages(log, name, reader);
  runOrderedPipeline(stages, kSlots, PipelineThreads::kTwo);
  return stages.outcome();
}

Status readSessionLog(const std::string& path, SessionLogReader& reader) {
  const FilePtr log(std::fopen(path.c_str(), "rb"));
  if (!log) return Status::notFound(readFailure(path), errno);
  return readSessionLog(log.get(), path, reader);
}

}  // namespace sessionstats
