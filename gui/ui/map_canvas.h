#pragma once

#include <QPoint>
#include <QWidget>
#include <memory>

#include "gui/model/map_view.h"
#include "gui/model/preview_map.h"
#include "gui/ui/map_painter.h"

namespace visual {

/// The drawing of one level: the wheel zooms about the cursor, a drag pans, a click picks the
/// object under the cursor.
class MapCanvas final : public QWidget {
  Q_OBJECT

 public:
  explicit MapCanvas(QWidget* parent = nullptr);

  /// Shows `map` projected for `projection` (the open map's bounds); the zoom and position stay
  /// unless the projection changes.
  void setMap(std::shared_ptr<const PreviewMap> map, const GeoBounds& projection);
  void setStyle(PaintStyle style);
  /// Shows the whole map.
  void fit();
  const Viewport& viewport() const { return view_; }
  const PreviewMap* map() const { return map_.get(); }
  const PaintStyle& style() const { return style_; }

 signals:
  /// The object at `index` of map() was clicked.
  void objectClicked(std::size_t index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::shared_ptr<const PreviewMap> map_;
  GeoBounds projection_;
  PaintStyle style_;
  Viewport view_;
  QPoint pressed_, last_;
  bool dragging_ = false;
  bool fitted_ = false;
  // The user zoomed or panned since the last fit.
  bool moved_ = false;
};

}  // namespace visual
