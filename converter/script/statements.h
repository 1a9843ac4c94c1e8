#pragma once

#include <memory>

#include "converter/mpformat/map_object.h"
#include "converter/mpformat/object_attributes.h"
#include "converter/script/expression.h"

namespace zarvex {

/// A statement of the rule language; statements of one list are chained through `next`.
class Executable {
 public:
  Executable() = default;
  Executable(const Executable&) = delete;
  Executable& operator=(const Executable&) = delete;
  /// Destroys the rest of the list as well, without recursing along it.
  virtual ~Executable();
  /// Runs the statement on `object`, reading and changing `attributes`.
  virtual void execute(const MapObject& object, ObjectAttributes& attributes) const = 0;

  /// The following statement of the same list, or none.
  std::unique_ptr<Executable> next;
};

/// A list of statements run in order.
class Block : public Executable {
 public:
  /// Runs every statement of the list in turn.
  void execute(const MapObject& object, ObjectAttributes& attributes) const override;
  /// Adds `statement` at the end of the list.
  void append(std::unique_ptr<Executable> statement);

  /// The first statement of the list, or none.
  std::unique_ptr<Executable> first;
  /// The last statement of the list, or none; owned through the chain from `first`.
  Executable* last = nullptr;
};

/// A block that runs only when its condition holds at the moment it is reached.
class Case final : public Block {
 public:
  explicit Case(std::unique_ptr<BoolExpr> test) : condition(std::move(test)) {}
  /// Runs the list when `condition` is true.
  void execute(const MapObject& object, ObjectAttributes& attributes) const override;

  std::unique_ptr<BoolExpr> condition;
};

/// A statement that stores the value of an expression into a variable.
class Assign : public Executable {};

/// `bool-variable = condition`.
class BoolAssign final : public Assign {
 public:
  BoolAssign(std::unique_ptr<BoolLVar> variable, std::unique_ptr<BoolExpr> expression)
      : var(std::move(variable)), expr(std::move(expression)) {}
  void execute(const MapObject& object, ObjectAttributes& attributes) const override;

  std::unique_ptr<BoolLVar> var;
  std::unique_ptr<BoolExpr> expr;
};

/// `int-variable = int-operand`.
class IntAssign : public Assign {
 public:
  IntAssign(std::unique_ptr<IntLVar> variable, std::unique_ptr<IntExpr> expression)
      : var(std::move(variable)), expr(std::move(expression)) {}
  void execute(const MapObject& object, ObjectAttributes& attributes) const override;

  std::unique_ptr<IntLVar> var;
  std::unique_ptr<IntExpr> expr;
};

/// `int-variable += int-operand`, wrapping around in 32 bits.
class IntPlusAssign final : public IntAssign {
 public:
  using IntAssign::IntAssign;
  /// Evaluates the operand before the variable, which fixes the order of intattr messages.
  void execute(const MapObject& object, ObjectAttributes& attributes) const override;
};

/// `string-variable = string-operand`.
class StringAssign : public Assign {
 public:
  StringAssign(std::unique_ptr<StringLVar> variable, std::unique_ptr<StringExpr> expression)
      : var(std::move(variable)), expr(std::move(expression)) {}
  void execute(const MapObject& object, ObjectAttributes& attributes) const override;

  std::unique_ptr<StringLVar> var;
  std::unique_ptr<StringExpr> expr;
};

/// `string-variable += string-operand`: appends the operand.
class StringPlusAssign final : public StringAssign {
 public:
  using StringAssign::StringAssign;
  void execute(const MapObject& object, ObjectAttributes& attributes) const override;
};

/// `kind = kind-constant`.
class KindAssign final : public Assign {
 public:
  KindAssign(std::unique_ptr<KindLVar> variable, std::unique_ptr<KindExpr> expression)
      : var(std::move(variable)), expr(std::move(expression)) {}
  void execute(const MapObject& object, ObjectAttributes& attributes) const override;

  std::unique_ptr<KindLVar> var;
  std::unique_ptr<KindExpr> expr;
};

}  // namespace zarvex
