#include "converter/script/carried_attributes.h"

#include "converter/script/field_variables.h"
#include "converter/script/type_switch.h"

namespace zarvex {

namespace {

bool anyMayCarryOver(const Executable* statement);

bool statementMayCarryOver(const Executable& statement) {
  if (const auto* block = dynamic_cast<const Block*>(&statement))
    return anyMayCarryOver(block->first.get());
  if (const auto* run = dynamic_cast<const TypeSwitch*>(&statement))
    return anyMayCarryOver(run->cases.get());
  if (const auto* assign = dynamic_cast<const IntAssign*>(&statement))
    return dynamic_cast<const RoadClassVar*>(assign->var.get()) != nullptr ||
           dynamic_cast<const SpeedLimitVar*>(assign->var.get()) != nullptr;
  if (const auto* assign = dynamic_cast<const StringAssign*>(&statement))
    return dynamic_cast<const ZipLVar*>(assign->var.get()) != nullptr ||
           dynamic_cast<const WWWLVar*>(assign->var.get()) != nullptr;
  // Statements of a kind not known here might.
  return dynamic_cast<const BoolAssign*>(&statement) == nullptr &&
         dynamic_cast<const KindAssign*>(&statement) == nullptr;
}

bool anyMayCarryOver(const Executable* statement) {
  for (; statement != nullptr; statement = statement->next.get())
    if (statementMayCarryOver(*statement)) return true;
  return false;
}

}  // namespace

bool mayCarryOver(const Block& block) {
  return anyMayCarryOver(block.first.get());
}

}  // namespace zarvex
