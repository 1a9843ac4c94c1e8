#include <unistd.h>

#include "converter/driver/terminal.h"

namespace zarvex {

bool isTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

}  // namespace zarvex
