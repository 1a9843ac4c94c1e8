#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace visual {

/// A position as the map gives it, in degrees.
struct GeoXY {
  double lon = 0.0;
  double lat = 0.0;
};

/// The smallest rectangle around a set of positions; empty until something is added.
struct GeoBounds {
  double minLon = 0.0, minLat = 0.0, maxLon = 0.0, maxLat = 0.0;
  bool empty = true;
  void add(const GeoXY& p) {
    if (empty) {
      minLon = maxLon = p.lon;
      minLat = maxLat = p.lat;
      empty = false;
      return;
    }
    if (p.lon < minLon) minLon = p.lon;
    if (p.lon > maxLon) maxLon = p.lon;
    if (p.lat < minLat) minLat = p.lat;
    if (p.lat > maxLat) maxLat = p.lat;
  }
  void add(const GeoBounds& b) {
    if (b.empty) return;
    add(GeoXY{b.minLon, b.minLat});
    add(GeoXY{b.maxLon, b.maxLat});
  }
};

/// One coordinate line of an object: a run of `points` of the map.
struct PreviewLine {
  uint32_t first = 0;
  uint32_t count = 0;
  GeoBounds bounds;
  /// The same line thinned for views of the whole map: a run of `coarsePoints`.
  uint32_t coarseFirst = 0;
  uint32_t coarseCount = 0;
};

/// One drawable object of a level: kinds as the tree has them (0 polyline, 1 polygon, 2 point).
/// `sourceKind` and `sourceType` are those of the object of the open map it was made from, so
/// that a retyped object is still found under its tree entry.
struct PreviewObject {
  int kind = 0;
  int type = 0;
  int sourceKind = 0;
  int sourceType = 0;
  std::string label;  // bytes in the map's code page
  uint32_t firstLine = 0;
  uint32_t lineCount = 0;
  GeoBounds bounds;
};

/// What one level draws, in drawing order: polygons, then polylines, then points.
struct PreviewMap {
  std::vector<PreviewObject> objects;
  std::vector<PreviewLine> lines;
  std::vector<GeoXY> points;
  GeoBounds bounds;
  /// The lines' points with neighbours closer than `coarseStep` degrees left out; a view in
  /// which that step is below half a pixel draws these instead. Empty before buildCoarse().
  std::vector<GeoXY> coarsePoints;
  double coarseStep = 0.0;
};

/// How heavy a level is: objects with a coordinate line of the level and the points of those
/// lines, beside all points of the open map.
struct LevelCounts {
  std::uint64_t objects = 0;
  std::uint64_t points = 0;
  std::uint64_t sourcePoints = 0;
  /// points / sourcePoints, 0 when the map has no points.
  double share() const {
    return sourcePoints == 0 ? 0.0 : static_cast<double>(points) / sourcePoints;
  }
};

/// Counts of `map` measured against `sourcePoints`.
LevelCounts countsOf(const PreviewMap& map, std::uint64_t sourcePoints);

/// The caption of a level in the view's selector and in printed counts: "Исходная карта" for
/// level -1, else the level with its bits and zoom label (UTF-8).
std::string levelTitle(int level, int bits);

/// The share of the source map's points as a percentage with one decimal ("12.5%").
std::string shareText(const LevelCounts& counts);

/// Fills the thinned copy of every line, so that a view of a whole large map projects a few
/// points per pixel instead of all of them.
void buildCoarse(PreviewMap& map);

/// Orders the objects for drawing (polygons, polylines, points; file order within a kind).
void sortForDrawing(PreviewMap& map);

}  // namespace visual
