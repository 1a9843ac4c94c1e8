// The script parser over arbitrary bytes; a parsed script is also run on a small object.
#include <cstdint>
#include <cstdio>
#include <memory>

#include "converter/mpformat/object_attributes.h"
#include "converter/script/config_parser.h"
#include "converter/tokenizer/errors.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* input = fuzz::openBytes(data, size);
  if (input == nullptr) return 0;
  std::unique_ptr<zarvex::ObjectConfImpl> firstEntry;
  {
    zarvex::Tokenizer tokenizer(input);
    tokenizer.setScriptProfile();
    zarvex::ConfigParserImpl parser(tokenizer, firstEntry);
    try {
      while (parser.parseFileStatement()) {
      }
    } catch (const zarvex::ParserException&) {
    }
  }
  std::fclose(input);

  zarvex::MapObject object;
  object.kind = zarvex::ObjectKind::Polygon;
  object.type = 0x2f;
  object.comments.push_back({"n", "12"});
  object.data.push_back({zarvex::RingRole::Outer, 0, {{37.0, 55.0}, {37.1, 55.0}, {37.1, 55.1}}});
  zarvex::ObjectAttributes attributes;
  for (const zarvex::ObjectConfImpl* entry = firstEntry.get(); entry; entry = entry->next.get()) {
    attributes.reset();
    entry->initAttributes(object, attributes);
    entry->block.execute(object, attributes);
  }
  return 0;
}
