#pragma once

#include <cstdint>
#include <string>

#include "converter/mpformat/map_object.h"
#include "converter/mpformat/object_attributes.h"
#include "converter/script/expression.h"

namespace zarvex {

/// `attr "key"`: the value of the first comment attribute with that key.
class StringAttrVar final : public StringLVar {
 public:
  explicit StringAttrVar(std::string key) : name(std::move(key)) {}
  /// The value of the first match; empty when there is none.
  std::string get(const MapObject& object, const ObjectAttributes& attributes) const override;
  std::string_view view(const MapObject& object, const ObjectAttributes& attributes,
                        std::string& scratch) const override;
  /// Replaces the value of the first match, or appends (name, value) when there is none.
  void set(ObjectAttributes& attributes, std::string value) const override;
  /// Appends to the value of the first match in place, or adds (name, tail) when there is none.
  void append(const MapObject& object, ObjectAttributes& attributes,
              std::string_view tail) const override;

  /// The attribute key as the script wrote it, case kept.
  std::string name;
};

/// `intattr "key"`: the first comment attribute with that key, read as a decimal number.
class IntAttrVar final : public IntLVar {
 public:
  explicit IntAttrVar(std::string key) : name(std::move(key)) {}
  /// The leading decimal number of the first match; 0 and a message on stderr when there is none.
  int32_t get(const MapObject& object, const ObjectAttributes& attributes) const override;
  /// Stores `value` as "%d" text, as StringAttrVar does.
  void set(ObjectAttributes& attributes, int32_t value) const override;

  /// The attribute key as the script wrote it, case kept.
  std::string name;
};

/// The number at the start of `text` as strtol reads it in base 10, clamped to 32 bits.
int32_t parseAttributeInt(const std::string& text);

}  // namespace zarvex
