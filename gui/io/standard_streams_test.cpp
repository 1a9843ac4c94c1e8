#include "gui/io/standard_streams.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace visual {
namespace {

// In a child, so that the test's own streams stay: each bit of the exit code is a failed check.
int guardedChild(int closedMask) {
  for (int fd = 0; fd <= 2; ++fd)
    if (closedMask & (1 << fd)) ::close(fd);
  guardStandardStreams();
  int failed = 0;
  struct stat null {};
  ::stat("/dev/null", &null);
  for (int fd = 0; fd <= 2; ++fd) {
    struct stat st {};
    const bool open = ::fstat(fd, &st) == 0;
    if (!open || ((closedMask & (1 << fd)) && st.st_rdev != null.st_rdev)) failed |= 1 << fd;
  }
  const int file = ::open("/dev/null", O_RDONLY);
  if (file <= 2) failed |= 8;
  return failed;
}

TEST(StandardStreams, ClosedOnesAreOpenOnDevNullSoNoFileTakesTheirPlace) {
  for (int closedMask = 0; closedMask < 8; ++closedMask) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(guardedChild(closedMask));
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "closed descriptors mask " << closedMask;
  }
}

}  // namespace
}  // namespace visual
