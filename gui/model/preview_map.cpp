#include "gui/model/preview_map.h"

#include <algorithm>
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
