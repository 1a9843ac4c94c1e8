#pragma once

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

/// The text that the writer writes for `batch`, in order, in the room of `buffer`; needs
/// nothing but the batch, so that batches can be formatted side by side.
OutputBuffer formatBatch(const std::vector<RuledObject>& batch, OutputBuffer buffer);

}  // namespace zarvex
