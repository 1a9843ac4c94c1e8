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
  MapWriter() = default;
  /// A writer that formats into `buffer`, whose room is kept for reuse; its text is dropped.
  explicit MapWriter(OutputBuffer buffer) : buffer_(std::move(buffer)) { buffer_.clear(); }

  /// Writes one object from its attributes as the rules left them; write errors show on `out`.
  /// With no stream the text stays in the writer, whole, until takeText().
  void WriteObject(const MapObject& object, FILE* out, const ObjectAttributes& attributes);
  /// Hands every object written so far to `out`.
  void flush(FILE* out);
  /// The text of every object written so far that has not gone to a stream.
  OutputBuffer takeText() { return std::exchange(buffer_, OutputBuffer()); }
  /// The same text, left in the writer; clearText() drops it and keeps its room.
  const OutputBuffer& text() const { return buffer_; }
  void clearText() { buffer_.clear(); }

 private:
  void append(const char* text) { buffer_.append(text); }
  void append(const std::string& text) { buffer_.append(text); }
  void appendInt(int32_t value);
  static void appendPoint(OutputBuffer& to, double lat, double lon);
  // The points of `line`, closed when it is a ring written as a line; false when the stream
  // has failed.
  bool appendPoints(OutputBuffer& to, const DataLine& line, bool closeRing);
  // Text of any size; a huge one goes to the stream directly, not through the buffer. False
  // when the stream has failed.
  bool appendText(const char* text, size_t size);
  void appendLine(const char* key, const std::string& value);
  void appendNonEmpty(const char* key, const std::string& value);
  // "key=value" lines, each written even when the value is empty.
  void appendKeyValues(const std::vector<KeyValue>& entries);
  void appendCoordinates(const MapObject& object, const ObjectAttributes& attributes);
  // Hands the buffer over once it is large; false when the stream has failed.
  bool flushIfLarge(FILE* out);

  OutputBuffer buffer_;
  // The coordinates of the object's lines, formatted once for all its levels, and where the
  // text of each line ends.
  OutputBuffer lineText_;
  std::vector<size_t> lineEnds_;
  // The stream of the object being written, for values too large to go through the buffer.
  FILE* out_ = nullptr;
};

}  // namespace zarvex
