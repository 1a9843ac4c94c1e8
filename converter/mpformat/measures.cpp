#include "converter/mpformat/measures.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace zarvex {
namespace {

// Pi as single precision holds it: the measures were defined with this value, and the truncated
// integers they yield must not change.
constexpr double kPi = 3.1415927410125732;

// Every formula is evaluated in the order in which it was defined, so that truncation at integer
// boundaries gives the same integers on every platform.
double pathLength(const std::vector<GeoPoint>& points) {
  if (points.size() < 2) return 0.0;
  const double k = std::cos(points[0].lat * kPi / 180);
  double sum = 0.0;
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    const double dlon = points[i + 1].lon - points[i].lon;
    const double dlat = points[i + 1].lat - points[i].lat;
    sum += std::sqrt(k * dlon * (k * dlon) + dlat * dlat);
  }
  return sum;
}

struct Spans {
  double lat = 0.0;
  double lon = 0.0;
};

Spans spans(const std::vector<GeoPoint>& points) {
  if (points.size() < 2) return {};
  double minLat = 360, maxLat = -360, minLon = 360, maxLon = -360;
  for (const GeoPoint& p : points) {
    if (p.lat < minLat) minLat = p.lat;
    if (p.lat > maxLat) maxLat = p.lat;
    if (p.lon < minLon) minLon = p.lon;
    if (p.lon > maxLon) maxLon = p.lon;
  }
  return {maxLat - minLat, maxLon - minLon};
}

double ringArea(const std::vector<GeoPoint>& points) {
  const size_t n = points.size();
  if (n < 3) return 0.0;
  double latSum = 0.0;
  for (const GeoPoint& p : points) latSum += p.lat;
  const double k = std::cos(latSum / static_cast<double>(n) * kPi / 180);
  double s = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const GeoPoint& a = points[i];
    const GeoPoint& b = points[i + 1 == n ? 0 : i + 1];
    s += (b.lat + a.lat) * (b.lon - a.lon);
  }
  return std::fabs(s) * 0.5 * 111111.11111111111 * 111111.11111111111 * k;
}

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
};

FloatRing toFloatRing(const std::vector<GeoPoint>& ring) {
  FloatRing result;
  result.vertices.reserve(ring.size());
  for (const GeoPoint& p : ring)
    result.vertices.push_back({static_cast<double>(static_cast<float>(p.lat)),
                               static_cast<double>(static_cast<float>(p.lon))});
  if (!result.vertices.empty()) {
    result.minLat = result.maxLat = result.vertices[0].lat;
    result.minLon = result.vertices[0].lon;
    for (const RingVertex& v : result.vertices) {
      result.minLat = std::fmin(result.minLat, v.lat);
      result.maxLat = std::fmax(result.maxLat, v.lat);
      result.minLon = std::fmin(result.minLon, v.lon);
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

}  // namespace

double objectLength(const MapObject& object) {
  double sum = 0.0;
  for (const DataLine& line : object.data) sum += pathLength(line.points);
  return sum * 40000000 / 360;
}

double objectWidth(const MapObject& object) {
  double largest = 0.0;
  for (const DataLine& line : object.data) largest = std::fmax(largest, spans(line.points).lon);
  return largest * 40000000 / 360;
}

double objectHeight(const MapObject& object) {
  double largest = 0.0;
  for (const DataLine& line : object.data) largest = std::fmax(largest, spans(line.points).lat);
  return largest * 40000000 / 360;
}

double objectArea(const MapObject& object) {
  double sum = 0.0;
  for (const DataLine& line : object.data) {
    const double area = ringArea(line.points);
    sum += line.ringRole == RingRole::Outer ? area : -area;
  }
  return sum;
}

void classifyRings(MapObject& object) {
  std::vector<FloatRing> rings;
  rings.reserve(object.data.size());
  for (const DataLine& line : object.data) rings.push_back(toFloatRing(line.points));
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

int32_t measureToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483649.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace zarvex
