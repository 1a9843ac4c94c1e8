#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zarvex {

/// One coordinate pair; the file writes latitude first.
struct GeoPoint {
  double lon = 0.0;
  double lat = 0.0;
};

struct KeyValue {
  std::string key;
  std::string value;
};

/// Role of a polygon ring, set once the polygon has been read.
enum class RingRole : int32_t { None = 0, Hole = 1, Outer = 2 };

/// One `data`N or `origin`N line of an object.
struct DataLine {
  RingRole ringRole = RingRole::None;
  int32_t level = 0;
  std::vector<GeoPoint> points;
};

/// A boolean key that the section may leave out.
enum class TriState : uint8_t { Unset = 0, False = 1, True = 2 };

enum class ObjectKind : int32_t {
  Point = 0,
  Line = 1,
  Polygon = 2,
  Restriction = 3,
  Countries = 4,
  Regions = 5,
  Districts = 6,
  Cities = 7,
  ZipCodes = 8,
};

/// True for the five list sections (countries to zip codes).
constexpr bool isListKind(ObjectKind kind) {
  return kind >= ObjectKind::Countries && kind <= ObjectKind::ZipCodes;
}

/// The text keys of a section that most objects leave out. They are stored sparsely so that a
/// map held whole in memory pays only for the keys its objects use.
enum class TextField : uint8_t {
  countryName,
  regionName,
  districtName,
  cityName,
  streetDesc,
  cityIdx,
  zipIdx,
  houseNumber,
  roadId,
  routeParam,
  nod,
  traffPoints,
  traffRoads,
  time,
  phone,
  fax,
  email,
  webPage,
  text,
  dontFind,
  background,
  routeParamExt,
  routeParams,
};

/// One section of a map file, as read.
class MapObject {
 public:
  ObjectKind kind = ObjectKind::Point;
  int32_t type = 0;
  int32_t endLevel = 0;
  TriState dirIndicator = TriState::Unset;
  TriState city = TriState::Unset;
  uint32_t locLine = 0;
  std::string label;
  /// Comment lines of the form key=value before the section header, case kept.
  std::vector<KeyValue> comments;
  /// The `data`N and `origin`N lines, in file order.
  std::vector<DataLine> data;
  /// Other keys beginning with `nod` and with `numbers`, keys in lower case.
  std::vector<KeyValue> nodEntries;
  std::vector<KeyValue> numbersEntries;
  /// The records of a list section (kind Countries to ZipCodes), keys in lower case.
  std::vector<KeyValue> listRecords;
  /// The map file's name as the script gave it; shared by all objects of one file.
  std::shared_ptr<const std::string> locFile;

  /// The value of a sparse text key; empty when the section did not give it.
  const std::string& get(TextField field) const {
    for (const auto& [f, value] : texts_)
      if (f == field) return value;
    return empty();
  }
  /// Stores a sparse text key, replacing an earlier value.
  void set(TextField field, std::string value) {
    for (auto& [f, v] : texts_)
      if (f == field) {
        v = std::move(value);
        return;
      }
    texts_.emplace_back(field, std::move(value));
  }
  /// The list records of the given list kind: those read when it is this object's kind, else none.
  const std::vector<KeyValue>& listEntries(ObjectKind listKind) const {
    static const std::vector<KeyValue> none;
    return listKind == kind ? listRecords : none;
  }
  const std::string& locFileName() const { return locFile ? *locFile : empty(); }
  /// Gives back the spare capacity of the object's arrays, for objects that are kept long.
  void shrinkToFit() {
    comments.shrink_to_fit();
    data.shrink_to_fit();
    nodEntries.shrink_to_fit();
    numbersEntries.shrink_to_fit();
    listRecords.shrink_to_fit();
    texts_.shrink_to_fit();
  }

 private:
  static const std::string& empty() {
    static const std::string e;
    return e;
  }
  std::vector<std::pair<TextField, std::string>> texts_;
};

}  // namespace zarvex
