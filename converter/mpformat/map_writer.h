#pragma once

#include <cstdint>
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
  void append(const char* text) { buffer_.append(text); }
  void append(const std::string& text) { buffer_.append(text); }
  void appendInt(int32_t value);
  void appendFixed6(double value);
  void appendPoint(double lat, double lon);
  void appendLine(const char* key, const std::string& value);
  void appendNonEmpty(const char* key, const std::string& value);
  void appendCoordinates(const MapObject& object, const ObjectAttributes& attributes);
  void flushIfLarge(FILE* out);
  void flush(FILE* out);

  std::string buffer_;
};

}  // namespace zarvex
