#include "converter/mpformat/map_reader.h"

#include <array>
#include <string_view>
#include <utility>

#include "converter/mpformat/comment_attribute.h"
#include "converter/mpformat/measures.h"
#include "converter/tokenizer/errors.h"

namespace zarvex {
namespace {

// Scratch space up to this many points stays allocated between lines.
constexpr size_t kKeptScratchPoints = size_t{1} << 16;

enum class KeyAction : uint8_t { Label, Text, EndLevel, Type, DirIndicator, City };

struct KeyRow {
  std::string_view key;
  KeyAction action;
  TextField field;
};

constexpr KeyRow text(std::string_view key, TextField field) {
  return {key, KeyAction::Text, field};
}
constexpr KeyRow other(std::string_view key, KeyAction action) {
  return {key, action, TextField::text};
}

// The keys matched whole. No key that is matched by its beginning (data, origin, nod, numbers)
// would be shadowed by one of these, so looking them up before or after the prefixes is the same.
constexpr std::array kKeys = {
    other("type", KeyAction::Type),
    other("label", KeyAction::Label),
    other("endlevel", KeyAction::EndLevel),
    text("countryname", TextField::countryName),
    text("regionname", TextField::regionName),
    text("districtname", TextField::districtName),
    text("cityname", TextField::cityName),
    text("cityidx", TextField::cityIdx),
    text("zipidx", TextField::zipIdx),
    text("streetdesc", TextField::streetDesc),
    text("housenumber", TextField::houseNumber),
    text("phone", TextField::phone),
    text("fax", TextField::fax),
    text("email", TextField::email),
    text("webpage", TextField::webPage),
    text("text", TextField::text),
    text("background", TextField::background),
    text("routeparamext", TextField::routeParamExt),
    text("routeparams", TextField::routeParams),
    text("dontfind", TextField::dontFind),
    other("dirindicator", KeyAction::DirIndicator),
    other("city", KeyAction::City),
    text("roadid", TextField::roadId),
    text("routeparam", TextField::routeParam),
    text("nod", TextField::nod),
    text("traffpoints", TextField::traffPoints),
    text("traffroads", TextField::traffRoads),
    text("time", TextField::time),
};

struct SectionRow {
  std::string_view word;
  ObjectKind kind;
};

constexpr std::array kSections = {
    SectionRow{"polyline", ObjectKind::Line},       SectionRow{"rgn40", ObjectKind::Line},
    SectionRow{"polygon", ObjectKind::Polygon},     SectionRow{"rgn80", ObjectKind::Polygon},
    SectionRow{"poi", ObjectKind::Point},           SectionRow{"rgn10", ObjectKind::Point},
    SectionRow{"rgn20", ObjectKind::Point},         SectionRow{"restrict", ObjectKind::Restriction},
    SectionRow{"countries", ObjectKind::Countries}, SectionRow{"regions", ObjectKind::Regions},
    SectionRow{"districts", ObjectKind::Districts}, SectionRow{"cities", ObjectKind::Cities},
    SectionRow{"zipcodes", ObjectKind::ZipCodes},
};

constexpr std::array<std::string_view, 7> kEndWords = {
    "end",           "end-restrict", "end-countries", "end-regions",
    "end-districts", "end-cities",   "end-zipcodes",
};

bool startsWith(const std::string& s, std::string_view prefix) {
  return s.size() >= prefix.size() && std::string_view(s).substr(0, prefix.size()) == prefix;
}

// [END-<anything>], as lenient reading accepts it for every section.
bool isAnyEndWord(const std::string& word) {
  return word == "end" || startsWith(word, "end-");
}

std::string bracketed(const std::string& name) {
  return "[" + name + "]";
}

}  // namespace

bool MapReader::ReadObject() {
  MapObject object;
  object.locLine = static_cast<uint32_t>(tokenizer_.lineCount);
  object.locFile = fileName_;

  int32_t token = tokenizer_.nextToken();
  for (; token == Tokenizer::TokenComment; token = tokenizer_.nextToken())
    if (auto attribute = parseCommentAttribute(tokenizer_.text))
      object.comments.push_back(std::move(*attribute));
  if (token == Tokenizer::TokenEof) return false;

  if (token != '[') fail("'[' expected");
  bool known = false;
  bool unknownWord = false;
  if (tokenizer_.nextToken() == Tokenizer::TokenWord) {
    for (const SectionRow& row : kSections)
      if (tokenizer_.text == row.word) {
        object.kind = row.kind;
        known = true;
        break;
      }
    // A stray closing line is malformed, not a section of another kind.
    unknownWord = !known && !isAnyEndWord(tokenizer_.text);
  }
  if (unknownWord && options_.lenient) {
    const std::string name = bracketed(tokenizer_.wordSpelling);
    const int32_t line = currentLine();
    expectChar(']', "']' expected");
    skipSection();
    report_.add(LenientReport::Item::Section, name, line);
  } else {
    if (!known)
      fail(
          "'zipcodes', 'cities', 'regions', 'districts', 'countries', 'polyline', 'polygon', "
          "'poi' or 'restrict' expected");
    expectChar(']', "']' expected");
    readSectionBody(object);
    if (options_.keepObjects) {
      if (object.kind == ObjectKind::Polygon) classifyRings(object);
      object.shrinkToFit();
      objects_.push_back(std::move(object));
    }
  }

  tokenizer_.nextToken();
  tokenizer_.pushBack();
  return tokenizer_.tokenType != Tokenizer::TokenEof;
}

// key=value ... [END]
void MapReader::readSectionBody(MapObject& object) {
  while (tokenizer_.nextToken() != '[') {
    if (tokenizer_.tokenType != Tokenizer::TokenWord) {
      if (tokenizer_.tokenType == Tokenizer::TokenComment && options_.lenient) {
        report_.add(LenientReport::Item::CommentLine, {}, currentLine());
        continue;
      }
      fail("word expected");
    }
    const std::string key = tokenizer_.text;
    expectChar('=', "'=' expected");
    readObjectKey(object, key);
  }

  bool closed = false;
  if (tokenizer_.nextToken() == Tokenizer::TokenWord) {
    for (std::string_view word : kEndWords)
      if (tokenizer_.text == word) {
        closed = true;
        break;
      }
    if (!closed && options_.lenient && isAnyEndWord(tokenizer_.text)) {
      closed = true;
      report_.add(LenientReport::Item::SectionEnd, bracketed(tokenizer_.wordSpelling),
                  currentLine());
    }
  }
  if (!closed) fail("'end' expected");
  expectChar(']', "']' expected");
}

// Tokens of any kind up to [END] or [END-<anything>]; what such a section holds is not read.
void MapReader::skipSection() {
  for (;;) {
    const int32_t token = tokenizer_.nextToken();
    if (token == Tokenizer::TokenEof) fail("'end' expected");
    if (token != '[') continue;
    if (tokenizer_.nextToken() == Tokenizer::TokenWord && isAnyEndWord(tokenizer_.text)) {
      expectChar(']', "']' expected");
      return;
    }
    // It may be the '[' of the closing line itself.
    tokenizer_.pushBack();
  }
}

void MapReader::readObjectKey(MapObject& object, const std::string& key) {
  // Coordinate lines are most of a map, so they are tested first.
  const bool isData = startsWith(key, "data");
  if (isData || startsWith(key, "origin")) {
    const int32_t level = parseIntText(key.substr(isData ? 4 : 6));
    object.data.push_back(DataLine{RingRole::None, level, {}});
    ReadCoordinates(object.data.back());
    return;
  }
  for (const KeyRow& row : kKeys) {
    if (key != row.key) continue;
    switch (row.action) {
      case KeyAction::Label:
        tokenizer_.readValueLine();
        object.label = takeValue();
        return;
      case KeyAction::Text:
        tokenizer_.readValueLine();
        object.set(row.field, takeValue());
        return;
      case KeyAction::EndLevel:
        object.endLevel = readIntToken();
        return;
      case KeyAction::Type:
        object.type = readIntToken();
        return;
      case KeyAction::DirIndicator:
        object.dirIndicator = readBoolToken();
        return;
      case KeyAction::City:
        object.city = readBoolToken();
        return;
    }
  }
  std::vector<KeyValue>* entries = nullptr;
  if (startsWith(key, "nod"))
    entries = &object.nodEntries();
  else if (startsWith(key, "numbers"))
    entries = &object.numbersEntries();
  else if (isListKind(object.kind))
    entries = &object.listRecords();
  else if (!options_.lenient)
    fail("Unknown variable: " + key);
  if (entries == nullptr) {
    keepObjectKey(object, key);
    return;
  }
  tokenizer_.readValueLine();
  entries->push_back(KeyValue{key, takeValue()});
}

// A key that the strict reader refuses: the older name of EndLevel, or one kept as written.
void MapReader::keepObjectKey(MapObject& object, const std::string& key) {
  std::string spelling = tokenizer_.wordSpelling;
  const int32_t line = currentLine();
  if (key == "levels") {
    object.endLevel = readIntToken();
    report_.add(LenientReport::Item::LevelsAsEndLevel, spelling, line);
    return;
  }
  tokenizer_.readValueLine();
  report_.add(LenientReport::Item::ObjectKey, spelling, line);
  object.keptKeys().push_back(KeyValue{std::move(spelling), takeValue()});
}

// The value line just read. A long one hands the tokenizer's buffer over instead of being copied;
// a short one is copied, so that the buffer keeps its room for the tokens to come.
std::string MapReader::takeValue() {
  constexpr size_t kLongValue = 4096;
  if (tokenizer_.text.size() < kLongValue) return tokenizer_.text;
  return std::exchange(tokenizer_.text, std::string());
}

// (lat,lon),(lat,lon),...
void MapReader::ReadCoordinates(DataLine& line) {
  scratch_.clear();
  do {
    double lat = 0.0;
    double lon = 0.0;
    if (!tokenizer_.scanPoint(lat, lon)) {
      expectChar('(', "'(' expected");
      lat = readNumberToken();
      expectChar(',', "',' expected");
      lon = readNumberToken();
      expectChar(')', "')' expected");
    }
    scratch_.push_back(GeoPoint{lon, lat});
  } while (tokenizer_.takeChar(',') || tokenizer_.nextToken() == ',');
  tokenizer_.pushBack();
  line.points.assign(scratch_.begin(), scratch_.end());
  // One huge line should not keep its scratch space for the rest of the file.
  if (scratch_.capacity() > kKeptScratchPoints) std::vector<GeoPoint>().swap(scratch_);
}

}  // namespace zarvex
