#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "converter/driver/console.h"

namespace zarvex {

bool openClosedStandardStreams() {
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free descriptor is taken, which is this one: those below it are open by now.
    const int opened = open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
    if (opened == -1) return false;
    if (opened != descriptor) {
      const bool moved = dup2(opened, descriptor) == descriptor;
      close(opened);
      if (!moved) return false;
    }
  }
  return true;
}

bool isTerminal(FILE* stream) {
  return isatty(fileno(stream)) != 0;
}

}  // namespace zarvex
