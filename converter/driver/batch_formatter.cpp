#include "converter/driver/batch_formatter.h"

#include "converter/mpformat/map_writer.h"

namespace zarvex {

OutputBuffer formatBatch(const std::vector<RuledObject>& batch) {
  MapWriter writer;
  for (const RuledObject& ruled : batch) writer.WriteObject(ruled.object, nullptr, ruled.attributes);
  return writer.takeText();
}

}  // namespace zarvex
