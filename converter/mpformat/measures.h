#pragma once

#include <cstdint>

#include "converter/mpformat/map_object.h"
#include "converter/mpformat/ring_roles.h"

namespace zarvex {

/// Sum of the path lengths of all lines, in metres.
double objectLength(const MapObject& object);
/// Largest longitude span of any line, in metres.
double objectWidth(const MapObject& object);
/// Largest latitude span of any line, in metres.
double objectHeight(const MapObject& object);
/// Signed sum of the ring areas (outer rings add, every other line subtracts), in square metres.
double objectArea(const MapObject& object);
/// A measure as a 32-bit integer: truncated toward zero, saturated at the 32-bit limits.
int32_t measureToInt(double value);

}  // namespace zarvex
