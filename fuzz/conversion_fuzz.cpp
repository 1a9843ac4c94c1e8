// A whole conversion: the input is split into a script, a header template and a map, which are
// written to a private folder and converted there as the command line would.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "converter/driver/run.h"
#include "fuzz/fuzz_support.h"

namespace {

void writeFile(const char* name, std::string_view content) {
  FILE* file = std::fopen(name, "w");
  if (file == nullptr) std::abort();
  std::fwrite(content.data(), 1, content.size(), file);
  std::fclose(file);
}

// The working folder holds the map that the script names, so relative paths stay inside it.
const bool inPrivateFolder = [] {
  char pattern[] = "/tmp/zarvex-fuzz-XXXXXX";
  return mkdtemp(pattern) != nullptr && chdir(pattern) == 0;
}();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!inPrivateFolder) std::abort();
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view script = fuzz::takePart(input, "\n%%%%\n");
  const std::string_view header = fuzz::takePart(input, "\n%%%%\n");
  writeFile("script.cfg", script);
  writeFile("header.txt", header);
  writeFile("map.mp", input);
  const char* argv[] = {"zarvex", "-m", "K-12-3", "script.cfg", "out.mp"};
  zarvex::runZarvex(5, argv);
  return 0;
}
