#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "converter/tokenizer/tokenizer.h"
#include "converter/mpformat/map_header.h"
#include "converter/mpformat/map_object.h"

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
  [[noreturn]] void fail(const char* message) const;

  Tokenizer& tokenizer_;
  std::shared_ptr<const std::string> fileName_;
  MapHeader header_;
  std::deque<MapObject> objects_;
};

}  // namespace zarvex
