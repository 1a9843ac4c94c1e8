#include <io.h>
#include <windows.h>

#include "converter/driver/terminal.h"

namespace zarvex {

// _isatty holds the NUL device for a terminal too; only a console has a console mode.
bool isTerminal(std::FILE* stream) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

}  // namespace zarvex
