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

/// One section of a map file, as read. A map is held whole in memory, so what most objects
/// leave out (the rare text keys, `nod`N and `numbers`N entries, list records, kept keys) lives
/// in a block of its own that an object only allocates when it has any of them.
class MapObject {
 public:
  MapObject() = default;
  MapObject(const MapObject& other) : MapObject(other, 0) {}
  MapObject(MapObject&&) noexcept = default;
  MapObject& operator=(const MapObject& other) {
    if (this != &other) *this = MapObject(other);
    return *this;
  }
  MapObject& operator=(MapObject&&) noexcept = default;
  ~MapObject() = default;

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
  /// The map file's name as the script gave it; shared by all objects of one file.
  std::shared_ptr<const std::string> locFile;

  /// The value of a sparse text key; empty when the section did not give it.
  const std::string& get(TextField field) const {
    if (rare_)
      for (const auto& [f, value] : rare_->texts)
        if (f == field) return value;
    return empty();
  }
  /// True when the section gave any sparse text key.
  bool hasSparseTexts() const { return rare_ && !rare_->texts.empty(); }
  /// Stores a sparse text key, replacing an earlier value.
  void set(TextField field, std::string value) {
    for (auto& [f, v] : rare().texts)
      if (f == field) {
        v = std::move(value);
        return;
      }
    rare_->texts.emplace_back(field, std::move(value));
  }
  /// Other keys beginning with `nod` and with `numbers`, keys in lower case.
  const std::vector<KeyValue>& nodEntries() const { return rare_ ? rare_->nodEntries : none(); }
  std::vector<KeyValue>& nodEntries() { return rare().nodEntries; }
  const std::vector<KeyValue>& numbersEntries() const {
    return rare_ ? rare_->numbersEntries : none();
  }
  std::vector<KeyValue>& numbersEntries() { return rare().numbersEntries; }
  /// Keys that only lenient reading takes, as the map spells them, with their values, in the
  /// order read; written back verbatim.
  const std::vector<KeyValue>& keptKeys() const { return rare_ ? rare_->keptKeys : none(); }
  std::vector<KeyValue>& keptKeys() { return rare().keptKeys; }
  /// The records of a list section (kind Countries to ZipCodes), keys in lower case.
  const std::vector<KeyValue>& listRecords() const { return rare_ ? rare_->listRecords : none(); }
  std::vector<KeyValue>& listRecords() { return rare().listRecords; }
  /// The list records of the given list kind: those read when it is this object's kind, else none.
  const std::vector<KeyValue>& listEntries(ObjectKind listKind) const {
    return listKind == kind ? listRecords() : none();
  }
  const std::string& locFileName() const { return locFile ? *locFile : empty(); }
  /// Gives back the spare capacity of the object's arrays, for objects that are kept long.
  void shrinkToFit() {
    comments.shrink_to_fit();
    data.shrink_to_fit();
    if (rare_) {
      rare_->nodEntries.shrink_to_fit();
      rare_->numbersEntries.shrink_to_fit();
      rare_->listRecords.shrink_to_fit();
      rare_->keptKeys.shrink_to_fit();
      rare_->texts.shrink_to_fit();
    }
  }

 private:
  struct Rare {
    std::vector<KeyValue> nodEntries;
    std::vector<KeyValue> numbersEntries;
    std::vector<KeyValue> listRecords;
    std::vector<KeyValue> keptKeys;
    std::vector<std::pair<TextField, std::string>> texts;
  };

  // Deep copy: the rare block is copied, not shared.
  MapObject(const MapObject& other, int)
      : kind(other.kind),
        type(other.type),
        endLevel(other.endLevel),
        dirIndicator(other.dirIndicator),
        city(other.city),
        locLine(other.locLine),
        label(other.label),
        comments(other.comments),
        data(other.data),
        locFile(other.locFile),
        rare_(other.rare_ ? std::make_unique<Rare>(*other.rare_) : nullptr) {}

  Rare& rare() {
    if (!rare_) rare_ = std::make_unique<Rare>();
    return *rare_;
  }
  static const std::string& empty() {
    static const std::string e;
    return e;
  }
  static const std::vector<KeyValue>& none() {
    static const std::vector<KeyValue> n;
    return n;
  }

  std::unique_ptr<Rare> rare_;
};

}  // namespace zarvex
