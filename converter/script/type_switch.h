#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "converter/script/statements.h"

namespace zarvex {

/// A run of cases on `type = <constant>`, a different constant each, whose statements never
/// assign the type. The type then stays what it was through the run, so only the case of its
/// constant can be true: it is found by a search instead of testing every condition in turn,
/// which a generated script of a hundred types would do for every object.
class TypeSwitch final : public Executable {
 public:
  /// Runs the statements of the case whose constant is the current type, if any.
  void execute(const MapObject& object, ObjectAttributes& attributes) const override;

  /// The cases of the run, in script order, chained by `next`.
  std::unique_ptr<Executable> cases;
  /// Each case's constant, in ascending order.
  std::vector<std::pair<int32_t, const Case*>> byType;
};

/// Whether an assignment is one that a caller looks for.
using AssignmentTest = bool (*)(const Assign& assignment);

/// False when `statement`, with the statements nested in it, is known to make no assignment
/// that `matches`: a statement of a kind not known here might.
bool mayAssign(const Executable& statement, AssignmentTest matches);
/// The same for the statements from `first` on.
bool anyMayAssign(const Executable* first, AssignmentTest matches);

/// Puts a TypeSwitch in place of every run of at least `shortest` such cases in `block` and
/// in the cases nested in it; the statements run as before.
void gatherTypeSwitches(Block& block, std::size_t shortest = 8);

}  // namespace zarvex
