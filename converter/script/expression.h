#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "converter/mpformat/map_object.h"
#include "converter/mpformat/object_attributes.h"

namespace zarvex {

/// A condition of the rule language.
class BoolExpr {
 public:
  virtual ~BoolExpr() = default;
  /// The value for `object` as the attributes stand now.
  virtual bool get(const MapObject& object, const ObjectAttributes& attributes) const = 0;
};

/// An integer operand: a 32-bit signed value.
class IntExpr {
 public:
  virtual ~IntExpr() = default;
  /// The value for `object` as the attributes stand now.
  virtual int32_t get(const MapObject& object, const ObjectAttributes& attributes) const = 0;
};

/// A string operand: a byte string in the map's own code page.
class StringExpr {
 public:
  virtual ~StringExpr() = default;
  /// A new copy of the value for `object` as the attributes stand now.
  virtual std::string get(const MapObject& object, const ObjectAttributes& attributes) const = 0;
  /// The value without a copy where the operand holds one; else computed into `scratch`. Valid
  /// until the attributes or `scratch` change.
  virtual std::string_view view(const MapObject& object, const ObjectAttributes& attributes,
                                std::string& scratch) const {
    scratch = get(object, attributes);
    return scratch;
  }
};

/// An object kind operand.
class KindExpr {
 public:
  virtual ~KindExpr() = default;
  /// The value for `object` as the attributes stand now.
  virtual ObjectKind get(const MapObject& object, const ObjectAttributes& attributes) const = 0;
};

/// An assignable boolean variable.
class BoolLVar : public BoolExpr {
 public:
  /// Stores `value` into the field behind the variable.
  virtual void set(ObjectAttributes& attributes, bool value) const = 0;
};

/// An assignable integer variable.
class IntLVar : public IntExpr {
 public:
  /// Stores `value` into the field behind the variable.
  virtual void set(ObjectAttributes& attributes, int32_t value) const = 0;
};

/// A computed integer that a script can read but not assign.
class IntRVar : public IntExpr {};

/// An assignable string variable.
class StringLVar : public StringExpr {
 public:
  /// Stores `value` into the field behind the variable.
  virtual void set(ObjectAttributes& attributes, std::string value) const = 0;
  /// Appends `tail` to the field behind the variable, in place where it can.
  virtual void append(const MapObject& object, ObjectAttributes& attributes,
                      std::string_view tail) const {
    std::string value = get(object, attributes);
    value += tail;
    set(attributes, std::move(value));
  }
};

/// An assignable kind variable.
class KindLVar : public KindExpr {
 public:
  /// Stores `value` into the field behind the variable.
  virtual void set(ObjectAttributes& attributes, ObjectKind value) const = 0;
};

/// A named set of integers that a condition can test membership of.
class SetVar {
 public:
  virtual ~SetVar() = default;
  /// True when `value` belongs to the set for `object`.
  virtual bool contains(const MapObject& object, int32_t value) const = 0;
};

}  // namespace zarvex
