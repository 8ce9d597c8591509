#include "app/log_reading.h"

#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "log/log_line_splitter.h"

namespace sessionstats {
namespace {

// Small enough that the kernel copies each block into cache and the reader
// finds it still there.
constexpr std::size_t kBlockSize = std::size_t{1} << 15;

// Blocks of log whose parsed lines go over to the counting thread at once,
// so that the threads meet about a hundred times in the 1M-line log.
constexpr int kBlocksPerBatch = 16;

// Blocks of log in a raw batch, whose every line is copied whole: fewer
// than for a parsed batch, since the batches kept for reuse hold that much
// memory each, and more gained no speed.
constexpr int kBlocksPerRawBatch = 4;

// Batches on their way between the threads at most: the reading thread
// waits rather than running ahead, so memory stays bounded.
constexpr std::size_t kBatchesInFlight = 4;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string readFailure(std::string_view name) {
  return "could not read " + std::string(name);
}

// Reads `log` in blocks, hands each line to `sink` and calls `afterBlock`
// after each block; stops early, and ok, when that returns false. See
// readSessionLog for the failures.
template <typename Sink, typename AfterBlock>
Status streamLines(std::FILE* log, std::string_view name, Sink&& sink,
                   AfterBlock&& afterBlock) {
  const std::unique_ptr<char[]> block(new char[kBlockSize]);
  LogLineSplitter splitter;
  bool readAnything = false;
  for (;;) {
    const std::size_t got = std::fread(block.get(), 1, kBlockSize, log);
    if (got > 0) {
      splitter.feed(block.get(), got, sink);
      readAnything = true;
      if (!afterBlock()) return Status();
    }
    if (got == kBlockSize) continue;
    if (std::ferror(log)) {
      // A log that fails before its first byte (a directory opened as a file,
      // for one) gets the missing log's line before its reason; one that
      // fails later has counted some lines already.
      return readAnything ? Status::failed(readFailure(name), errno)
                          : Status::notFound(readFailure(name), errno);
    }
    if (std::feof(log)) break;
  }
  splitter.finish(sink);
  return Status();
}

// The lines of a stretch of the log: parsed, keeping those that mean
// something to the reader, or raw, left for the counting thread to parse.
// Text is copied into `text_` (the rest of a session line, or a whole raw
// line): the block it points into is reused.
class Batch {
 public:
  bool raw() const { return raw_; }
  void setRaw(bool raw) { raw_ = raw; }

  void add(std::string_view line) {
    if (raw_) {
      rawLines_.push_back(keep(line));
      return;
    }
    const ParsedLine parsed = parseLine(line);
    if (parsed.kind == ParsedLine::Kind::kNothing) return;
    Entry entry{parsed.kind, parsed.match, {}};
    if (parsed.kind == ParsedLine::Kind::kSessionLine) {
      entry.rest = keep(parsed.rest);
    }
    entries_.push_back(entry);
  }

  void applyTo(SessionLogReader& reader) const {
    for (const Span& line : rawLines_) reader.apply(parseLine(text(line)));
    for (const Entry& entry : entries_) {
      reader.apply({entry.kind, entry.match, text(entry.rest)});
    }
  }

  // Empties the batch and keeps its memory for the next stretch.
  void clear() {
    entries_.clear();
    rawLines_.clear();
    text_.clear();
    raw_ = false;
  }

 private:
  struct Span {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
  };
  struct Entry {
    ParsedLine::Kind kind = ParsedLine::Kind::kNothing;
    MatchResult match;
    Span rest;
  };

  Span keep(std::string_view piece) {
    const Span span{static_cast<std::uint32_t>(text_.size()),
                    static_cast<std::uint32_t>(piece.size())};
    text_.append(piece);
    return span;
  }
  std::string_view text(Span span) const {
    return std::string_view(text_).substr(span.offset, span.length);
  }

  std::vector<Entry> entries_;
  std::vector<Span> rawLines_;
  std::string text_;
  bool raw_ = false;
};

// Carries batches from the reading thread to the counting one, in order,
// and the emptied ones back.
class BatchQueue {
 public:
  // Waits while kBatchesInFlight batches wait. False, with `batch` left
  // alone, once the counting thread has stopped.
  bool push(Batch& batch) {
    std::unique_lock lock(mutex_);
    changed_.wait(
        lock, [this] { return stopped_ || full_.size() < kBatchesInFlight; });
    if (stopped_) return false;
    full_.push_back(std::move(batch));
    changed_.notify_all();
    return true;
  }

  // Whether the counting thread has at most one batch to go on with: it will
  // soon wait for the reading thread.
  bool nearlyDrained() {
    const std::lock_guard lock(mutex_);
    return full_.size() <= 1;
  }

  // An emptied batch to fill, or a new one.
  Batch takeEmpty() {
    std::lock_guard lock(mutex_);
    if (empty_.empty()) return Batch();
    Batch batch = std::move(empty_.back());
    empty_.pop_back();
    return batch;
  }

  // The next batch; nullopt once the reading thread has finished and every
  // batch has been taken.
  std::optional<Batch> pop() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return finished_ || !full_.empty(); });
    if (full_.empty()) return std::nullopt;
    Batch batch = std::move(full_.front());
    full_.pop_front();
    changed_.notify_all();
    return batch;
  }

  void giveBack(Batch batch) {
    batch.clear();
    std::lock_guard lock(mutex_);
    empty_.push_back(std::move(batch));
  }

  // The reading thread pushes no more.
  void finish() {
    std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
  }

  // The counting thread takes no more: a waiting push returns false.
  void stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Batch> full_;
  std::vector<Batch> empty_;
  bool finished_ = false;
  bool stopped_ = false;
};

}  // namespace

// Finding the lines and reading them is about two thirds of the work, the
// counting (cold memory at every start line and first match) the rest: the
// parsing runs on a thread of its own, a batch ahead of the counting. The
// counting alone is the lighter side, so a counting thread about to wait
// gets raw stretches to parse itself. Batches reach the counting in log
// order whichever thread parsed them, so the counts are those of one thread
// reading the log line by line.
Status readSessionLog(std::FILE* log, std::string_view name,
                      SessionLogReader& reader) {
  const auto processLine = [&reader](std::string_view line) {
    reader.processLine(line);
  };
  const auto always = [] { return true; };
  // Every line of a reader that logs matches may date them.
  if (reader.logsMatches()) return streamLines(log, name, processLine, always);

  BatchQueue queue;
  Status outcome;
  std::exception_ptr failure;
  const auto readAndParse = [&] {
    try {
      Batch batch;
      // A counting thread about to wait gets its next stretch raw, to parse
      // itself: so the two threads share the parsing as their speeds allow.
      const auto begin = [&] {
        batch = queue.takeEmpty();
        batch.setRaw(queue.nearlyDrained());
      };
      begin();
      int blocks = 0;
      const auto add = [&batch](std::string_view line) { batch.add(line); };
      const auto handOver = [&] {
        if (++blocks < (batch.raw() ? kBlocksPerRawBatch : kBlocksPerBatch)) {
          return true;
        }
        blocks = 0;
        if (!queue.push(batch)) return false;
        begin();
        return true;
      };
      outcome = streamLines(log, name, add, handOver);
      queue.push(batch);
    } catch (...) {
      failure = std::current_exception();
    }
    queue.finish();
  };
  std::thread reading;
  try {
    reading = std::thread(readAndParse);
  } catch (const std::system_error&) {
    // No thread to be had (a process limit): one thread does it all.
    return streamLines(log, name, processLine, always);
  }
  try {
    while (std::optional<Batch> batch = queue.pop()) {
      batch->applyTo(reader);
      queue.giveBack(std::move(*batch));
    }
  } catch (...) {
    queue.stop();
    reading.join();
    throw;
  }
  reading.join();
  if (failure) std::rethrow_exception(failure);
  return outcome;
}

Status readSessionLog(const std::string& path, SessionLogReader& reader) {
  const FilePtr log(std::fopen(path.c_str(), "rb"));
  if (!log) return Status::notFound(readFailure(path), errno);
  return readSessionLog(log.get(), path, reader);
}

}  // namespace sessionstats
