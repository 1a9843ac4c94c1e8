#include <cstdio>

#include "converter/driver/argument_code_page.h"
#include "converter/driver/run.h"

int main(int argc, char** argv) {
  // Before anything is opened: the bytes would name another file, or none.
  if (const std::optional<int> index = zarvex::argumentOutsideCodePage()) {
    std::fprintf(stderr, "Name not representable in the ANSI code page: %s\n",
                 *index < argc ? argv[*index] : "");
    return 1;
  }
  return zarvex::runZarvex(argc, argv);
}
