#pragma once

#include <vector>

#include "converter/mpformat/map_object.h"

namespace zarvex {

/// Sets the role of every line: Hole when it lies inside another line of the object, else Outer.
void classifyRings(MapObject& object);
/// The same roles found by testing every pair of lines: the slow reference for classifyRings.
void classifyRingsExhaustive(MapObject& object);

enum class RingPosition { Outside, Inside, Boundary };
/// Where `p` lies relative to the closed ring `ring`, judged in the ring's single precision.
RingPosition pointInRing(GeoPoint p, const std::vector<GeoPoint>& ring);

}  // namespace zarvex
