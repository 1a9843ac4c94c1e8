// The map reader over arbitrary bytes: the header, then every object, as a map-file run reads them.
#include <cstdint>
#include <cstdio>

#include "converter/mpformat/map_reader.h"
#include "converter/mpformat/map_writer.h"
#include "converter/mpformat/measures.h"
#include "converter/mpformat/object_attributes.h"
#include "converter/tokenizer/errors.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* input = fuzz::openBytes(data, size);
  if (input == nullptr) return 0;
  static FILE* sink = std::fopen("/dev/null", "w");
  {
    zarvex::Tokenizer tokenizer(input);
    zarvex::MapReader reader(tokenizer, "fuzz.mp");
    try {
      reader.ReadHeader();
      tokenizer.returnComments = true;
      while (reader.ReadObject()) {
      }
    } catch (const zarvex::ParserException&) {
    }
    // Whatever was read must also measure and write safely.
    zarvex::MapWriter writer;
    zarvex::ObjectAttributes attributes;
    for (const zarvex::MapObject& object : reader.objects()) {
      attributes.reset();
      attributes.fill(object);
      writer.WriteObject(object, sink, attributes);
    }
    writer.flush(sink);
  }
  std::fclose(input);
  return 0;
}
