// The map reader over arbitrary bytes, strictly and leniently: the header, then every object, as
// a map-file run reads them. Lenient reading may only differ where strict reading stops: of a
// map that reads strictly, it must read the same objects and report nothing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "converter/mpformat/map_reader.h"
#include "converter/mpformat/map_writer.h"
#include "converter/mpformat/measures.h"
#include "converter/mpformat/object_attributes.h"
#include "converter/tokenizer/errors.h"
#include "fuzz/fuzz_support.h"

namespace {

struct Reading {
  bool whole = false;
  bool reportEmpty = true;
  // What the writer makes of every object read; whatever was read must write safely.
  std::string written;
};

Reading read(const uint8_t* data, size_t size, bool lenient) {
  Reading result;
  FILE* input = fuzz::openBytes(data, size);
  if (input == nullptr) return result;
  char* text = nullptr;
  size_t length = 0;
  FILE* sink = open_memstream(&text, &length);
  if (sink == nullptr) std::abort();
  {
    zarvex::Tokenizer tokenizer(input);
    zarvex::MapReader reader(tokenizer, "fuzz.mp", zarvex::ReadOptions{.lenient = lenient});
    try {
      reader.ReadHeader();
      tokenizer.returnComments = true;
      while (reader.ReadObject()) {
      }
      result.whole = true;
    } catch (const zarvex::ParserException&) {
    }
    result.reportEmpty = reader.lenientReport().empty();
    reader.lenientReport().summaryLines();
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
  std::fclose(sink);
  result.written.assign(text, length);
  std::free(text);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Reading strict = read(data, size, false);
  const Reading lenient = read(data, size, true);
  if (strict.whole && (!lenient.whole || !lenient.reportEmpty || lenient.written != strict.written))
    std::abort();
  return 0;
}
