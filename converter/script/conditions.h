#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "converter/mpformat/map_object.h"
#include "converter/mpformat/object_attributes.h"
#include "converter/script/expression.h"

namespace zarvex {

/// `! condition`.
class NotExpr final : public BoolExpr {
 public:
  explicit NotExpr(std::unique_ptr<BoolExpr> negated) : operand(std::move(negated)) {}
  bool get(const MapObject& object, const ObjectAttributes& attributes) const override {
    return !operand->get(object, attributes);
  }

  std::unique_ptr<BoolExpr> operand;
};

/// A comparison of two operands of one value type; `left` is evaluated before `right`.
template <typename Operand>
class BinaryExpr : public BoolExpr {
 public:
  BinaryExpr(std::unique_ptr<Operand> lhs, std::unique_ptr<Operand> rhs)
      : left(std::move(lhs)), right(std::move(rhs)) {}

  std::unique_ptr<Operand> left;
  std::unique_ptr<Operand> right;
};

/// A comparison of two integers.
using BinaryIntExpr = BinaryExpr<IntExpr>;
/// A comparison of two strings.
using BinaryStringExpr = BinaryExpr<StringExpr>;
/// A comparison of two kinds.
using BinaryKindExpr = BinaryExpr<KindExpr>;

/// `left` and `right` compared by `Compare`.
template <typename Operand, typename Compare>
class ComparisonExpr final : public BinaryExpr<Operand> {
 public:
  using BinaryExpr<Operand>::BinaryExpr;
  bool get(const MapObject& object, const ObjectAttributes& attributes) const override {
    const auto leftValue = this->left->get(object, attributes);
    const auto rightValue = this->right->get(object, attributes);
    return Compare{}(leftValue, rightValue);
  }
};

using EQIntExpr = ComparisonExpr<IntExpr, std::equal_to<>>;
using NEIntExpr = ComparisonExpr<IntExpr, std::not_equal_to<>>;
using GTIntExpr = ComparisonExpr<IntExpr, std::greater<>>;
using GEIntExpr = ComparisonExpr<IntExpr, std::greater_equal<>>;
using LTIntExpr = ComparisonExpr<IntExpr, std::less<>>;
using LEIntExpr = ComparisonExpr<IntExpr, std::less_equal<>>;

/// Two strings compared by `Compare` where they lie, without copying either.
template <typename Compare>
class StringComparisonExpr final : public BinaryStringExpr {
 public:
  using BinaryStringExpr::BinaryStringExpr;
  bool get(const MapObject& object, const ObjectAttributes& attributes) const override {
    std::string leftScratch, rightScratch;
    const std::string_view leftValue = left->view(object, attributes, leftScratch);
    const std::string_view rightValue = right->view(object, attributes, rightScratch);
    return Compare{}(leftValue, rightValue);
  }
};

/// Byte-exact and case-sensitive, as std::string compares.
using EQStringExpr = StringComparisonExpr<std::equal_to<>>;
using NEStringExpr = StringComparisonExpr<std::not_equal_to<>>;

using EQKindExpr = ComparisonExpr<KindExpr, std::equal_to<>>;
using NEKindExpr = ComparisonExpr<KindExpr, std::not_equal_to<>>;

/// A condition on a set variable.
class SetExpr : public BoolExpr {};

/// A membership test of an integer in a set variable.
class BinarySetExpr : public SetExpr {
 public:
  BinarySetExpr(std::unique_ptr<SetVar> set, std::unique_ptr<IntExpr> member)
      : setVar(std::move(set)), right(std::move(member)) {}

  std::unique_ptr<SetVar> setVar;
  std::unique_ptr<IntExpr> right;
};

/// `set-variable = int-operand`.
class InExpr final : public BinarySetExpr {
 public:
  using BinarySetExpr::BinarySetExpr;
  bool get(const MapObject& object, const ObjectAttributes& attributes) const override {
    return setVar->contains(object, right->get(object, attributes));
  }
};

/// `set-variable != int-operand`.
class NotInExpr final : public BinarySetExpr {
 public:
  using BinarySetExpr::BinarySetExpr;
  bool get(const MapObject& object, const ObjectAttributes& attributes) const override {
    return !setVar->contains(object, right->get(object, attributes));
  }
};

}  // namespace zarvex
