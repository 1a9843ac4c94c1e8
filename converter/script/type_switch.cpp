#include "converter/script/type_switch.h"

#include <algorithm>
#include <optional>
#include <set>

#include "converter/script/conditions.h"
#include "converter/script/constants.h"
#include "converter/script/field_variables.h"

namespace zarvex {

namespace {

// The constant of `case type = <constant>`, or none.
std::optional<int32_t> typeConstant(const Executable& statement) {
  const auto* test = dynamic_cast<const Case*>(&statement);
  if (test == nullptr) return std::nullopt;
  const auto* equal = dynamic_cast<const EQIntExpr*>(test->condition.get());
  if (equal == nullptr) return std::nullopt;
  const auto* constant = dynamic_cast<const IntConst*>(equal->right.get());
  if (dynamic_cast<const TypeVar*>(equal->left.get()) == nullptr || constant == nullptr)
    return std::nullopt;
  return constant->value;
}

bool assignsTheType(const Assign& assignment) {
  const auto* assign = dynamic_cast<const IntAssign*>(&assignment);
  return assign != nullptr && dynamic_cast<const TypeVar*>(assign->var.get()) != nullptr;
}

// How many statements from `statement` on form a run: cases on distinct constants that leave
// the type alone.
std::size_t runLength(const Executable* statement) {
  std::set<int32_t> seen;
  std::size_t length = 0;
  for (; statement != nullptr; statement = statement->next.get(), ++length) {
    const std::optional<int32_t> constant = typeConstant(*statement);
    if (!constant || !seen.insert(*constant).second || mayAssign(*statement, assignsTheType)) break;
  }
  return length;
}

}  // namespace

bool mayAssign(const Executable& statement, AssignmentTest matches) {
  if (const auto* block = dynamic_cast<const Block*>(&statement))
    return anyMayAssign(block->first.get(), matches);
  if (const auto* run = dynamic_cast<const TypeSwitch*>(&statement))
    return anyMayAssign(run->cases.get(), matches);
  if (dynamic_cast<const IntAssign*>(&statement) != nullptr ||
      dynamic_cast<const BoolAssign*>(&statement) != nullptr ||
      dynamic_cast<const StringAssign*>(&statement) != nullptr ||
      dynamic_cast<const KindAssign*>(&statement) != nullptr)
    return matches(static_cast<const Assign&>(statement));
  return true;
}

bool anyMayAssign(const Executable* first, AssignmentTest matches) {
  for (const Executable* statement = first; statement != nullptr; statement = statement->next.get())
    if (mayAssign(*statement, matches)) return true;
  return false;
}

void TypeSwitch::execute(const MapObject& object, ObjectAttributes& attributes) const {
  const auto found = std::lower_bound(byType.begin(), byType.end(), attributes.type,
                                      [](const std::pair<int32_t, const Case*>& entry,
                                         int32_t type) { return entry.first < type; });
  if (found != byType.end() && found->first == attributes.type)
    found->second->Block::execute(object, attributes);
}

void gatherTypeSwitches(Block& block, std::size_t shortest) {
  for (Executable* statement = block.first.get(); statement; statement = statement->next.get())
    if (auto* inner = dynamic_cast<Block*>(statement)) gatherTypeSwitches(*inner, shortest);

  for (std::unique_ptr<Executable>* link = &block.first; *link; link = &(*link)->next) {
    const std::size_t length = runLength(link->get());
    if (length < std::max<std::size_t>(shortest, 1)) continue;
    auto run = std::make_unique<TypeSwitch>();
    run->cases = std::move(*link);
    Executable* lastCase = run->cases.get();
    for (std::size_t i = 0;; ++i) {
      const auto* test = static_cast<const Case*>(lastCase);
      run->byType.emplace_back(*typeConstant(*test), test);
      if (i + 1 == length) break;
      lastCase = lastCase->next.get();
    }
    std::sort(run->byType.begin(), run->byType.end());
    run->next = std::move(lastCase->next);
    if (block.last == lastCase) block.last = run.get();
    *link = std::move(run);
  }
}

}  // namespace zarvex
