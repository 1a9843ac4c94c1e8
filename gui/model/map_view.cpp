#include "gui/model/map_view.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>

namespace visual {

namespace {

// Share of the view left free around a fitted map.
constexpr double kFitMargin = 0.04;
// Nearest and farthest zoom, in pixels per degree: from a continent on a screen to street level.
constexpr double kMinScale = 1e-1;
constexpr double kMaxScale = 1e8;

double lonScaleOf(const GeoBounds& b) {
  if (b.empty) return 1.0;
  const double mean = (b.minLat + b.maxLat) / 2 * std::numbers::pi / 180.0;
  // Near the poles the cosine vanishes; a floor keeps the projection invertible.
  return std::max(std::cos(mean), 0.01);
}

double squaredDistanceToSegment(ScreenXY p, ScreenXY a, ScreenXY b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length = dx * dx + dy * dy;
  double t = length > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
  return ex * ex + ey * ey;
}

bool holds(const GeoBounds& b, const GeoXY& p, double lonMargin, double latMargin) {
  return !b.empty && p.lon >= b.minLon - lonMargin && p.lon <= b.maxLon + lonMargin &&
         p.lat >= b.minLat - latMargin && p.lat <= b.maxLat + latMargin;
}

// Even-odd rule over every ring of the object, so that a hole is not inside.
bool ringsHold(const PreviewMap& map, const PreviewObject& object, const GeoXY& p) {
  bool inside = false;
  for (uint32_t l = 0; l < object.lineCount; ++l) {
    const PreviewLine& line = map.lines[object.firstLine + l];
    if (line.count < 3 || !holds(line.bounds, p, 0, 0)) continue;
    const GeoXY* ring = map.points.data() + line.first;
    for (uint32_t i = 0, j = line.count - 1; i < line.count; j = i++) {
      const GeoXY& a = ring[i];
      const GeoXY& b = ring[j];
      if ((a.lat > p.lat) != (b.lat > p.lat) &&
          p.lon < (b.lon - a.lon) * (p.lat - a.lat) / (b.lat - a.lat) + a.lon)
        inside = !inside;
    }
  }
  return inside;
}

double squaredDistanceTo(const PreviewMap& map, const PreviewObject& object, const Viewport& view,
                         ScreenXY at) {
  double best = std::numeric_limits<double>::infinity();
  for (uint32_t l = 0; l < object.lineCount; ++l) {
    const PreviewLine& line = map.lines[object.firstLine + l];
    if (line.count == 0) continue;
    ScreenXY previous = view.toScreen(map.points[line.first]);
    best = std::min(best, squaredDistanceToSegment(at, previous, previous));
    for (uint32_t i = 1; i < line.count; ++i) {
      const ScreenXY next = view.toScreen(map.points[line.first + i]);
      best = std::min(best, squaredDistanceToSegment(at, previous, next));
      previous = next;
    }
  }
  return best;
}

// A hue from the pair, mixed so that neighbouring type codes get far-apart colours.
double hueOf(int kind, int type) {
  uint64_t x =
      (static_cast<uint64_t>(static_cast<uint32_t>(kind)) << 32) ^ static_cast<uint32_t>(type);
  x += 0x9e3779b97f4a7c15ULL;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  x ^= x >> 31;
  return static_cast<double>(x % 360);
}

Rgb fromHsv(double h, double s, double v) {
  const double c = v * s;
  const double hp = h / 60.0;
  const double x = c * (1 - std::fabs(std::fmod(hp, 2.0) - 1));
  double r = 0, g = 0, b = 0;
  if (hp < 1) {
    r = c, g = x;
  } else if (hp < 2) {
    r = x, g = c;
  } else if (hp < 3) {
    g = c, b = x;
  } else if (hp < 4) {
    g = x, b = c;
  } else if (hp < 5) {
    r = x, b = c;
  } else {
    r = c, b = x;
  }
  const double m = v - c;
  const auto byte = [m](double value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(value + m, 0.0, 1.0) * 255));
  };
  return {byte(r), byte(g), byte(b)};
}

}  // namespace

void Viewport::setMap(const GeoBounds& bounds) {
  map_ = bounds;
  lonScale_ = lonScaleOf(bounds);
  fit();
}

void Viewport::resize(double width, double height) {
  width_ = std::max(width, 1.0);
  height_ = std::max(height, 1.0);
}

void Viewport::fit() {
  if (map_.empty) {
    centreX_ = centreY_ = 0;
    scale_ = 1;
    return;
  }
  centreX_ = (map_.minLon + map_.maxLon) / 2 * lonScale_;
  centreY_ = (map_.minLat + map_.maxLat) / 2;
  const double spanX = (map_.maxLon - map_.minLon) * lonScale_;
  const double spanY = map_.maxLat - map_.minLat;
  const double usable = 1 - 2 * kFitMargin;
  double scale = kMaxScale;
  if (spanX > 0) scale = std::min(scale, width_ * usable / spanX);
  if (spanY > 0) scale = std::min(scale, height_ * usable / spanY);
  // A single point shows at a street's scale rather than at the nearest zoom.
  if (spanX <= 0 && spanY <= 0) scale = 1e5;
  scale_ = std::clamp(scale, kMinScale, kMaxScale);
}

void Viewport::zoomAbout(ScreenXY at, double factor) {
  if (!(factor > 0)) return;
  const GeoXY anchor = toGeo(at);
  scale_ = std::clamp(scale_ * factor, kMinScale, kMaxScale);
  // The anchor goes back under the cursor.
  centreX_ = anchor.lon * lonScale_ - (at.x - width_ / 2) / scale_;
  centreY_ = anchor.lat + (at.y - height_ / 2) / scale_;
}

void Viewport::pan(double dx, double dy) {
  centreX_ -= dx / scale_;
  centreY_ += dy / scale_;
}

GeoXY Viewport::toGeo(ScreenXY s) const {
  return {((s.x - width_ / 2) / scale_ + centreX_) / lonScale_,
          centreY_ - (s.y - height_ / 2) / scale_};
}

bool Viewport::sees(const GeoBounds& b) const {
  if (b.empty) return false;
  const ScreenXY low = toScreen({b.minLon, b.minLat});
  const ScreenXY high = toScreen({b.maxLon, b.maxLat});
  return high.x >= -1 && low.x <= width_ + 1 && low.y >= -1 && high.y <= height_ + 1;
}

std::size_t screenPath(const PreviewMap& map, const PreviewLine& line, const Viewport& view,
                       std::vector<ScreenXY>& out) {
  // Longitudes shrink in the projection, so a step of either coordinate is at most this wide.
  const bool coarse = map.coarseStep > 0 && map.coarseStep * view.scale() < 0.5;
  const uint32_t count = coarse ? line.coarseCount : line.count;
  if (count == 0) return 0;
  const std::size_t start = out.size();
  const GeoXY* p =
      coarse ? map.coarsePoints.data() + line.coarseFirst : map.points.data() + line.first;
  ScreenXY kept = view.toScreen(p[0]);
  out.push_back(kept);
  for (uint32_t i = 1; i < count; ++i) {
    const ScreenXY next = view.toScreen(p[i]);
    if (i + 1 < count && std::fabs(next.x - kept.x) < 0.5 && std::fabs(next.y - kept.y) < 0.5)
      continue;
    out.push_back(next);
    kept = next;
  }
  return out.size() - start;
}

bool belowPixel(const GeoBounds& bounds, const Viewport& view, double pixels) {
  const ScreenXY low = view.toScreen({bounds.minLon, bounds.minLat});
  const ScreenXY high = view.toScreen({bounds.maxLon, bounds.maxLat});
  return high.x - low.x < pixels && low.y - high.y < pixels;
}

std::optional<std::size_t> hitTest(const PreviewMap& map, const Viewport& view, ScreenXY at,
                                   double tolerance) {
  const GeoXY geo = view.toGeo(at);
  const GeoXY corner = view.toGeo({at.x + tolerance, at.y - tolerance});
  const double lonMargin = std::fabs(corner.lon - geo.lon);
  const double latMargin = std::fabs(corner.lat - geo.lat);
  const double limit = tolerance * tolerance;
  // Points, then polylines, by distance; then the last polygon drawn that holds the position.
  for (const int kind : {2, 0}) {
    std::optional<std::size_t> nearest;
    double best = limit;
    for (std::size_t i = map.objects.size(); i-- > 0;) {
      const PreviewObject& object = map.objects[i];
      if (object.kind != kind || !holds(object.bounds, geo, lonMargin, latMargin)) continue;
      const double distance = squaredDistanceTo(map, object, view, at);
      if (distance <= best) {
        best = distance;
        nearest = i;
      }
    }
    if (nearest) return nearest;
  }
  for (std::size_t i = map.objects.size(); i-- > 0;) {
    const PreviewObject& object = map.objects[i];
    if (object.kind == 1 && holds(object.bounds, geo, 0, 0) && ringsHold(map, object, geo))
      return i;
  }
  return std::nullopt;
}

Rgb colourOf(int kind, int type, bool described) {
  const double hue = hueOf(kind, type);
  Rgb c = kind == 1   ? fromHsv(hue, 0.35, 0.93)
          : kind == 0 ? fromHsv(hue, 0.8, 0.55)
                      : fromHsv(hue, 0.9, 0.65);
  if (described) return c;
  // Faded towards the white background.
  const auto fade = [](std::uint8_t v) { return static_cast<std::uint8_t>(v + (255 - v) * 3 / 5); };
  return {fade(c.r), fade(c.g), fade(c.b)};
}

std::optional<int> typeCodeValue(const std::string& code) {
  const bool hex = code.size() > 2 && code[0] == '0' && (code[1] == 'x' || code[1] == 'X');
  const char* first = code.data() + (hex ? 2 : 0);
  const char* last = code.data() + code.size();
  int value = 0;
  const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
  if (error != std::errc() || end != last || first == last) return std::nullopt;
  return value;
}

}  // namespace visual
