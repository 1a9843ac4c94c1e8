#include "gui/io/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace visual {

void guardStandardStreams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // open returns the lowest free descriptor, which is this one.
    const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) {
      ::dup2(opened, fd);
      ::close(opened);
    }
  }
}

}  // namespace visual
