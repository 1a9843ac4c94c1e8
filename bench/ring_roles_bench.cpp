// Times the ring roles of one polygon of many small rings, with the index and by testing every
// pair, and checks that both give the same roles.
//
// Usage: zarvex_bench_rings [--exhaustive-up-to N] [rings...]   (default: 100000 1000000)
// Testing every pair is run only up to N rings (default 100000): it grows with the square.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "converter/mpformat/ring_roles.h"

namespace {

using zarvex::DataLine;
using zarvex::GeoPoint;
using zarvex::MapObject;
using zarvex::RingRole;

// Squares on a jittered grid, as a land-use layer cut into parcels; every fourth holds a smaller
// square, a hole.
MapObject parcels(size_t count) {
  MapObject object;
  object.kind = zarvex::ObjectKind::Polygon;
  std::mt19937_64 rng(count);
  std::uniform_real_distribution<double> jitter(0.0, 0.0002);
  size_t side = 1;
  while (side * side < count) ++side;
  const double cell = 0.001;
  double south = 0.0, west = 0.0, size = 0.0;
  for (size_t k = 0; k < count; ++k) {
    if (k % 4 == 3) {
      south += 0.0002, west += 0.0002, size = 0.0002;  // inside the previous square
    } else {
      south = 55 + static_cast<double>(k / side) * cell + jitter(rng);
      west = 37 + static_cast<double>(k % side) * cell + jitter(rng);
      size = 0.0007;
    }
    object.data.push_back(DataLine{
        RingRole::None,
        0,
        {{west, south}, {west + size, south}, {west + size, south + size}, {west, south + size}}});
  }
  return object;
}

double seconds(void (*classify)(MapObject&), MapObject& object) {
  const auto start = std::chrono::steady_clock::now();
  classify(object);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  size_t exhaustiveLimit = 100000;
  std::vector<size_t> counts;
  for (int k = 1; k < argc; ++k) {
    if (std::strcmp(argv[k], "--exhaustive-up-to") == 0 && k + 1 < argc)
      exhaustiveLimit = std::strtoull(argv[++k], nullptr, 10);
    else
      counts.push_back(std::strtoull(argv[k], nullptr, 10));
  }
  if (counts.empty()) counts = {100000, 1000000};

  std::printf("%10s %8s %14s %14s\n", "rings", "holes", "indexed s", "every pair s");
  for (size_t count : counts) {
    MapObject indexed = parcels(count);
    MapObject exhaustive = indexed;
    const double fast = seconds(zarvex::classifyRings, indexed);
    size_t holes = 0;
    for (const DataLine& line : indexed.data) holes += line.ringRole == RingRole::Hole;
    std::string slow = "not run";
    if (count <= exhaustiveLimit) {
      char figure[32];
      std::snprintf(figure, sizeof figure, "%.3f",
                    seconds(zarvex::classifyRingsExhaustive, exhaustive));
      slow = figure;
      for (size_t k = 0; k < count; ++k)
        if (indexed.data[k].ringRole != exhaustive.data[k].ringRole) {
          std::fprintf(stderr, "ring %zu: the two ways disagree\n", k);
          return 1;
        }
    }
    std::printf("%10zu %8zu %14.3f %14s\n", count, holes, fast, slow.c_str());
  }
  return 0;
}
