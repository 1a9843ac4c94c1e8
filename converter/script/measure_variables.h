#pragma once

#include <cstdint>

#include "converter/mpformat/map_object.h"
#include "converter/mpformat/object_attributes.h"
#include "converter/script/expression.h"

namespace zarvex {

/// `area`: the object's area in units of 1000 square metres, truncated.
class AreaExpr final : public IntRVar {
 public:
  int32_t get(const MapObject& object, const ObjectAttributes& attributes) const override;
};

/// `length`: the summed path length in metres, truncated.
class LengthExpr final : public IntRVar {
 public:
  int32_t get(const MapObject& object, const ObjectAttributes& attributes) const override;
};

/// `width`: the largest longitude span in metres, truncated.
class WidthExpr final : public IntRVar {
 public:
  int32_t get(const MapObject& object, const ObjectAttributes& attributes) const override;
};

/// `height`: the largest latitude span in metres, truncated.
class HeightExpr final : public IntRVar {
 public:
  int32_t get(const MapObject& object, const ObjectAttributes& attributes) const override;
};

}  // namespace zarvex
