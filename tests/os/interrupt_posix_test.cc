#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "os/interrupt.h"
#include "tool_run.h"

namespace sessionstats {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::writeFile;

// In a child process, as each ends the process it runs in: the file named at
// the moment of the signal is gone and the signal ends the child as if it
// were not caught; under kNote the run goes on and sees interrupted().
TEST(Interrupt, RemovesTheNamedFileThenEndsOrNotesTheRun) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    for (const InterruptAction action :
         {InterruptAction::kEnd, InterruptAction::kNote}) {
      TempDir dir;
      const fs::path named = dir / ".ss-temp";
      const fs::path after = dir / "after";
      const pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        handleInterrupts(action);
        writeFile(named, "part");
        bool noted = false;
        {
          const RemoveOnInterrupt guard(named.string());
          ::raise(signal);
          noted = interrupted();
        }
        // Only a run that goes on gets here.
        writeFile(after, noted ? "noted" : "missed");
        ::_exit(0);
      }
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      EXPECT_FALSE(fs::exists(named)) << signal;
      if (action == InterruptAction::kEnd) {
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal)
            << signal;
        EXPECT_FALSE(fs::exists(after));
      } else {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << signal;
        EXPECT_EQ(testing::readFile(after), "noted");
      }
    }
  }
}

// A signal ignored when the run started (nohup, a background job) stays
// ignored, and a file no longer named is left alone.
TEST(Interrupt, IgnoredSignalStaysIgnoredAndUnnamedFileStays) {
  TempDir dir;
  const fs::path kept = dir / "kept";
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGHUP, SIG_IGN);
    handleInterrupts(InterruptAction::kEnd);
    writeFile(kept, "report");
    { const RemoveOnInterrupt guard(kept.string()); }
    ::raise(SIGHUP);
    ::raise(SIGTERM);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_TRUE(fs::exists(kept));
}

}  // namespace
}  // namespace sessionstats
