#include "os/block_output.h"

namespace sessionstats {

BlockOutputBuffer::BlockOutputBuffer() : buffer_(new char[kOutputBlockSize]) {
  setp(buffer_.get(), buffer_.get() + kOutputBlockSize);
}

BlockOutputBuffer::int_type BlockOutputBuffer::overflow(int_type byte) {
  if (!drain()) return traits_type::eof();
  if (!traits_type::eq_int_type(byte, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(byte);
    pbump(1);
  }
  return traits_type::not_eof(byte);
}

int BlockOutputBuffer::sync() { return drain() ? 0 : -1; }

bool BlockOutputBuffer::drain() {
  const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
  if (!failed_ && size > 0) failed_ = !writeBlock(pbase(), size);
  // Emptied either way: after a failure the bytes are dropped.
  setp(buffer_.get(), buffer_.get() + kOutputBlockSize);
  return !failed_;
}

}  // namespace sessionstats
