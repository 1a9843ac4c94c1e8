#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "converter/mpformat/lenient_report.h"
#include "converter/mpformat/map_header.h"
#include "converter/mpformat/map_object.h"
#include "converter/tokenizer/tokenizer.h"

namespace zarvex {

/// How a map is read.
struct ReadOptions {
  /// Read maps as the editors of the field write them: what the strict reader does not know is
  /// skipped (header keys, sections) or kept verbatim (object keys) instead of refused; a
  /// malformed map is still an error. What was done goes to lenientReport().
  bool lenient = false;
  /// Append each object to objects(); off when only whether the map reads matters.
  bool keepObjects = true;
};

/// Reads one map file: the header section, then one object section per ReadObject().
class MapReader {
 public:
  /// Sets the map profile on `tokenizer`, which the caller owns and keeps open.
  MapReader(Tokenizer& tokenizer, std::string fileName, ReadOptions options = {});

  /// Reads `[IMG ID]` ... `[END-IMG ID]` into header(); throws ParserException when malformed.
  void ReadHeader();
  /// Reads one object section and appends it to objects(); false when no further token follows.
  /// A section that lenient reading skips appends nothing. Needs the tokenizer's returnComments
  /// on.
  bool ReadObject();

  const MapHeader& header() const { return header_; }
  std::deque<MapObject>& objects() { return objects_; }
  /// What lenient reading skipped or kept so far; empty when reading strictly.
  const LenientReport& lenientReport() const { return report_; }

  // Value parsers; each throws ParserException with the tokenizer's lineCount.
  TriState parseBoolText(const std::string& text) const;
  TriState readBoolToken();
  int32_t readIntToken();
  int32_t parseIntText(const std::string& text) const;
  float parseFloatText(const std::string& text) const;

 private:
  void ReadCoordinates(DataLine& line);
  bool readHeaderKey(const std::string& key, const std::string& value);
  void readHeaderKeyLeniently(const std::string& key, const std::string& value, int32_t line);
  void readSectionBody(MapObject& object);
  void readObjectKey(MapObject& object, const std::string& key);
  void keepObjectKey(MapObject& object, const std::string& key);
  std::string takeValue();
  void skipSection();
  int32_t currentLine() const { return tokenizer_.lineCount + 1; }
  MapLevel& levelAt(const std::string& digits);
  double readNumberToken();
  void expectChar(char c, const char* message);
  void expectWord(const char* word, const char* message);
  [[noreturn]] void fail(const char* message) const;
  [[noreturn]] void fail(const std::string& message) const;

  Tokenizer& tokenizer_;
  std::shared_ptr<const std::string> fileName_;
  ReadOptions options_;
  LenientReport report_;
  MapHeader header_;
  std::deque<MapObject> objects_;
  // Coordinates are gathered here and stored at their exact size, so that an object held whole
  // in memory carries no spare capacity.
  std::vector<GeoPoint> scratch_;
};

}  // namespace zarvex
