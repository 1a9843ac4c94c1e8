// Both tokenizer profiles over arbitrary bytes: every token, value line and dump must be safe.
#include <cstdint>
#include <cstdio>

#include "converter/tokenizer/errors.h"
#include "converter/tokenizer/tokenizer.h"
#include "fuzz/fuzz_support.h"

namespace {

void scan(const uint8_t* data, size_t size, bool mapProfile, bool comments) {
  FILE* input = fuzz::openBytes(data, size);
  if (input == nullptr) return;
  static FILE* sink = std::fopen("/dev/null", "w");
  {
    zarvex::Tokenizer tokenizer(input);
    if (mapProfile) {
      tokenizer.setMapProfile();
      tokenizer.returnComments = comments;
    } else {
      tokenizer.setScriptProfile();
    }
    try {
      // Mix value lines and push-backs in as the readers do, driven by the data itself.
      for (size_t i = 0; i < size + 2; ++i) {
        const int32_t type = tokenizer.nextToken();
        tokenizer.dumpToken(sink);
        if (type == zarvex::Tokenizer::TokenEof) break;
        if (type == '=' && mapProfile) tokenizer.readValueLine();
        if (type == '<') {
          tokenizer.pushBack();
          tokenizer.nextToken();
        }
      }
    } catch (const zarvex::TokenizerException&) {
    }
  }
  std::fclose(input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  scan(data, size, false, false);
  scan(data, size, true, false);
  scan(data, size, true, true);
  return 0;
}
