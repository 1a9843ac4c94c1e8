// Throughput of the tokenizer over a generated map in the map profile, in MB/s.
//
// Usage: tokenizer_bench [megabytes]   (default 200)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "converter/tokenizer/tokenizer.h"

namespace {

std::string generateMap(size_t bytes) {
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> micro(0, 999999);
  std::uniform_int_distribution<int> points(2, 40);
  std::string map;
  map.reserve(bytes + 4096);
  map += "; generated\r\n[IMG ID]\r\nID=1\r\nName=Bench\r\nLevels=3\r\n[END-IMG ID]\r\n";
  char buffer[64];
  for (int object = 0; map.size() < bytes; ++object) {
    map += "; object\r\n[POLYLINE]\r\nType=0x16\r\nLabel=Main Street ";
    map += std::to_string(object);
    map += "\r\nEndLevel=2\r\nData0=";
    const int count = points(random);
    for (int i = 0; i < count; ++i) {
      std::snprintf(buffer, sizeof buffer, "%s(55.%06d,37.%06d)", i == 0 ? "" : ",", micro(random),
                    micro(random));
      map += buffer;
    }
    map += "\r\n[END]\r\n\r\n";
  }
  return map;
}

}  // namespace

int main(int argc, char** argv) {
  const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
  const std::string map = generateMap(megabytes << 20);
  // A real file, as the converter reads one; it stays in the page cache after being written.
  FILE* input = std::tmpfile();
  if (input == nullptr || std::fwrite(map.data(), 1, map.size(), input) != map.size()) {
    std::perror("temporary file");
    return 1;
  }
  std::rewind(input);

  const auto start = std::chrono::steady_clock::now();
  zarvex::Tokenizer t(input);
  t.setMapProfile();
  t.returnComments = true;
  size_t tokens = 0;
  double checksum = 0;
  bool afterLabel = false;
  // Label values are read the way the map reader reads them: the rest of the line, raw.
  for (;;) {
    const int32_t type = t.nextToken();
    if (type == zarvex::Tokenizer::TokenEof) break;
    ++tokens;
    if (type == zarvex::Tokenizer::TokenFloat) checksum += t.floatValue;
    if (type == '=' && afterLabel) {
      t.readValueLine();
      checksum += static_cast<double>(t.text.size());
    }
    afterLabel = type == zarvex::Tokenizer::TokenWord && t.text == "label";
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::fclose(input);

  const double mb = static_cast<double>(map.size()) / (1 << 20);
  std::printf("%.1f MB, %zu tokens, %d lines, %.3f s, %.0f MB/s (checksum %.6f)\n", mb, tokens,
              t.lineCount, seconds, mb / seconds, checksum);
  return 0;
}
