#include "gui/ui/map_canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace visual {

namespace {

// A press that moves less than this many pixels is a click, not a drag.
constexpr int kClickSlack = 3;
// One notch of the wheel zooms by this factor.
constexpr double kNotchZoom = 1.25;

bool sameBounds(const GeoBounds& a, const GeoBounds& b) {
  return a.empty == b.empty && a.minLon == b.minLon && a.minLat == b.minLat &&
         a.maxLon == b.maxLon && a.maxLat == b.maxLat;
}

}  // namespace

MapCanvas::MapCanvas(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("mapCanvas"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(false);
  setCursor(Qt::OpenHandCursor);
  setMinimumSize(200, 150);
}

void MapCanvas::setMap(std::shared_ptr<const PreviewMap> map, const GeoBounds& projection) {
  map_ = std::move(map);
  if (!fitted_ || !sameBounds(projection, projection_)) {
    projection_ = projection;
    view_.resize(width(), height());
    view_.setMap(projection_);
    fitted_ = true;
    moved_ = false;
  }
  update();
}

void MapCanvas::setStyle(PaintStyle style) {
  style_ = std::move(style);
  update();
}

void MapCanvas::fit() {
  view_.fit();
  moved_ = false;
  update();
}

void MapCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!map_) {
    painter.fillRect(rect(), Qt::white);
    return;
  }
  paintMap(painter, *map_, view_, style_);
}

void MapCanvas::resizeEvent(QResizeEvent*) {
  view_.resize(width(), height());
  // Until the user has moved it, the map keeps filling the view as the pane is resized.
  if (!dragging_ && fitted_ && !moved_) view_.fit();
}

void MapCanvas::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0) return;
  const QPointF at = event->position();
  view_.zoomAbout({at.x(), at.y()}, std::pow(kNotchZoom, notches));
  moved_ = true;
  update();
  event->accept();
}

void MapCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = last_ = event->position().toPoint();
  dragging_ = true;
  setCursor(Qt::ClosedHandCursor);
}

void MapCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  const QPoint at = event->position().toPoint();
  view_.pan(at.x() - last_.x(), at.y() - last_.y());
  last_ = at;
  moved_ = true;
  update();
}

void MapCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragging_) return;
  dragging_ = false;
  setCursor(Qt::OpenHandCursor);
  const QPoint at = event->position().toPoint();
  if ((at - pressed_).manhattanLength() > kClickSlack || !map_) return;
  if (const auto hit =
          hitTest(*map_, view_, {static_cast<double>(at.x()), static_cast<double>(at.y())}))
    emit objectClicked(*hit);
}

}  // namespace visual
