#pragma once

#include <cstdint>
#include <string>

#include "converter/mpformat/map_object.h"
#include "converter/mpformat/object_attributes.h"
#include "converter/script/expression.h"

namespace zarvex {

/// `true` or `false`.
class BoolConst final : public BoolExpr {
 public:
  explicit BoolConst(bool constant) : value(constant) {}
  bool get(const MapObject&, const ObjectAttributes&) const override { return value; }

  bool value;
};

/// A number written in the script.
class IntConst final : public IntExpr {
 public:
  explicit IntConst(int32_t constant) : value(constant) {}
  int32_t get(const MapObject&, const ObjectAttributes&) const override { return value; }

  int32_t value;
};

/// A quoted string written in the script, after escapes.
class StringConst final : public StringExpr {
 public:
  explicit StringConst(std::string constant) : value(std::move(constant)) {}
  std::string get(const MapObject&, const ObjectAttributes&) const override { return value; }
  std::string_view view(const MapObject&, const ObjectAttributes&, std::string&) const override {
    return value;
  }

  std::string value;
};

/// A kind constant such as `polygon`.
class KindConst final : public KindExpr {
 public:
  explicit KindConst(ObjectKind constant) : value(constant) {}
  ObjectKind get(const MapObject&, const ObjectAttributes&) const override { return value; }

  ObjectKind value;
};

}  // namespace zarvex
