#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "gui/model/map_view.h"
#include "gui/model/preview_map.h"

class QPainter;

namespace visual {

/// How a picture of a level is drawn besides the map and the view.
struct PaintStyle {
  /// True for the kinds and types (of the open map) that the tree describes.
  std::function<bool(int kind, int type)> described;
  /// The kind and type (of the open map) drawn highlighted, if any.
  std::optional<std::pair<int, int>> highlight;
};

/// Draws `map` as `view` shows it on a white background: polygons filled, polylines stroked,
/// points as small marks, objects smaller than a pixel as dots, what is out of view skipped.
void paintMap(QPainter& painter, const PreviewMap& map, const Viewport& view,
              const PaintStyle& style);

}  // namespace visual
