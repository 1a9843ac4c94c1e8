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

int32_t measureToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483649.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace zarvex
