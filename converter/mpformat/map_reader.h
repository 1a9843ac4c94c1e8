#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "converter/mpformat/map_header.h"
#include "converter/mpformat/map_object.h"
#include "converter/tokenizer/tokenizer.h"

namespace zarvex {

/// Reads one map file: the header section, then one object section per ReadObject().
class MapReader {
 public:
  /// Sets the map profile on `tokenizer`, which the caller owns and keeps open.
  MapReader(Tokenizer& tokenizer, std::string fileName);

  /// Reads `[IMG ID]` ... `[END-IMG ID]` into header(); throws ParserException when malformed.
  void ReadHeader();
  /// Reads one object section and appends it to objects(); false when no further token follows.
  /// Needs the tokenizer's returnComments on.
  bool ReadObject();

  const MapHeader& header() const { return header_; }
  std::deque<MapObject>& objects() { return objects_; }

  // Value parsers; each throws ParserException with the tokenizer's lineCount.
  TriState parseBoolText(const std::string& text) const;
  TriState readBoolToken();
  int32_t readIntToken();
  int32_t parseIntText(const std::string& text) const;
  float parseFloatText(const std::string& text) const;

 private:
  void ReadCoordinates(DataLine& line);
  void readHeaderKey(const std::string& key, const std::string& value);
  void readObjectKey(MapObject& object, const std::string& key);
  MapLevel& levelAt(const std::string& digits);
  double readNumberToken();
  void expectChar(char c, const char* message);
  void expectWord(const char* word, const char* message);
  [[noreturn]] void fail(const char* message) const;
  [[noreturn]] void fail(const std::string& message) const;

  Tokenizer& tokenizer_;
  std::shared_ptr<const std::string> fileName_;
  MapHeader header_;
  std::deque<MapObject> objects_;
  // Coordinates are gathered here and stored at their exact size, so that an object held whole
  // in memory carries no spare capacity.
  std::vector<GeoPoint> scratch_;
};

}  // namespace zarvex
