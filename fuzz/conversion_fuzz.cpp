// A whole conversion: the input is split into a script, a header template and a map, which are
// written to a private folder and converted there as the command line would: once in one pass,
// once cut into pieces of a few bytes read by two threads, which must give the same result.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
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

std::optional<std::string> readFile(const char* name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!inPrivateFolder) std::abort();
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view script = fuzz::takePart(input, "\n%%%%\n");
  const std::string_view header = fuzz::takePart(input, "\n%%%%\n");
  writeFile("script.cfg", script);
  writeFile("header.txt", header);
  writeFile("map.mp", input);
  std::remove("one.mp");
  std::remove("pieces.mp");
  const char* onePass[] = {"zarvex", "--jobs", "1", "-m", "K-12-3", "script.cfg", "one.mp"};
  const int onePassCode = zarvex::runZarvex(7, onePass);
  setenv("ZARVEX_CHUNK_BYTES", "7", 1);
  const char* inPieces[] = {"zarvex", "--jobs", "2", "-m", "K-12-3", "script.cfg", "pieces.mp"};
  const int inPiecesCode = zarvex::runZarvex(7, inPieces);
  unsetenv("ZARVEX_CHUNK_BYTES");
  if (onePassCode != inPiecesCode || readFile("one.mp") != readFile("pieces.mp")) std::abort();
  return 0;
}
