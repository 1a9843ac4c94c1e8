#include "gui/model/map_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>

namespace visual {
namespace {

GeoBounds boundsOf(std::initializer_list<GeoXY> points) {
  GeoBounds b;
  for (const GeoXY& p : points) b.add(p);
  return b;
}

// Appends an object of one line per ring to `map`.
void addObject(PreviewMap& map, int kind, int type,
               std::initializer_list<std::initializer_list<GeoXY>> rings) {
  PreviewObject object{kind, type, kind, type, "", static_cast<uint32_t>(map.lines.size()), 0, {}};
  for (const auto& ring : rings) {
    PreviewLine line{static_cast<uint32_t>(map.points.size()), 0, {}};
    for (const GeoXY& p : ring) {
      map.points.push_back(p);
      line.bounds.add(p);
      ++line.count;
    }
    object.bounds.add(line.bounds);
    map.lines.push_back(line);
    ++object.lineCount;
  }
  map.bounds.add(object.bounds);
  map.objects.push_back(object);
}

Viewport viewOf(const GeoBounds& bounds, double width = 800, double height = 600) {
  Viewport view;
  view.resize(width, height);
  view.setMap(bounds);
  return view;
}

TEST(Viewport, LongitudesShrinkWithTheCosineOfTheMeanLatitude) {
  // A square of one degree around 60°N is half as wide as it is high.
  const Viewport view = viewOf(boundsOf({{30, 59.5}, {31, 60.5}}));
  const ScreenXY a = view.toScreen({30, 59.5});
  const ScreenXY b = view.toScreen({31, 60.5});
  EXPECT_NEAR((b.x - a.x) / (a.y - b.y), std::cos(std::numbers::pi / 3), 1e-9);
  // North is up, and the fitted map is centred.
  EXPECT_LT(b.y, a.y);
  EXPECT_NEAR((a.x + b.x) / 2, 400, 1e-6);
  EXPECT_NEAR((a.y + b.y) / 2, 300, 1e-6);
}

TEST(Viewport, FitShowsTheWholeMapInsideAMargin) {
  for (const auto& [width, height] : {std::pair{800.0, 600.0}, {200.0, 900.0}, {1000.0, 100.0}}) {
    const GeoBounds bounds = boundsOf({{35.8, 56.8}, {36.1, 56.9}});
    const Viewport view = viewOf(bounds, width, height);
    const ScreenXY low = view.toScreen({bounds.minLon, bounds.minLat});
    const ScreenXY high = view.toScreen({bounds.maxLon, bounds.maxLat});
    EXPECT_GT(low.x, 0);
    EXPECT_LT(high.x, width);
    EXPECT_GT(high.y, 0);
    EXPECT_LT(low.y, height);
    // One side touches its margin.
    EXPECT_TRUE(std::fabs(low.x - width * 0.04) < 1e-6 || std::fabs(high.y - height * 0.04) < 1e-6)
        << width << "x" << height;
  }
}

TEST(Viewport, ZoomKeepsThePointUnderTheCursorAndPanFollowsTheDrag) {
  Viewport view = viewOf(boundsOf({{35.8, 56.8}, {36.1, 56.9}}));
  const ScreenXY cursor{123, 456};
  const GeoXY under = view.toGeo(cursor);
  view.zoomAbout(cursor, 2.5);
  const ScreenXY after = view.toScreen(under);
  EXPECT_NEAR(after.x, cursor.x, 1e-6);
  EXPECT_NEAR(after.y, cursor.y, 1e-6);

  const GeoXY somewhere{35.9, 56.85};
  const ScreenXY before = view.toScreen(somewhere);
  view.pan(30, -20);
  EXPECT_NEAR(view.toScreen(somewhere).x, before.x + 30, 1e-6);
  EXPECT_NEAR(view.toScreen(somewhere).y, before.y - 20, 1e-6);

  view.fit();
  EXPECT_NEAR(view.toScreen({35.95, 56.85}).x, 400, 1e-6);
}

TEST(Viewport, ASinglePointMapHasAFiniteScale) {
  const Viewport view = viewOf(boundsOf({{36, 56}}));
  EXPECT_TRUE(std::isfinite(view.scale()));
  EXPECT_NEAR(view.toScreen({36, 56}).x, 400, 1e-6);
}

class HitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A lake with an island, a road across it and a mark on the road.
    addObject(map, 1, 0x3c,
              {{{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {{4, 4}, {6, 4}, {6, 6}, {4, 6}}});
    addObject(map, 0, 0x01, {{{0, 5}, {10, 5}}});
    addObject(map, 2, 0x2f01, {{{8, 5}}});
    sortForDrawing(map);
    view = viewOf(map.bounds);
  }
  std::optional<int> typeAt(GeoXY p, double dx = 0, double dy = 0) const {
    const ScreenXY s = view.toScreen(p);
    const auto hit = hitTest(map, view, {s.x + dx, s.y + dy});
    if (!hit) return std::nullopt;
    return map.objects[*hit].type;
  }
  PreviewMap map;
  Viewport view;
};

TEST_F(HitTest, FindsTheTopmostObject) {
  EXPECT_EQ(typeAt({8, 5}), 0x2f01);          // the mark lies on the road
  EXPECT_EQ(typeAt({8, 5}, 3, 0), 0x2f01);    // within its tolerance
  EXPECT_EQ(typeAt({2, 5}, 0, 3), 0x01);      // near the road, inside the lake
  EXPECT_EQ(typeAt({2, 2}), 0x3c);            // in the lake
  EXPECT_EQ(typeAt({5, 4.5}), std::nullopt);  // on the island: the hole is not the lake
  EXPECT_EQ(typeAt({12, 12}), std::nullopt);  // outside everything
}

TEST(ScreenPath, DropsSubPixelDetailButKeepsTheEnds) {
  PreviewMap map;
  // A line of 1000 points packed into a hundredth of the map's width, then one far point.
  std::vector<GeoXY> points;
  for (int i = 0; i < 1000; ++i) points.push_back({i * 1e-5, 0});
  points.push_back({1, 1});
  PreviewLine line{0, static_cast<uint32_t>(points.size()), {}};
  map.points = points;
  for (const GeoXY& p : points) line.bounds.add(p);
  const Viewport view = viewOf(line.bounds, 100, 100);
  std::vector<ScreenXY> path;
  const std::size_t kept = screenPath(map, line, view, path);
  EXPECT_LT(kept, 10u);
  EXPECT_EQ(kept, path.size());
  EXPECT_NEAR(path.front().x, view.toScreen(points.front()).x, 1e-9);
  EXPECT_NEAR(path.back().y, view.toScreen(points.back()).y, 1e-9);
  // Zoomed in far enough, every point counts.
  Viewport near = view;
  near.zoomAbout(view.toScreen(points.front()), 1e4);
  path.clear();
  EXPECT_GT(screenPath(map, line, near, path), 900u);
  EXPECT_FALSE(belowPixel(line.bounds, near));
  EXPECT_TRUE(belowPixel(boundsOf({{0.5, 0.5}, {0.5 + 1e-6, 0.5}}), view));
}

TEST(ScreenPath, AWholeMapViewDrawsTheThinnedCopyWithTheSameEnds) {
  PreviewMap map;
  // A wavy line of 100 000 points across one degree.
  PreviewLine line{0, 100000, {}};
  for (uint32_t i = 0; i < line.count; ++i) {
    map.points.push_back({i * 1e-5, 0.01 * std::sin(i * 1e-3)});
    line.bounds.add(map.points.back());
  }
  map.lines.push_back(line);
  map.bounds = line.bounds;
  buildCoarse(map);
  const PreviewLine& thinned = map.lines.front();
  EXPECT_LT(thinned.coarseCount, 10000u);
  EXPECT_EQ(map.coarsePoints[thinned.coarseFirst].lon, map.points.front().lon);
  EXPECT_EQ(map.coarsePoints[thinned.coarseFirst + thinned.coarseCount - 1].lon,
            map.points.back().lon);

  const Viewport view = viewOf(map.bounds, 1600, 1000);
  std::vector<ScreenXY> path;
  screenPath(map, thinned, view, path);
  EXPECT_LE(path.size(), thinned.coarseCount);
  // Every point of the full line lies within a pixel of what is drawn.
  const auto distance = [&path](ScreenXY p) {
    double best = 1e9;
    for (std::size_t i = 1; i < path.size(); ++i) {
      const ScreenXY a = path[i - 1], b = path[i];
      const double dx = b.x - a.x, dy = b.y - a.y, length = dx * dx + dy * dy;
      const double t =
          length > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length, 0.0, 1.0) : 0;
      best = std::min(best, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
    }
    return best;
  };
  for (uint32_t i = 0; i < line.count; i += 997)
    EXPECT_LT(distance(view.toScreen(map.points[i])), 1.0) << i;
  // Zoomed in, the full line is drawn again.
  Viewport near = view;
  near.zoomAbout({800, 500}, 20);
  path.clear();
  EXPECT_GT(screenPath(map, thinned, near, path), thinned.coarseCount);
}

TEST(Colours, StablePerKindAndTypeAndFadedWhenUndescribed) {
  EXPECT_EQ(colourOf(1, 0x3c, true), colourOf(1, 0x3c, true));
  std::set<std::tuple<int, int, int>> seen;
  for (int type = 1; type <= 12; ++type) {
    const Rgb c = colourOf(0, type, true);
    seen.insert({c.r, c.g, c.b});
  }
  EXPECT_GE(seen.size(), 11u);  // neighbouring codes do not share a colour
  EXPECT_NE(colourOf(0, 5, true), colourOf(1, 5, true));
  const Rgb strong = colourOf(0, 5, true);
  const Rgb weak = colourOf(0, 5, false);
  EXPECT_GT(weak.r + weak.g + weak.b, strong.r + strong.g + strong.b);
}

TEST(TypeCodeValue, ReadsTheTreesSpellings) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"0x2c0b", 0x2c0b},   {"0x0001", 1},      {"0X1F", 0x1f},         {"22", 22},
      {"0x", std::nullopt}, {"", std::nullopt}, {"0x1g", std::nullopt}, {"12a", std::nullopt}};
  for (const auto& [text, value] : cases) EXPECT_EQ(typeCodeValue(text), value) << text;
}

TEST(LevelCounts, ShareOfTheSourcePoints) {
  PreviewMap map;
  addObject(map, 0, 1, {{{0, 0}, {1, 1}, {2, 2}}, {{3, 3}}});
  addObject(map, 2, 2, {{{0, 0}}});
  const LevelCounts counts = countsOf(map, 20);
  EXPECT_EQ(counts.objects, 2u);
  EXPECT_EQ(counts.points, 5u);
  EXPECT_DOUBLE_EQ(counts.share(), 0.25);
  EXPECT_EQ(countsOf(PreviewMap{}, 0).share(), 0.0);
}

}  // namespace
}  // namespace visual
