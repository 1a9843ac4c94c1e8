#include "converter/driver/pipeline.h"

#include <memory>
#include <string>

#include "converter/mpformat/map_reader.h"
#include "converter/mpformat/map_writer.h"
#include "converter/tokenizer/errors.h"
#include "converter/tokenizer/tokenizer.h"

namespace zarvex {

namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

}  // namespace

bool applyRules(const ObjectConfImpl& entry, const MapObject& object,
                ObjectAttributes& attributes) {
  attributes.reset();
  entry.initAttributes(object, attributes);
  entry.block.execute(object, attributes);
  if (!attributes.exportObject) return false;
  if (attributes.type != -1) return true;
  // The per-kind value is taken as it is, even when it is -1 itself.
  switch (attributes.kind) {
    case ObjectKind::Point:
      attributes.type = attributes.pointType;
      return true;
    case ObjectKind::Line:
      attributes.type = attributes.lineType;
      return true;
    case ObjectKind::Polygon:
      attributes.type = attributes.polygonType;
      return true;
    default:
      throw UnknownObjectType(attributes.kind);
  }
}

void processMapFile(const ObjectConfImpl& entry, FILE* input, FILE* out, bool lenient) {
  // Closes the map on every way out, a read error included.
  std::unique_ptr<FILE, FileCloser> inputGuard(input);
  Tokenizer tokenizer(input);
  MapReader reader(tokenizer, entry.fileName, ReadOptions{.lenient = lenient});
  try {
    reader.ReadHeader();
    tokenizer.returnComments = true;
    while (reader.ReadObject()) {
    }
  } catch (const ParserException&) {
    std::fprintf(stderr, "Error in file: '%s'\n", entry.fileName.c_str());
    tokenizer.dumpToken(stdout);
    throw;
  }
  inputGuard.reset();
  for (const std::string& line : reader.lenientReport().summaryLines())
    std::fprintf(stderr, "%s\n", line.c_str());

  // A fresh record per map file: zip, www, road_class and speed_limit carry over between the
  // objects of this file only, starting empty and 0.
  ObjectAttributes attributes;
  MapWriter writer;
  try {
    for (const MapObject& object : reader.objects()) {
      if (!applyRules(entry, object, attributes)) continue;
      writer.WriteObject(object, out, attributes);
      // A full disk stays full: the driver reports the failed output, no need to go on.
      if (std::ferror(out)) return;
    }
  } catch (const UnknownObjectType&) {
    // What was written before the object stays in the output, ahead of the driver's message.
    writer.flush(out);
    throw;
  }
  writer.flush(out);
}

}  // namespace zarvex
