#include "converter/mpformat/ring_roles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace zarvex {
namespace {

using Rng = std::mt19937_64;

double uniform(Rng& rng, double low, double high) {
  return std::uniform_real_distribution<double>(low, high)(rng);
}

int pick(Rng& rng, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(rng);
}

// A ring of `count` points, each drawn by `coordinate` for latitude and longitude.
std::vector<GeoPoint> ringOf(Rng& rng, int count, const std::function<double(Rng&)>& coordinate) {
  std::vector<GeoPoint> ring;
  for (int k = 0; k < count; ++k) {
    const double lat = coordinate(rng);
    ring.push_back(GeoPoint{coordinate(rng), lat});
  }
  return ring;
}

// A closed or open rectangle, walked from a random corner in a random direction.
std::vector<GeoPoint> box(Rng& rng, double lat, double lon, double height, double width) {
  std::vector<GeoPoint> corners = {
      {lon, lat}, {lon + width, lat}, {lon + width, lat + height}, {lon, lat + height}};
  if (pick(rng, 0, 1) == 1) std::swap(corners[1], corners[3]);
  std::vector<GeoPoint> ring;
  const int start = pick(rng, 0, 3);
  for (int k = 0; k < 4; ++k) ring.push_back(corners[(start + k) % 4]);
  if (pick(rng, 0, 3) == 0) ring.push_back(ring.front());
  return ring;
}

struct Generator {
  const char* name;
  int seeds;
  std::function<std::vector<std::vector<GeoPoint>>(Rng&)> rings;
};

// Shapes that meet the ties the rule decides: shared vertices, runs along a latitude, points on
// edges, coordinates that single precision rounds, degenerate and non-finite rings.
const Generator kGenerators[] = {
    {"lattice", 300,
     [](Rng& rng) {
       std::vector<std::vector<GeoPoint>> rings;
       for (int r = pick(rng, 8, 30); r > 0; --r)
         rings.push_back(ringOf(rng, pick(rng, 1, 7), [](Rng& g) { return pick(g, 0, 6); }));
       return rings;
     }},
    {"tenths", 300,
     [](Rng& rng) {
       std::vector<std::vector<GeoPoint>> rings;
       for (int r = pick(rng, 8, 30); r > 0; --r)
         rings.push_back(ringOf(rng, pick(rng, 3, 6), [](Rng& g) { return pick(g, 0, 8) * 0.1; }));
       return rings;
     }},
    {"nested boxes", 50,
     [](Rng& rng) {
       std::vector<std::vector<GeoPoint>> rings;
       for (int r = pick(rng, 50, 400); r > 0; --r) {
         const double size = std::pow(10.0, uniform(rng, -3, 1));
         rings.push_back(box(rng, uniform(rng, 40, 50), uniform(rng, -5, 5), size,
                             size * uniform(rng, 0.2, 5)));
       }
       return rings;
     }},
    {"boxes on a lattice", 100,
     [](Rng& rng) {
       std::vector<std::vector<GeoPoint>> rings;
       for (int r = pick(rng, 20, 200); r > 0; --r)
         rings.push_back(
             box(rng, pick(rng, 0, 20), pick(rng, 0, 20), pick(rng, 0, 4), pick(rng, 0, 4)));
       return rings;
     }},
    {"degenerate and non-finite", 300,
     [](Rng& rng) {
       static const double kValues[] = {0,
                                        1,
                                        2,
                                        3,
                                        1e39,
                                        -1e39,
                                        std::numeric_limits<double>::infinity(),
                                        std::numeric_limits<double>::quiet_NaN(),
                                        1e-45,
                                        2};
       std::vector<std::vector<GeoPoint>> rings;
       for (int r = pick(rng, 8, 16); r > 0; --r)
         rings.push_back(ringOf(rng, pick(rng, 0, 5), [](Rng& g) {
           return kValues[pick(g, 0, std::size(kValues) - 1)];
         }));
       return rings;
     }},
    // Boxes of every size, each with a box in it or astride its edge: enough rings for every grid
    // of the index, and holes that only one ring holds.
    {"boxes holding boxes", 6,
     [](Rng& rng) {
       std::vector<std::vector<GeoPoint>> rings;
       for (int r = 0; r < 5000; ++r) {
         const double size = std::pow(10.0, uniform(rng, -4, 1.3));
         const double lat = uniform(rng, 0, 30), lon = uniform(rng, 0, 30);
         rings.push_back(box(rng, lat, lon, size, size));
         const double inner = size * uniform(rng, 0.05, 0.5);
         rings.push_back(box(rng, lat + uniform(rng, 0, size - inner),
                             lon + uniform(rng, 0, size * 1.3 - inner), inner, inner));
       }
       return rings;
     }},
};

// The edge from (-2^60, -100) to (1, 1e-14) crosses latitude 0.9 at 2^-46 in single precision,
// east of its own eastern end, so a ring starting there starts on the boundary and its next
// point makes it a hole. An index that took the ring's box as is would miss it.
TEST(RingRolesTest, CrossingRoundedEastOfTheRingStillCounts) {
  MapObject object;
  object.kind = ObjectKind::Polygon;
  const double far = -std::ldexp(1.0, 60);
  object.data.push_back(DataLine{RingRole::None, 0, {{-100, far}, {1e-14, 1}, {-200, 1}}});
  object.data.push_back(
      DataLine{RingRole::None, 0, {{std::ldexp(1.0, -46), 0.9}, {-150, 0.5}, {-150, 0.6}}});
  // Far away rings, so that the polygon has enough rings to be indexed.
  for (double lat = 10; lat < 18; ++lat)
    object.data.push_back(DataLine{RingRole::None, 0, {{0, lat}, {0.5, lat}, {0.5, lat + 0.5}}});
  EXPECT_EQ(pointInRing(object.data[1].points[0], object.data[0].points), RingPosition::Boundary);
  classifyRings(object);
  EXPECT_EQ(object.data[0].ringRole, RingRole::Outer);
  EXPECT_EQ(object.data[1].ringRole, RingRole::Hole);
}

TEST(RingRolesTest, IndexedRolesEqualExhaustiveRoles) {
  for (const Generator& generator : kGenerators) {
    size_t holes = 0, outers = 0;
    for (int seed = 0; seed < generator.seeds; ++seed) {
      SCOPED_TRACE(std::string(generator.name) + ", seed " + std::to_string(seed));
      Rng rng(static_cast<uint64_t>(seed));
      MapObject fast;
      fast.kind = ObjectKind::Polygon;
      for (auto& points : generator.rings(rng))
        fast.data.push_back(DataLine{RingRole::None, 0, std::move(points)});
      MapObject slow = fast;
      classifyRings(fast);
      classifyRingsExhaustive(slow);
      for (size_t k = 0; k < fast.data.size(); ++k) {
        ASSERT_EQ(fast.data[k].ringRole, slow.data[k].ringRole) << "ring " << k;
        (fast.data[k].ringRole == RingRole::Hole ? holes : outers) += 1;
      }
    }
    // Both answers must occur, or the comparison proves little.
    EXPECT_GT(holes, 0u) << generator.name;
    EXPECT_GT(outers, 0u) << generator.name;
  }
}

}  // namespace
}  // namespace zarvex
