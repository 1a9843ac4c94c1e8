#pragma once

#include <cstdio>
#include <string>

#include "converter/mpformat/map_object.h"
#include "converter/mpformat/object_attributes.h"

namespace zarvex {

/// Writes objects in the Polish format. Each object is formatted into a reused buffer and handed
/// to the stream in one write, so that other writes to the same stream keep their order.
class MapWriter {
 public:
  /// Writes one object from its attributes as the rules left them; write errors show on `out`.
  void WriteObject(const MapObject& object, FILE* out, const ObjectAttributes& attributes);

 private:
  std::string buffer_;
};

}  // namespace zarvex
