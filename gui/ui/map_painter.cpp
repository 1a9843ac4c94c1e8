#include "gui/ui/map_painter.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <vector>

namespace visual {

namespace {

// Above this many points in view, edges are drawn without antialiasing to keep redraws quick.
constexpr std::size_t kSmoothLimit = 100000;
const QColor kHighlight(0xe0, 0x00, 0x60);

QColor colour(const PreviewObject& object, const PaintStyle& style) {
  const bool described = !style.described || style.described(object.sourceKind, object.sourceType);
  const Rgb c = colourOf(object.kind, object.type, described);
  return {c.r, c.g, c.b};
}

class Painter {
 public:
  Painter(QPainter& painter, const PreviewMap& map, const Viewport& view, bool coarse)
      : painter_(painter), map_(map), view_(view), coarse_(coarse) {}

  void draw(const PreviewObject& object, const QColor& colour, bool highlighted) {
    // Marks of points keep their size; other objects smaller than a pixel (a few pixels in a
    // coarse picture, where each drawing call costs more than the detail is worth) become dots.
    if (object.kind != 2 && belowPixel(object.bounds, view_, coarse_ ? 3 : 1)) {
      const ScreenXY at = view_.toScreen(map_.points[map_.lines[object.firstLine].first]);
      const double side = highlighted ? 7 : coarse_ ? 2 : 1;
      painter_.fillRect(QRectF(at.x - side / 2, at.y - side / 2, side, side),
                        highlighted ? kHighlight : colour);
      return;
    }
    switch (object.kind) {
      case 1:
        polygon(object, colour, highlighted);
        break;
      case 0:
        polyline(object, colour, highlighted);
        break;
      default:
        point(object, colour, highlighted);
        break;
    }
  }

 private:
  void polygon(const PreviewObject& object, const QColor& colour, bool highlighted) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    forEachLine(object, [&path](const std::vector<ScreenXY>& points) {
      path.moveTo(points[0].x, points[0].y);
      for (std::size_t i = 1; i < points.size(); ++i) path.lineTo(points[i].x, points[i].y);
      path.closeSubpath();
    });
    painter_.setPen(highlighted ? QPen(kHighlight, 2.5) : QPen(colour.darker(130), 0));
    painter_.setBrush(highlighted ? QBrush(kHighlight, Qt::Dense4Pattern) : QBrush(colour));
    painter_.drawPath(path);
  }

  void polyline(const PreviewObject& object, const QColor& colour, bool highlighted) {
    // A hairline is drawn directly; a wider pen is stroked first, which a coarse picture skips.
    // Bevel joins and flat caps keep the stroker off curves.
    const double width = highlighted ? 3.5 : coarse_ ? 0 : 1.5;
    painter_.setPen(
        QPen(highlighted ? kHighlight : colour, width, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin));
    painter_.setBrush(Qt::NoBrush);
    forEachLine(object, [this](const std::vector<ScreenXY>& points) {
      polygon_.clear();
      for (const ScreenXY& p : points) polygon_.append(QPointF(p.x, p.y));
      painter_.drawPolyline(polygon_);
    });
  }

  void point(const PreviewObject& object, const QColor& colour, bool highlighted) {
    const double radius = highlighted ? 5 : 2.5;
    painter_.setPen(QPen(highlighted ? kHighlight : colour.darker(150), highlighted ? 2 : 0.8));
    painter_.setBrush(colour);
    for (uint32_t l = 0; l < object.lineCount; ++l) {
      const PreviewLine& line = map_.lines[object.firstLine + l];
      const ScreenXY at = view_.toScreen(map_.points[line.first]);
      // A square mark: circles are drawn as curves, too slow for maps of many points.
      painter_.drawRect(QRectF(at.x - radius, at.y - radius, 2 * radius, 2 * radius));
    }
  }

  template <typename Draw>
  void forEachLine(const PreviewObject& object, Draw draw) {
    for (uint32_t l = 0; l < object.lineCount; ++l) {
      const PreviewLine& line = map_.lines[object.firstLine + l];
      if (!view_.sees(line.bounds)) continue;
      screen_.clear();
      if (screenPath(map_, line, view_, screen_) > 0) draw(screen_);
    }
  }

  QPainter& painter_;
  const PreviewMap& map_;
  const Viewport& view_;
  const bool coarse_;
  std::vector<ScreenXY> screen_;
  QPolygonF polygon_;
};

}  // namespace

void paintMap(QPainter& painter, const PreviewMap& map, const Viewport& view,
              const PaintStyle& style) {
  painter.fillRect(QRectF(0, 0, view.width(), view.height()), Qt::white);
  std::vector<std::size_t> shown, highlighted;
  std::size_t points = 0;
  for (std::size_t i = 0; i < map.objects.size(); ++i) {
    const PreviewObject& object = map.objects[i];
    if (!view.sees(object.bounds)) continue;
    for (uint32_t l = 0; l < object.lineCount; ++l) points += map.lines[object.firstLine + l].count;
    const bool marked = style.highlight && style.highlight->first == object.sourceKind &&
                        style.highlight->second == object.sourceType;
    (marked ? highlighted : shown).push_back(i);
  }
  const bool coarse = points > kSmoothLimit;
  painter.setRenderHint(QPainter::Antialiasing, !coarse);
  Painter draw(painter, map, view, coarse);
  for (std::size_t i : shown) draw.draw(map.objects[i], colour(map.objects[i], style), false);
  // The selected type goes on top, so that nothing hides it.
  for (std::size_t i : highlighted) draw.draw(map.objects[i], colour(map.objects[i], style), true);
}

}  // namespace visual
