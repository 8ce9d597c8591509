#include "os/status.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>

namespace sessionstats {
namespace {

TEST(Status, KindGivesTheExitStatusAndErrnoItsReason) {
  EXPECT_EQ(Status().exitStatus(), 0);
  EXPECT_EQ(Status::usage("bad option").exitStatus(), 2);
  EXPECT_EQ(Status::notFound("could not read a.log", ENOENT).exitStatus(), 1);
  EXPECT_EQ(Status::failed("names no player X").exitStatus(), 1);

  std::ostringstream err;
  writeErrorLine(err, Status::failed("could not write r.txt", ENOSPC));
  writeErrorLine(err, Status::usage("bad option"));
  EXPECT_EQ(err.str(),
            "session-stats: could not write r.txt: No space left on device\n"
            "session-stats: bad option\n");
}

}  // namespace
}  // namespace sessionstats
