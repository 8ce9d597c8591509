#ifndef SESSION_STATS_OS_BLOCK_OUTPUT_H_
#define SESSION_STATS_OS_BLOCK_OUTPUT_H_

#include <cstddef>
#include <memory>
#include <streambuf>

namespace sessionstats {

/// The report reaches its file in blocks of this size rather than a write
/// call per line; nothing reads the file before it is moved into place, so
/// no line needs to be on disk sooner.
inline constexpr std::size_t kOutputBlockSize = std::size_t{1} << 16;

/// An output stream buffer that hands its bytes, in order, to writeBlock in
/// blocks of at most kOutputBlockSize (when full, and on flush). After the
/// first block that fails it drops everything, and every later write and
/// flush fails, so a stream over it ends up failed.
class BlockOutputBuffer : public std::streambuf {
 public:
  BlockOutputBuffer();
  BlockOutputBuffer(const BlockOutputBuffer&) = delete;
  BlockOutputBuffer& operator=(const BlockOutputBuffer&) = delete;

 protected:
  /// Writes all of `size` bytes at `data`, or fails (false) and keeps why.
  /// REQUIRES: size > 0
  virtual bool writeBlock(const char* data, std::size_t size) = 0;

  int_type overflow(int_type byte) final;
  int sync() final;

 private:
  // Hands on what the buffer holds; false once any block has failed.
  bool drain();

  std::unique_ptr<char[]> buffer_;
  bool failed_ = false;
};

}  // namespace sessionstats

#endif  // SESSION_STATS_OS_BLOCK_OUTPUT_H_
