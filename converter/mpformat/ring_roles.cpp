#include "converter/mpformat/ring_roles.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace zarvex {
namespace {

// A ring vertex as the point-in-ring test sees it: rounded to single precision, then compared
// and computed in double precision.
struct RingVertex {
  double lat;
  double lon;
};

struct FloatRing {
  std::vector<RingVertex> vertices;
  double minLat = 0.0;
  double maxLat = 0.0;
  double minLon = 0.0;
  double maxLon = 0.0;
  bool finite = true;
};

FloatRing toFloatRing(const std::vector<GeoPoint>& ring) {
  FloatRing result;
  result.vertices.reserve(ring.size());
  for (const GeoPoint& p : ring)
    result.vertices.push_back({static_cast<double>(static_cast<float>(p.lat)),
                               static_cast<double>(static_cast<float>(p.lon))});
  if (!result.vertices.empty()) {
    result.minLat = result.maxLat = result.vertices[0].lat;
    result.minLon = result.maxLon = result.vertices[0].lon;
    for (const RingVertex& v : result.vertices) {
      result.minLat = std::fmin(result.minLat, v.lat);
      result.maxLat = std::fmax(result.maxLat, v.lat);
      result.minLon = std::fmin(result.minLon, v.lon);
      result.maxLon = std::fmax(result.maxLon, v.lon);
      result.finite = result.finite && std::isfinite(v.lat) && std::isfinite(v.lon);
    }
  }
  return result;
}

bool sameVertex(const RingVertex& a, const RingVertex& b) {
  return a.lat == b.lat && a.lon == b.lon;
}

// Only degenerate rings are left: every vertex equal, or every vertex on P's latitude. An edge
// along the latitude that holds P makes P a boundary point; anything else is outside.
RingPosition judgeFlatRing(GeoPoint p, const std::vector<RingVertex>& v) {
  const size_t n = v.size();
  for (size_t i = 0; i < n; ++i) {
    const RingVertex& a = v[i];
    const RingVertex& b = v[i + 1 == n ? 0 : i + 1];
    if (sameVertex(a, b)) continue;
    if (a.lat == p.lat && b.lat == p.lat && std::fmin(a.lon, b.lon) <= p.lon &&
        p.lon <= std::fmax(a.lon, b.lon))
      return RingPosition::Boundary;
  }
  return RingPosition::Outside;
}

RingPosition pointInFloatRing(GeoPoint p, const FloatRing& ring) {
  const std::vector<RingVertex>& v = ring.vertices;
  const size_t n = v.size();
  if (n == 0) return RingPosition::Outside;
  // Nothing of a ring wholly north or south of P, or wholly east of it, meets the westward ray.
  if (p.lat < ring.minLat || p.lat > ring.maxLat || p.lon < ring.minLon)
    return RingPosition::Outside;

  // The walk starts at a vertex off P's latitude, so that every touching run is entered from one
  // side and left to a side within the walk, even when the ring's first vertex lies inside a run.
  size_t start = n;
  for (size_t i = 0; i < n; ++i)
    if (v[i].lat != p.lat) {
      start = i;
      break;
    }
  bool allEqual = true;
  for (size_t i = 1; i < n && allEqual; ++i) allEqual = sameVertex(v[i], v[0]);
  if (allEqual || start == n) return allEqual ? RingPosition::Outside : judgeFlatRing(p, v);

  bool inside = false;
  bool arrivedNorth = v[start].lat > p.lat;
  bool runWest = false;
  for (size_t step = 0; step < n; ++step) {
    const size_t i = (start + step) % n;
    const RingVertex& a = v[i];
    const RingVertex& b = v[i + 1 == n ? 0 : i + 1];
    const bool aOn = a.lat == p.lat;
    const bool bOn = b.lat == p.lat;
    if (bOn) {
      if (b.lon == p.lon) return RingPosition::Boundary;
      if (aOn) {
        if (std::fmin(a.lon, b.lon) <= p.lon && p.lon <= std::fmax(a.lon, b.lon))
          return RingPosition::Boundary;
      } else {
        // A run holding no point of P lies wholly on one side of it, so its first vertex tells.
        runWest = b.lon < p.lon;
      }
      continue;
    }
    const bool leavesNorth = b.lat > p.lat;
    if (aOn) {
      if (runWest && leavesNorth != arrivedNorth) inside = !inside;
    } else if (leavesNorth != arrivedNorth) {
      const double x = a.lon + (b.lon - a.lon) * (p.lat - a.lat) / (b.lat - a.lat);
      const double crossing = static_cast<double>(static_cast<float>(x));
      if (crossing == p.lon) return RingPosition::Boundary;
      if (crossing < p.lon) inside = !inside;
    }
    arrivedNorth = leavesNorth;
  }
  return inside ? RingPosition::Inside : RingPosition::Outside;
}

// A lies inside B when its first point off B's boundary lies inside B.
bool liesInside(const std::vector<GeoPoint>& a, const FloatRing& b) {
  for (const GeoPoint& p : a) {
    const RingPosition position = pointInFloatRing(p, b);
    if (position != RingPosition::Boundary) return position == RingPosition::Inside;
  }
  return false;
}

// The rings whose point-in-ring test may answer anything but Outside for a given point, kept on
// a hierarchy of grids: each ring sits on the finest grid where its box spans at most 2 x 2 cells,
// so that a query looks at one cell per grid and each ring is stored at most four times.
//
// A point may lie in or on a ring only inside the ring's box: north, south and west of it the
// test itself answers Outside at once, and east of it the westward ray crosses the ring an even
// number of times, each crossing west of the point. A crossing is computed in double precision
// and rounded to single, so it may lie a few units of the last place east of the ring's easternmost
// vertex: the box reaches that far beyond it. The argument needs finite vertices; rings with
// others are tested against every point.
class RingIndex {
 public:
  explicit RingIndex(const std::vector<FloatRing>& rings) : rings_(rings) {
    std::vector<size_t> indexed;
    for (size_t b = 0; b < rings.size(); ++b) {
      if (rings[b].vertices.empty()) continue;  // holds no point
      if (rings[b].finite) {
        indexed.push_back(b);
      } else {
        unindexed_.push_back(static_cast<uint32_t>(b));
      }
    }
    if (indexed.empty()) return;
    south_ = rings[indexed[0]].minLat;
    north_ = rings[indexed[0]].maxLat;
    west_ = rings[indexed[0]].minLon;
    east_ = eastEdge(rings[indexed[0]]);
    for (size_t b : indexed) {
      south_ = std::min(south_, rings[b].minLat);
      north_ = std::max(north_, rings[b].maxLat);
      west_ = std::min(west_, rings[b].minLon);
      east_ = std::max(east_, eastEdge(rings[b]));
    }
    size_t side = 1;
    while (side * side < indexed.size() && side < kMaxSide) side *= 2;
    side_ = side;
    latScale_ = scale(north_ - south_);
    lonScale_ = scale(east_ - west_);

    // Each ring's grid and cells first, then the cells' lists in one array per grid.
    struct Placement {
      uint32_t ring;
      uint32_t level;
      size_t row0, row1, col0, col1;
    };
    std::vector<Placement> placements;
    placements.reserve(indexed.size());
    size_t levels = 1;
    while ((side >> (levels - 1)) > 2) ++levels;  // a box spans at most 2 x 2 cells of 2 x 2
    grids_.resize(levels);
    for (size_t level = 0; level < levels; ++level) {
      grids_[level].side = ((side_ - 1) >> level) + 1;
      grids_[level].offsets.assign(grids_[level].side * grids_[level].side + 1, 0);
    }
    for (size_t b : indexed) {
      const FloatRing& r = rings[b];
      size_t row0 = row(r.minLat), row1 = row(r.maxLat);
      size_t col0 = col(r.minLon), col1 = col(eastEdge(r));
      uint32_t level = 0;
      while (row1 - row0 > 1 || col1 - col0 > 1) {
        row0 >>= 1, row1 >>= 1, col0 >>= 1, col1 >>= 1;
        ++level;
      }
      placements.push_back({static_cast<uint32_t>(b), level, row0, row1, col0, col1});
      Grid& grid = grids_[level];
      for (size_t i = row0; i <= row1; ++i)
        for (size_t j = col0; j <= col1; ++j) ++grid.offsets[i * grid.side + j + 1];
    }
    for (Grid& grid : grids_) {
      for (size_t c = 1; c < grid.offsets.size(); ++c) grid.offsets[c] += grid.offsets[c - 1];
      grid.entries.resize(grid.offsets.back());
    }
    std::vector<std::vector<size_t>> fill(levels);
    for (size_t level = 0; level < levels; ++level)
      fill[level].assign(grids_[level].offsets.begin(), grids_[level].offsets.end() - 1);
    for (const Placement& p : placements) {
      Grid& grid = grids_[p.level];
      for (size_t i = p.row0; i <= p.row1; ++i)
        for (size_t j = p.col0; j <= p.col1; ++j)
          grid.entries[fill[p.level][i * grid.side + j]++] = p.ring;
    }
  }

  /// Calls `test(b)` for each ring b that may hold `p`, until one returns true; true if one did.
  template <typename Test>
  bool any(GeoPoint p, Test test) const {
    for (uint32_t b : unindexed_)
      if (test(b)) return true;
    if (!std::isfinite(p.lat) || !std::isfinite(p.lon)) {
      // Such a point is never in a box; the test decides it for every ring.
      for (size_t b = 0; b < rings_.size(); ++b)
        if (rings_[b].finite && !rings_[b].vertices.empty() && test(b)) return true;
      return false;
    }
    if (grids_.empty() || p.lat < south_ || p.lat > north_ || p.lon < west_ || p.lon > east_)
      return false;
    const size_t i0 = row(p.lat), j0 = col(p.lon);
    for (size_t level = 0; level < grids_.size(); ++level) {
      const Grid& grid = grids_[level];
      const size_t cell = (i0 >> level) * grid.side + (j0 >> level);
      for (size_t k = grid.offsets[cell]; k < grid.offsets[cell + 1]; ++k) {
        const uint32_t b = grid.entries[k];
        const FloatRing& r = rings_[b];
        if (p.lat >= r.minLat && p.lat <= r.maxLat && p.lon >= r.minLon && p.lon <= eastEdge(r) &&
            test(b))
          return true;
      }
    }
    return false;
  }

 private:
  // Enough cells for a million rings of even spread at one or two rings a cell.
  static constexpr size_t kMaxSide = 1024;

  struct Grid {
    size_t side = 1;
    std::vector<size_t> offsets;  // cell c lists entries[offsets[c]] up to entries[offsets[c + 1]]
    std::vector<uint32_t> entries;
  };

  static double eastEdge(const FloatRing& r) {
    const double reach = std::max(std::fabs(r.minLon), std::fabs(r.maxLon));
    return r.maxLon + std::ldexp(reach, -30);
  }

  double scale(double extent) const {
    const double s = static_cast<double>(side_) / extent;
    return std::isfinite(s) ? s : 0.0;
  }
  // Rounded operations are monotonic, so a point inside a box never falls outside its cells.
  size_t cellOf(double value, double origin, double scale) const {
    const double c = std::floor((value - origin) * scale);
    if (!(c > 0)) return 0;
    return c >= static_cast<double>(side_) ? side_ - 1 : static_cast<size_t>(c);
  }
  size_t row(double lat) const { return cellOf(lat, south_, latScale_); }
  size_t col(double lon) const { return cellOf(lon, west_, lonScale_); }

  const std::vector<FloatRing>& rings_;
  std::vector<uint32_t> unindexed_;
  std::vector<Grid> grids_;
  size_t side_ = 1;
  double south_ = 0.0, north_ = 0.0, west_ = 0.0, east_ = 0.0;
  double latScale_ = 0.0, lonScale_ = 0.0;
};

constexpr size_t kFewRings = 8;

std::vector<FloatRing> floatRings(const MapObject& object) {
  std::vector<FloatRing> rings;
  rings.reserve(object.data.size());
  for (const DataLine& line : object.data) rings.push_back(toFloatRing(line.points));
  return rings;
}

}  // namespace

// A ring can lie inside another only when its first point is in or on that other ring: a first
// point off it decides at once. So each ring asks the index about its first point alone.
void classifyRings(MapObject& object) {
  // A ring alone is outer; most polygons are one ring, and their rings need not be converted.
  if (object.data.size() == 1) {
    object.data[0].ringRole = RingRole::Outer;
    return;
  }
  // Most polygons have a ring or two: building an index would cost more than it saves.
  if (object.data.size() < kFewRings) {
    classifyRingsExhaustive(object);
    return;
  }
  const std::vector<FloatRing> rings = floatRings(object);
  const RingIndex index(rings);
  for (size_t a = 0; a < object.data.size(); ++a) {
    const std::vector<GeoPoint>& points = object.data[a].points;
    const bool hole = !points.empty() && index.any(points.front(), [&](size_t b) {
      return a != b && liesInside(points, rings[b]);
    });
    object.data[a].ringRole = hole ? RingRole::Hole : RingRole::Outer;
  }
}

void classifyRingsExhaustive(MapObject& object) {
  const std::vector<FloatRing> rings = floatRings(object);
  for (size_t a = 0; a < object.data.size(); ++a) {
    bool hole = false;
    for (size_t b = 0; b < object.data.size() && !hole; ++b)
      hole = a != b && liesInside(object.data[a].points, rings[b]);
    object.data[a].ringRole = hole ? RingRole::Hole : RingRole::Outer;
  }
}

RingPosition pointInRing(GeoPoint p, const std::vector<GeoPoint>& ring) {
  return pointInFloatRing(p, toFloatRing(ring));
}

}  // namespace zarvex
