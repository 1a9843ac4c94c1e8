#include "converter/script/measure_variables.h"

#include "converter/mpformat/measures.h"

namespace zarvex {

// Recomputed on every evaluation: the tree holds no state from one object to the next.

int32_t AreaExpr::get(const MapObject& object, const ObjectAttributes&) const {
  return measureToInt(objectArea(object) / 1000.0);
}

int32_t LengthExpr::get(const MapObject& object, const ObjectAttributes&) const {
  return measureToInt(objectLength(object));
}

int32_t WidthExpr::get(const MapObject& object, const ObjectAttributes&) const {
  return measureToInt(objectWidth(object));
}

int32_t HeightExpr::get(const MapObject& object, const ObjectAttributes&) const {
  return measureToInt(objectHeight(object));
}

}  // namespace zarvex
