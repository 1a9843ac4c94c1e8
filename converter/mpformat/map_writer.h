#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "converter/mpformat/map_object.h"
#include "converter/mpformat/object_attributes.h"
#include "converter/mpformat/output_buffer.h"

namespace zarvex {

/// Writes objects in the Polish format. Objects are formatted into a buffer of the writer's own
/// that goes to the stream in large pieces; flush() hands over the rest, and must be called
/// before anything else writes to the same stream, so that the stream keeps the order of writes.
class MapWriter {
 public:
  /// Writes one object from its attributes as the rules left them; write errors show on `out`.
  /// With no stream the text stays in the writer, whole, until takeText().
  void WriteObject(const MapObject& object, FILE* out, const ObjectAttributes& attributes);
  /// Hands every object written so far to `out`.
  void flush(FILE* out);
  /// The text of every object written so far that has not gone to a stream.
  OutputBuffer takeText() { return std::exchange(buffer_, OutputBuffer()); }

 private:
  void append(const char* text) { buffer_.append(text); }
  void append(const std::string& text) { buffer_.append(text); }
  void appendInt(int32_t value);
  void appendFixed6(double value);
  void appendPoint(double lat, double lon);
  void appendLine(const char* key, const std::string& value);
  void appendNonEmpty(const char* key, const std::string& value);
  // "key=value" lines, each written even when the value is empty.
  void appendKeyValues(const std::vector<KeyValue>& entries);
  void appendCoordinates(const MapObject& object, const ObjectAttributes& attributes);
  // Hands the buffer over once it is large; false when the stream has failed.
  bool flushIfLarge(FILE* out);

  OutputBuffer buffer_;
  // The stream of the object being written, for values too large to go through the buffer.
  FILE* out_ = nullptr;
};

}  // namespace zarvex
