#include "converter/driver/batch_formatter.h"

#include <utility>

#include "converter/mpformat/map_writer.h"

namespace zarvex {

OutputBuffer formatBatch(const std::vector<RuledObject>& batch, OutputBuffer buffer) {
  MapWriter writer(std::move(buffer));
  for (const RuledObject& ruled : batch) writer.WriteObject(ruled.object, nullptr, ruled.attributes);
  return writer.takeText();
}

}  // namespace zarvex
