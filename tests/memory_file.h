#ifndef SESSION_STATS_TESTS_MEMORY_FILE_H_
#define SESSION_STATS_TESTS_MEMORY_FILE_H_

#include <sys/types.h>

#include <cstddef>
#include <cstdio>
#include <string>

namespace sessionstats::testing {

/// A stream open for reading that yields `bytes`, which must outlive it;
/// nullptr when none can be made. Close it with std::fclose.
std::FILE* openBytes(std::string& bytes);

/// What a stream of openReader calls for its bytes: fills `buffer` with up
/// to `size` bytes and returns how many, 0 at the end, or -1 with errno set.
using ReadFunction = ssize_t (*)(void* cookie, char* buffer, std::size_t size);

/// A stream whose reads call `read` with `cookie`, which must outlive it; on
/// a platform whose C library cannot make one (Windows), nullptr.
std::FILE* openReader(void* cookie, ReadFunction read);

}  // namespace sessionstats::testing

#endif  // SESSION_STATS_TESTS_MEMORY_FILE_H_
