#include "converter/mpformat/measures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace zarvex {
namespace {

constexpr double kPiSingle = 3.1415927410125732;
constexpr double kMetres = 111111.11111111111;

GeoPoint pt(double lat, double lon) {
  return GeoPoint{lon, lat};
}

MapObject objectOf(ObjectKind kind, std::vector<std::vector<GeoPoint>> lines) {
  MapObject object;
  object.kind = kind;
  for (auto& points : lines) object.data.push_back(DataLine{RingRole::None, 0, std::move(points)});
  return object;
}

double squareArea(double side, double meanLat) {
  return side * side * kMetres * kMetres * std::cos(meanLat * kPiSingle / 180);
}

TEST(MeasuresTest, LengthWidthHeightOfPolylines) {
  struct Case {
    const char* name;
    std::vector<std::vector<GeoPoint>> lines;
    int32_t length, width, height;
  };
  const Case cases[] = {
      {"single point", {{pt(55, 37)}}, 0, 0, 0},
      {"no lines", {}, 0, 0, 0},
      {"one degree east on the equator", {{pt(0, 0), pt(0, 1)}}, 111111, 111111, 0},
      {"one degree east at latitude 60", {{pt(60, 0), pt(60, 1)}}, 55555, 111111, 0},
      {"one degree north", {{pt(0, 0), pt(1, 0)}}, 111111, 0, 111111},
      // The path is open and the spans are those of the widest line, not of the whole object.
      {"two lines", {{pt(0, 0), pt(0, 1), pt(0, 0)}, {pt(0, 5), pt(2, 5)}}, 444444, 111111, 222222},
      // 2.5 degrees with a cosine just under one half in single-precision pi.
      {"spans ignore the cosine", {{pt(60, 0), pt(62, 3)}}, 277777, 333333, 222222},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MapObject object = objectOf(ObjectKind::Line, c.lines);
    EXPECT_EQ(measureToInt(objectLength(object)), c.length);
    EXPECT_EQ(measureToInt(objectWidth(object)), c.width);
    EXPECT_EQ(measureToInt(objectHeight(object)), c.height);
  }
}

TEST(MeasuresTest, RingsOfFewerThanThreePointsHaveNoArea) {
  MapObject object = objectOf(ObjectKind::Polygon, {{pt(0, 0), pt(1, 1)}, {pt(3, 3)}});
  classifyRings(object);
  EXPECT_EQ(objectArea(object), 0.0);
}

TEST(MeasuresTest, HoleIsSubtractedFromOuterRing) {
  MapObject object = objectOf(ObjectKind::Polygon, {{pt(0, 0), pt(0, 4), pt(4, 4), pt(4, 0)},
                                                    {pt(1, 1), pt(2, 1), pt(2, 2), pt(1, 2)}});
  classifyRings(object);
  EXPECT_EQ(object.data[0].ringRole, RingRole::Outer);
  EXPECT_EQ(object.data[1].ringRole, RingRole::Hole);
  EXPECT_DOUBLE_EQ(objectArea(object), squareArea(4, 2) - squareArea(1, 1.5));
}

TEST(MeasuresTest, DisjointRingsAreBothOuterAndAdd) {
  MapObject object = objectOf(ObjectKind::Polygon, {{pt(0, 0), pt(0, 1), pt(1, 1), pt(1, 0)},
                                                    {pt(5, 5), pt(7, 5), pt(7, 7), pt(5, 7)}});
  classifyRings(object);
  EXPECT_EQ(object.data[0].ringRole, RingRole::Outer);
  EXPECT_EQ(object.data[1].ringRole, RingRole::Outer);
  EXPECT_DOUBLE_EQ(objectArea(object), squareArea(1, 0.5) + squareArea(2, 6));
}

TEST(MeasuresTest, LinesWithoutRingRoleCountNegative) {
  const MapObject object = objectOf(ObjectKind::Line, {{pt(0, 0), pt(0, 1), pt(1, 1), pt(1, 0)}});
  EXPECT_DOUBLE_EQ(objectArea(object), -squareArea(1, 0.5));
}

TEST(MeasuresTest, IdenticalRingsDoNotContainEachOther) {
  const std::vector<GeoPoint> ring = {pt(0, 0), pt(0, 4), pt(4, 4), pt(4, 0)};
  MapObject object = objectOf(ObjectKind::Polygon, {ring, ring});
  classifyRings(object);
  EXPECT_EQ(object.data[0].ringRole, RingRole::Outer);
  EXPECT_EQ(object.data[1].ringRole, RingRole::Outer);
}

TEST(MeasuresTest, SharedExactVertexIsDecidedByTheNextPoint) {
  MapObject object = objectOf(ObjectKind::Polygon, {{pt(0, 0), pt(0, 4), pt(4, 4), pt(4, 0)},
                                                    {pt(0, 0), pt(1, 1), pt(1, 2)}});
  classifyRings(object);
  EXPECT_EQ(object.data[0].ringRole, RingRole::Outer);
  EXPECT_EQ(object.data[1].ringRole, RingRole::Hole);
}

TEST(MeasuresTest, SharedInexactVertexDecidesByItself) {
  // 0.1 rounds up in single precision, so the point (0.1, 0.1) lies just south-west of the
  // rounded corner of the outer ring and the triangle is judged outside it.
  MapObject object = objectOf(
      ObjectKind::Polygon,
      {{pt(0.1, 0.1), pt(0.1, 4), pt(4, 4), pt(4, 0.1)}, {pt(0.1, 0.1), pt(1, 1), pt(1, 2)}});
  classifyRings(object);
  EXPECT_EQ(object.data[0].ringRole, RingRole::Outer);
  EXPECT_EQ(object.data[1].ringRole, RingRole::Outer);
}

// Every rotation and both directions of a ring describe the same ring, so each case is checked
// with the walk starting at every vertex, inside touching runs included.
std::vector<std::vector<GeoPoint>> allTraversals(const std::vector<GeoPoint>& ring) {
  std::vector<std::vector<GeoPoint>> result;
  std::vector<GeoPoint> forward = ring;
  for (int direction = 0; direction < 2; ++direction) {
    for (size_t r = 0; r < forward.size(); ++r) {
      result.push_back(forward);
      std::rotate(forward.begin(), forward.begin() + 1, forward.end());
    }
    std::reverse(forward.begin(), forward.end());
  }
  return result;
}

TEST(PointInRingTest, DecisionsHoldForEveryTraversal) {
  const std::vector<GeoPoint> square = {pt(0, 0), pt(0, 10), pt(10, 10), pt(10, 0)};
  const std::vector<GeoPoint> diamond = {pt(0, 5), pt(5, 10), pt(10, 5), pt(5, 0)};
  // Runs along latitude 5 west of P: the staircase passes through it (south to north), the
  // notch only touches it from the north.
  const std::vector<GeoPoint> staircase = {pt(0, 0),  pt(5, 0),   pt(5, 2),
                                           pt(10, 2), pt(10, 10), pt(0, 10)};
  const std::vector<GeoPoint> notch = {pt(0, 0), pt(0, 10), pt(10, 10), pt(10, 7),
                                       pt(5, 6), pt(5, 4),  pt(10, 3),  pt(10, 0)};
  const std::vector<GeoPoint> withRepeats = {pt(0, 0),   pt(0, 0),   pt(0, 10),
                                             pt(10, 10), pt(10, 10), pt(10, 0)};
  const std::vector<GeoPoint> flat = {pt(5, 0), pt(5, 10), pt(5, 3)};
  const std::vector<GeoPoint> equal = {pt(5, 5), pt(5, 5), pt(5, 5)};
  const std::vector<GeoPoint> tenths = {pt(0, 0), pt(0, 0.1), pt(0.1, 0.1), pt(0.1, 0)};

  struct Case {
    const char* name;
    const std::vector<GeoPoint>* ring;
    GeoPoint p;
    RingPosition expected;
  };
  const Case cases[] = {
      {"inside", &square, pt(5, 5), RingPosition::Inside},
      {"east", &square, pt(5, 15), RingPosition::Outside},
      {"west", &square, pt(5, -5), RingPosition::Outside},
      {"north", &square, pt(15, 5), RingPosition::Outside},
      {"on a crossing edge", &square, pt(5, 0), RingPosition::Boundary},
      {"on an edge along the latitude", &square, pt(0, 5), RingPosition::Boundary},
      {"on a vertex", &square, pt(10, 10), RingPosition::Boundary},
      {"run west, returning north", &square, pt(0, 15), RingPosition::Outside},
      {"run east", &square, pt(10, -1), RingPosition::Outside},
      {"touching maximum west", &diamond, pt(10, 8), RingPosition::Outside},
      {"touching minimum west", &diamond, pt(0, 8), RingPosition::Outside},
      {"touching vertex east", &diamond, pt(10, 2), RingPosition::Outside},
      {"through a side vertex", &diamond, pt(5, 7), RingPosition::Inside},
      {"east of a side vertex", &diamond, pt(5, 12), RingPosition::Outside},
      {"run crossed west", &staircase, pt(5, 5), RingPosition::Inside},
      {"run crossed, east of ring", &staircase, pt(5, 12), RingPosition::Outside},
      {"on the crossed run", &staircase, pt(5, 1), RingPosition::Boundary},
      {"run touched west", &notch, pt(5, 8), RingPosition::Inside},
      {"run touched, east of ring", &notch, pt(5, 11), RingPosition::Outside},
      {"in the notch", &notch, pt(7, 5), RingPosition::Outside},
      {"on the touched run", &notch, pt(5, 5), RingPosition::Boundary},
      {"zero-length edges", &withRepeats, pt(5, 5), RingPosition::Inside},
      {"zero-length edges, on one", &withRepeats, pt(0, 0), RingPosition::Boundary},
      {"flat ring holding P", &flat, pt(5, 5), RingPosition::Boundary},
      {"flat ring missing P", &flat, pt(5, 20), RingPosition::Outside},
      {"equal points", &equal, pt(5, 5), RingPosition::Outside},
      // 0.1 is not a float: the ring's corner is (0.1f, 0.1f), a little north-east of P.
      {"inexact corner", &tenths, pt(0.1, 0.1), RingPosition::Inside},
      {"inexact edge", &tenths, pt(0.1, 0.05), RingPosition::Inside},
      {"rounded corner itself", &tenths, pt(static_cast<double>(0.1f), static_cast<double>(0.1f)),
       RingPosition::Boundary},
      {"exact edge", &tenths, pt(0, 0.05), RingPosition::Boundary},
  };
  for (const Case& c : cases) {
    int traversal = 0;
    for (const auto& ring : allTraversals(*c.ring)) {
      SCOPED_TRACE(std::string(c.name) + ", traversal " + std::to_string(traversal++));
      EXPECT_EQ(pointInRing(c.p, ring), c.expected);
    }
  }
}

TEST(PointInRingTest, CrossingIsRoundedToSinglePrecision) {
  // The first edge crosses latitude 1 at longitude 1/3, which rounds up to the float 1/3.
  const std::vector<GeoPoint> ring = {pt(0, 0), pt(3, 1), pt(3, 5), pt(0, 5)};
  const double floatThird = static_cast<double>(1.0f / 3.0f);
  EXPECT_EQ(pointInRing(pt(1, floatThird), ring), RingPosition::Boundary);
  EXPECT_EQ(pointInRing(pt(1, 1.0 / 3.0), ring), RingPosition::Outside);
  EXPECT_EQ(pointInRing(pt(1, 0.34), ring), RingPosition::Inside);
}

TEST(PointInRingTest, EmptyRingIsOutside) {
  EXPECT_EQ(pointInRing(pt(0, 0), {}), RingPosition::Outside);
}

TEST(MeasureToIntTest, TruncatesAndSaturates) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  constexpr int32_t max = std::numeric_limits<int32_t>::max();
  constexpr int32_t min = std::numeric_limits<int32_t>::min();
  const struct {
    double value;
    int32_t expected;
  } cases[] = {
      {0.9, 0},
      {-0.9, 0},
      {111111.99, 111111},
      {-55555.5, -55555},
      {2147483647.9, max},
      {2147483648.0, max},
      {1e20, max},
      {inf, max},
      {-2147483648.9, min},
      {-2147483649.0, min},
      {-1e20, min},
      {-inf, min},
      {std::nan(""), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(measureToInt(c.value), c.expected) << c.value;
}

}  // namespace
}  // namespace zarvex
