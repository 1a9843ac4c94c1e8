#include "converter/driver/batch_formatter.h"

#include <utility>

#include "converter/mpformat/map_writer.h"

namespace zarvex {

OutputBuffer formatBatch(const std::vector<RuledObject>& batch, std::size_t count,
                         OutputBuffer buffer) {
  MapWriter writer(std::move(buffer));
  for (std::size_t i = 0; i < count; ++i)
    writer.WriteObject(batch[i].object, nullptr, batch[i].attributes);
  return writer.takeText();
}

}  // namespace zarvex
