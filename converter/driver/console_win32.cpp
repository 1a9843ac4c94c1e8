#include <io.h>

#include "converter/driver/console.h"

namespace zarvex {

// A closed standard handle on Windows stays closed: opening a file never takes its place.
bool openClosedStandardStreams() {
  return true;
}

bool isTerminal(FILE* stream) {
  return _isatty(_fileno(stream)) != 0;
}

}  // namespace zarvex
