#include "gui/model/preview_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/model/zoom_labels.h"

namespace visual {

LevelCounts countsOf(const PreviewMap& map, std::uint64_t sourcePoints) {
  LevelCounts counts;
  counts.sourcePoints = sourcePoints;
  counts.objects = map.objects.size();
  for (const PreviewLine& line : map.lines) counts.points += line.count;
  return counts;
}

void sortForDrawing(PreviewMap& map) {
  const auto rank = [](const PreviewObject& o) { return o.kind == 1 ? 0 : o.kind == 0 ? 1 : 2; };
  std::stable_sort(
      map.objects.begin(), map.objects.end(),
      [&rank](const PreviewObject& a, const PreviewObject& b) { return rank(a) < rank(b); });
}

void buildCoarse(PreviewMap& map) {
  map.coarsePoints.clear();
  map.coarseStep = 0;
  if (map.bounds.empty) return;
  // A fitted view of a few thousand pixels puts this step well below half a pixel.
  map.coarseStep =
      std::max(map.bounds.maxLon - map.bounds.minLon, map.bounds.maxLat - map.bounds.minLat) / 8192;
  const double step = map.coarseStep;
  for (PreviewLine& line : map.lines) {
    line.coarseFirst = static_cast<std::uint32_t>(map.coarsePoints.size());
    const GeoXY* p = map.points.data() + line.first;
    for (std::uint32_t i = 0; i < line.count; ++i) {
      // The ends are always kept, so that rings close and lines reach their nodes.
      if (i > 0 && i + 1 < line.count) {
        const GeoXY& kept = map.coarsePoints.back();
        if (std::abs(p[i].lon - kept.lon) < step && std::abs(p[i].lat - kept.lat) < step) continue;
      }
      map.coarsePoints.push_back(p[i]);
    }
    line.coarseCount = static_cast<std::uint32_t>(map.coarsePoints.size()) - line.coarseFirst;
  }
  map.coarsePoints.shrink_to_fit();
}

std::string levelTitle(int level, int bits) {
  if (level < 0) return "Исходная карта";
  std::string title = "Уровень " + std::to_string(level) + ": " + std::to_string(bits) + " бит";
  std::string zoom = zoomLabel(bits);
  while (!zoom.empty() && zoom.back() == ' ') zoom.pop_back();
  if (!zoom.empty()) title += ", " + zoom;
  return title;
}

std::string shareText(const LevelCounts& counts) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f%%", counts.share() * 100);
  return text;
}

}  // namespace visual
