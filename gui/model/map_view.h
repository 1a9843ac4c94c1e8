#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "gui/model/preview_map.h"

namespace visual {

/// A position in the view, in pixels from its top left corner.
struct ScreenXY {
  double x = 0.0;
  double y = 0.0;
};

/// The view's mapping from the map to the screen: an equirectangular projection whose
/// longitudes are scaled by the cosine of the map's mean latitude, so that a town looks as on
/// the ground; zoomed and panned by the user.
class Viewport {
 public:
  /// The map the view shows; sets the projection's latitude and fits it.
  void setMap(const GeoBounds& bounds);
  /// The size of the view in pixels; the centre stays where it was.
  void resize(double width, double height);
  /// Shows the whole map with a small margin.
  void fit();
  /// Zooms by `factor` (above 1 nearer) keeping the map point under `at` where it is.
  void zoomAbout(ScreenXY at, double factor);
  /// Moves the picture by a drag of (dx, dy) pixels.
  void pan(double dx, double dy);

  ScreenXY toScreen(const GeoXY& p) const {
    return {(p.lon * lonScale_ - centreX_) * scale_ + width_ / 2,
            height_ / 2 - (p.lat - centreY_) * scale_};
  }
  GeoXY toGeo(ScreenXY s) const;
  /// Pixels per degree of latitude.
  double scale() const { return scale_; }
  double width() const { return width_; }
  double height() const { return height_; }
  /// True when the rectangle `b` lies at least partly in the view.
  bool sees(const GeoBounds& b) const;

 private:
  GeoBounds map_;
  double lonScale_ = 1.0;
  double centreX_ = 0.0, centreY_ = 0.0;
  double scale_ = 1.0;
  double width_ = 1.0, height_ = 1.0;
};

/// The screen path of one coordinate line, coarse where detail would not show: points that
/// fall within half a pixel of the last one kept are left out (the last point is always kept,
/// so a ring still closes). Views in which the map's thinning step is below half a pixel start
/// from the thinned copy. Appends to `out`; returns how many points it appended.
std::size_t screenPath(const PreviewMap& map, const PreviewLine& line, const Viewport& view,
                       std::vector<ScreenXY>& out);

/// True when an object of these bounds is smaller than `pixels` in both directions, so that the
/// view draws it as a dot.
bool belowPixel(const GeoBounds& bounds, const Viewport& view, double pixels = 1);

/// The object under `at`, topmost first (points, then polylines, then polygons, last drawn
/// first): a point or polyline within `tolerance` pixels, or a polygon whose rings hold `at`.
std::optional<std::size_t> hitTest(const PreviewMap& map, const Viewport& view, ScreenXY at,
                                   double tolerance = 4.0);

/// An opaque colour.
struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

/// The colour of a kind and type: the same for the same pair in every run and on every level.
/// Polygons get pale fills, polylines and points deep tones; `described` types (those the tree
/// names) are drawn stronger than the others, which are blended towards the background.
Rgb colourOf(int kind, int type, bool described);

/// A type code as the tree writes it ("0x2c0b", "22") as a number; nothing for other text.
std::optional<int> typeCodeValue(const std::string& code);

}  // namespace visual
