#include "converter/mpformat/map_reader.h"

#include <algorithm>
#include <cstddef>

#include "converter/tokenizer/errors.h"

namespace zarvex {
namespace {

constexpr size_t kMaxLevels = 100;

}  // namespace

// [IMG ID] key=value ... [END-IMG ID]
void MapReader::ReadHeader() {
  expectChar('[', "'[' expected");
  expectWord("img", "'img' expected");
  expectWord("id", "'id' expected");
  expectChar(']', "']' expected");
  for (;;) {
    const int32_t token = tokenizer_.nextToken();
    if (token == '[') {
      expectWord("end-img", "'end-img' expected");
      expectWord("id", "'id' expected");
      expectChar(']', "']' expected");
      return;
    }
    if (token != Tokenizer::TokenWord) fail("word expected");
    const std::string key = tokenizer_.text;
    const int32_t line = currentLine();
    expectChar('=', "'=' expected");
    tokenizer_.readValueLine();
    if (options_.lenient)
      readHeaderKeyLeniently(key, tokenizer_.text, line);
    else if (!readHeaderKey(key, tokenizer_.text))
      fail("Unknown variable: " + key);
  }
}

// The header is validated and then not used, so lenient reading loses nothing by skipping a line
// that the strict reader refuses.
void MapReader::readHeaderKeyLeniently(const std::string& key, const std::string& value,
                                       int32_t line) {
  try {
    if (!readHeaderKey(key, value))
      report_.add(LenientReport::Item::HeaderKey, tokenizer_.wordSpelling, line);
  } catch (const ParserException&) {
    report_.add(LenientReport::Item::HeaderValue, tokenizer_.wordSpelling, line);
  }
}

MapLevel& MapReader::levelAt(const std::string& digits) {
  const int32_t index = parseIntText(digits);
  if (index < 0 || static_cast<size_t>(index) >= header_.levels.size()) fail("Invalid level index");
  return header_.levels[static_cast<size_t>(index)];
}

// False for a key that the header does not have.
bool MapReader::readHeaderKey(const std::string& key, const std::string& value) {
  MapHeader& h = header_;
  if (key == "id") {
    h.id = value;
  } else if (key == "name") {
    h.name = value;
  } else if (key == "typeset") {
    h.typeSet = value;
  } else if (key == "elevation") {
    if (value == "M")
      h.elevation = 1;
    else if (value == "F")
      h.elevation = 0;
    else
      fail("Unknown elevation type");
  } else if (key == "preprocess") {
    h.preprocess = parseBoolText(value);
  } else if (key == "codepage") {
    h.codePage = parseIntText(value);
  } else if (key == "lblcoding") {
    h.lblCoding = parseIntText(value);
  } else if (key == "tresize") {
    h.treSize = parseIntText(value);
  } else if (key == "tremargin") {
    h.treMargin = parseFloatText(value);
  } else if (key == "rgnlimit") {
    h.rgnLimit = parseIntText(value);
  } else if (key == "poiindex") {
    h.poiIndex = parseBoolText(value);
  } else if (key == "copyright") {
    h.copyright = value;
  } else if (key == "routing") {
    h.routing = parseBoolText(value);
  } else if (key == "levels") {
    const int32_t count = parseIntText(value);
    // Level keys carry at most two digits, so entries past the hundredth cannot be addressed;
    // creating them would only let a bad count exhaust memory.
    if (count > 0)
      h.levels.resize(std::min(h.levels.size() + static_cast<size_t>(count), kMaxLevels));
  } else if (key.compare(0, 5, "level") == 0) {
    MapLevel& level = levelAt(key.substr(5, 2));
    level.bits = parseIntText(value);
  } else if (key.compare(0, 4, "zoom") == 0) {
    MapLevel& level = levelAt(key.substr(4, 2));
    level.zoom = parseIntText(value);
  } else {
    return false;
  }
  return true;
}

}  // namespace zarvex
