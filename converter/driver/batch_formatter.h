#pragma once

#include <cstddef>
#include <vector>

#include "converter/mpformat/map_object.h"
#include "converter/mpformat/object_attributes.h"
#include "converter/mpformat/output_buffer.h"

namespace zarvex {

/// An object to be written, with its attributes as the rules left them.
struct RuledObject {
  MapObject object;
  ObjectAttributes attributes;
};

/// The text of a batch, and its records, whose room the next batch takes.
struct FormattedBatch {
  OutputBuffer text;
  std::vector<RuledObject> records;
};

/// The text that the writer writes for the first `count` objects of `batch`, in order, in the
/// room of `buffer`; needs nothing but the batch, so that batches can be formatted side by side.
OutputBuffer formatBatch(const std::vector<RuledObject>& batch, std::size_t count,
                         OutputBuffer buffer);

}  // namespace zarvex
