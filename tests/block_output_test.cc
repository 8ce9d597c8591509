#include "os/block_output.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace sessionstats {
namespace {

// Keeps the blocks it is handed; fails the one numbered `failing`.
class RecordingBuffer final : public BlockOutputBuffer {
 public:
  explicit RecordingBuffer(std::size_t failing) : failing_(failing) {}

  std::vector<std::string> blocks;

 private:
  bool writeBlock(const char* data, std::size_t size) override {
    if (blocks.size() == failing_) return false;
    blocks.emplace_back(data, size);
    return true;
  }

  std::size_t failing_;
};

// Bytes written one by one and in runs longer than a block arrive whole and
// in order, in blocks no larger than kOutputBlockSize; a flush with nothing
// new hands on nothing.
TEST(BlockOutput, EveryByteArrivesOnceInOrder) {
  std::string text;
  for (std::size_t i = 0; i < 3 * kOutputBlockSize + 7; ++i) {
    text += static_cast<char>('a' + i % 26);
  }
  RecordingBuffer buffer(std::string::npos);
  std::ostream out(&buffer);
  out << 'x';
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out << "end" << std::flush << std::flush;
  ASSERT_TRUE(out);
  std::string joined;
  for (const std::string& block : buffer.blocks) {
    EXPECT_GT(block.size(), 0u);
    EXPECT_LE(block.size(), kOutputBlockSize);
    joined += block;
  }
  EXPECT_EQ(joined, "x" + text + "end");
}

// After the first failed block nothing more is handed on, and the stream
// says it failed, even when the failure came on a full buffer mid-write.
TEST(BlockOutput, AFailedBlockFailsTheStreamForGood) {
  for (const std::size_t failing : {0u, 1u}) {
    RecordingBuffer buffer(failing);
    std::ostream out(&buffer);
    out << std::string(kOutputBlockSize + 1, 'r');
    out << "more" << std::flush;
    EXPECT_FALSE(out) << failing;
    EXPECT_EQ(buffer.blocks.size(), failing);
    out.clear();
    out << "again" << std::flush;
    EXPECT_FALSE(out) << failing;
    EXPECT_EQ(buffer.blocks.size(), failing);
  }
}

}  // namespace
}  // namespace sessionstats
